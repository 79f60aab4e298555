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
// everything was written and flushed to the disk, so a failure (or a power loss) leaves the
// earlier file (or none) and no temporary. The folder is flushed after the rename.
bool writeFileAtomic(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// Flushes a file, or a folder's list of names, to the disk. Errors read "path: reason".
bool syncFile(const std::string& path, std::string* error = nullptr);
bool syncFolder(const std::string& folder, std::string* error = nullptr);

// Gives the file at `from` the second name `to`, so that it survives being replaced: a hard
// link where the file system has them, otherwise a flushed copy.
bool keepEarlierFile(const std::string& from, const std::string& to, std::string* error = nullptr);

// Removes this program's temporary files (".ledra-tmp-*") left in the folder by a run that was
// interrupted; a temporary that a live run is still writing is locked and stays.
void removeStaleTemporaries(const std::string& folder);

// Removes the temporary folders that runs which ended without cleaning up (killed, a power
// loss) left in the per-user temporary folder; a live run's folder is locked and stays.
void removeStaleRunFolders();

// True when the text can stand as a file name by itself: not empty, not "." or "..", no path
// separator ("/" or "\"), no control character, and not longer than a file system allows.
bool isPlainFileName(std::string_view name);

// True when the two paths name the same file (or, when either does not exist yet, the same
// path once "." and ".." are resolved).
bool samePath(const std::string& a, const std::string& b);

// Tests make every following write (or flush, or hard link) fail with this errno (0 ends it),
// as a full disk, a failing device or a file system without hard links would.
void injectWriteErrorForTesting(int errnoValue);
void injectSyncErrorForTesting(int errnoValue);
void injectLinkErrorForTesting(int errnoValue);

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
