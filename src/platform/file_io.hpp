#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ledra {

// The whole file as bytes; nothing when it cannot be opened or read.
std::optional<std::string> readFileBytes(const std::string& path);
// True when the path is a file this process can open for reading.
bool canOpenForReading(const std::string& path);

// Why a file cannot be read, in words for a detail line: a folder where a file is expected, a
// missing file, or the system's own reason.
std::string unreadableFileReason(const std::string& path);
// What stands at the path instead of the file (or folder) asked for, in the same words; empty
// when nothing stands there or it is of the kind asked for.
std::string wrongKindReason(const std::string& path, bool folderWanted);

// Writes to a temporary file beside the target and renames it over the target only when
// everything was written, so a failure leaves the earlier file (or none) and no temporary.
bool writeFileAtomic(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// Tests make every following write fail with this errno (0 ends it), as a full disk would.
void injectWriteErrorForTesting(int errnoValue);

// The path with the separator between folder and name ("a" + "b" -> "a/b").
std::string joinPath(std::string_view folder, std::string_view name);
// The folder part of a path, up to and including its last separator.
std::string folderWithSeparator(std::string_view path);

// Builds a CP932 text file in memory, one line at a time, each ended by CR LF.
class Cp932TextBuilder {
 public:
  void line(std::string_view utf8);
  const std::string& bytes() const { return bytes_; }
  bool commit(const std::string& path, std::string* error = nullptr) const {
    return writeFileAtomic(path, bytes_, error);
  }

 private:
  std::string bytes_;
};

}  // namespace ledra
