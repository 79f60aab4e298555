#pragma once

#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/file_io.hpp"
#include "state/step_result.hpp"

namespace ledra {

class ConversionReport;
struct ConversionState;
class Platform;

// Cuts the text to at most width bytes of CP932 without leaving half a character; NUL
// characters are removed. A text that fits comes back unchanged (less NULs).
std::string fitBytes(std::string_view text, int width);
// As fitBytes, but a cut that splits a double-byte character puts one blank in place of the
// half character, so that a cut result is exactly width bytes.
std::string fitBytesPadded(std::string_view text, int width);

// The folder + separator + name.
std::string outputPath(std::string_view folder, std::string_view fileName);

// Where a writer puts its finished file.
class OutputTarget {
 public:
  virtual ~OutputTarget() = default;
  // The folder the files are meant for, which failure details name.
  virtual const std::string& outputFolder() const = 0;
  // Puts fileName with the given bytes. On failure the error reads "final path: reason".
  virtual bool put(std::string_view fileName, std::string_view bytes, std::string* error) = 0;
};

// Each file straight over its namesake in the folder, replaced only once complete.
class FolderOutput final : public OutputTarget {
 public:
  explicit FolderOutput(std::string folder) : folder_(std::move(folder)) {}
  const std::string& outputFolder() const override { return folder_; }
  bool put(std::string_view fileName, std::string_view bytes, std::string* error) override;

 private:
  std::string folder_;
};

// "a","b","c" : every field quoted, nothing doubled or escaped, no trailing comma.
std::string quotedRecord(const std::vector<std::string>& fields);

// One service CSV being written: the two identification lines, then records. Nothing reaches
// the disk until the writer puts its bytes.
class ServiceCsvFile {
 public:
  explicit ServiceCsvFile(const ConversionState& state, std::string_view fileName = {});
  void record(const std::vector<std::string>& fields);
  void line(std::string_view utf8) { text_.line(utf8); }
  const std::string& bytes() const { return text_.bytes(); }
  int64_t records() const { return records_; }

 private:
  Cp932TextBuilder text_;
  std::string fileName_;
  int64_t records_ = 0;
};

// While one lives, the service files written on this thread tell the report how many records
// they hold, every text fitBytes cut for a record (by its field), and every field holding
// characters CP932 lacks.
class ReportScope {
 public:
  explicit ReportScope(ConversionReport& report);
  ~ReportScope();
  ReportScope(const ReportScope&) = delete;
  ReportScope& operator=(const ReportScope&) = delete;

 private:
  ConversionReport* previous_;
};

// The reason part of a failure detail for a commit error, which starts with the path that the
// detail already names.
std::string writeFailureReason(const std::string& path, const std::string& error);

// Runs one writer: fill writes the records (and starts the progress display), then the file
// goes to out. Any failure, thrown or not, hides the dialog and comes back naming the file; the
// writers show no message of their own.
StepResult writeServiceFile(const ConversionState& state, Platform& platform, OutputTarget& out,
                            std::string_view fileName,
                            const std::function<void(ServiceCsvFile&)>& fill);

// The detail of a writer's failure from an exception: running out of memory in plain words,
// anything else as an error met while writing.
ErrorDetail writerFailure(const std::string& path, const std::exception& e);

// The writers' progress display: shows the dialog with caption fileName + "出力中", value 0
// and the given maximum.
void beginWriterProgress(Platform& platform, std::string_view fileName, int64_t max);

}  // namespace ledra
