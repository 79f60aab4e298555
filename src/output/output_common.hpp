#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_io.hpp"

namespace ledra {

struct ConversionState;
class Platform;

// Cuts the text to at most width bytes of CP932 without leaving half a character; NUL
// characters are removed. A text that fits comes back unchanged (less NULs).
std::string fitBytes(std::string_view text, int width);
// As fitBytes, but a cut that splits a double-byte character puts one blank in place of the
// half character, so that a cut result is exactly width bytes.
std::string fitBytesPadded(std::string_view text, int width);

// OutputFolder + separator + name.
std::string outputPath(const ConversionState& state, std::string_view fileName);

// "a","b","c" : every field quoted, nothing doubled or escaped, no trailing comma.
std::string quotedRecord(const std::vector<std::string>& fields);

// One service CSV being written: the two identification lines, then records. Nothing reaches
// the disk until commit(), which replaces the target atomically.
class ServiceCsvFile {
 public:
  ServiceCsvFile(const ConversionState& state, std::string_view fileName);
  void record(const std::vector<std::string>& fields) { text_.line(quotedRecord(fields)); }
  void line(std::string_view utf8) { text_.line(utf8); }
  bool commit(std::string* error = nullptr) const { return text_.commit(path_, error); }
  const std::string& path() const { return path_; }
  const std::string& bytes() const { return text_.bytes(); }

 private:
  std::string path_;
  Cp932TextBuilder text_;
};

// Puts a writer's finished file in place: into the run's set of files when the run keeps one,
// otherwise straight over the file in the output folder. Errors read "path: reason".
bool commitOutputFile(const ConversionState& state, std::string_view fileName,
                      std::string_view bytes, std::string* error);

// The reason part of a failure detail for a commit error, which starts with the path that the
// detail already names.
std::string writeFailureReason(const std::string& path, const std::string& error);

// Runs one writer: fill writes the records (and starts the progress display), then the file
// is committed. Any failure hides the dialog, records a detail naming the file and returns
// false; the writers show no message of their own.
bool writeServiceFile(ConversionState& state, Platform& platform, std::string_view fileName,
                      const std::function<void(ServiceCsvFile&)>& fill);

// The writers' progress display: shows the dialog with caption fileName + "出力中", value 0
// and the given maximum.
void beginWriterProgress(Platform& platform, std::string_view fileName, int64_t max);

}  // namespace ledra
