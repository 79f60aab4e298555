#pragma once

#include <chrono>
#include <string>

namespace ledra {

// An exclusive lock between runs of this program (and between the windows and the command line)
// on an output folder or a work-state file. It lives in a small lock file beside what it
// guards, which goes again when the lock is released. Taking a lock this process already holds
// succeeds at once, so that nested steps need not know about each other.
class FileLock {
 public:
  enum class Outcome { Locked, Busy, Unavailable };

  FileLock() = default;
  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock();

  // Waits a short while for another holder to finish. Busy when it does not; Unavailable when
  // no lock file can be made there (a read-only folder), in which case nothing can be written
  // there either and the writer reports that.
  Outcome acquire(const std::string& lockFile);
  void release();

 private:
  std::string path_;
  int fd_ = -1;
  bool nested_ = false;
};

// The lock file of an output folder, and of a work-state file (beside it).
std::string outputFolderLockFile(const std::string& folder);
std::string workStateLockFile(const std::string& stateFile);

// How long a run waits for another to release a lock; tests shorten it.
void setLockWaitForTesting(std::chrono::milliseconds wait);

}  // namespace ledra
