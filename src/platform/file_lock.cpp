#include "platform/file_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/file_io.hpp"

namespace ledra {

namespace {

std::chrono::milliseconds lockWait{5000};
constexpr std::chrono::milliseconds kPoll{50};

// Lock files this process holds, with how many holders each has.
std::mutex heldMutex;
std::map<std::string, int>& heldLocks() {
  static std::map<std::string, int> held;
  return held;
}

}  // namespace

void setLockWaitForTesting(std::chrono::milliseconds wait) { lockWait = wait; }

std::string outputFolderLockFile(const std::string& folder) {
  return joinPath(folder, ".ledra-convert.lock");
}

std::string workStateLockFile(const std::string& stateFile) {
  const std::string folder = folderWithSeparator(stateFile);
  return folder + "." + stateFile.substr(folder.size()) + ".lock";
}

FileLock::FileLock(FileLock&& other) noexcept
    : path_(std::move(other.path_)),
      fd_(std::exchange(other.fd_, -1)),
      nested_(std::exchange(other.nested_, false)) {
  other.path_.clear();
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    release();
    path_ = std::move(other.path_);
    other.path_.clear();
    fd_ = std::exchange(other.fd_, -1);
    nested_ = std::exchange(other.nested_, false);
  }
  return *this;
}

FileLock::~FileLock() { release(); }

FileLock::Outcome FileLock::acquire(const std::string& lockFile) {
  release();
  {
    std::lock_guard<std::mutex> guard(heldMutex);
    auto it = heldLocks().find(lockFile);
    if (it != heldLocks().end()) {
      ++it->second;
      path_ = lockFile;
      nested_ = true;
      return Outcome::Locked;
    }
  }
  const auto deadline = std::chrono::steady_clock::now() + lockWait;
  while (true) {
    const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return Outcome::Unavailable;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      // The holder before us removes the file before letting go; a lock on a removed file
      // guards nothing, so start again on the file that now has the name.
      struct stat held {
      }, named{};
      if (::fstat(fd, &held) == 0 && ::stat(lockFile.c_str(), &named) == 0 &&
          held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
        fd_ = fd;
        path_ = lockFile;
        std::lock_guard<std::mutex> guard(heldMutex);
        heldLocks()[lockFile] = 1;
        return Outcome::Locked;
      }
      ::close(fd);
      continue;
    }
    const int err = errno;
    ::close(fd);
    // File systems without locks: go on as before there were locks.
    if (err != EWOULDBLOCK && err != EINTR) return Outcome::Unavailable;
    if (std::chrono::steady_clock::now() >= deadline) return Outcome::Busy;
    std::this_thread::sleep_for(kPoll);
  }
}

void FileLock::release() {
  if (path_.empty()) return;
  {
    std::lock_guard<std::mutex> guard(heldMutex);
    auto it = heldLocks().find(path_);
    if (it != heldLocks().end() && --it->second == 0) heldLocks().erase(it);
  }
  if (!nested_ && fd_ >= 0) {
    ::unlink(path_.c_str());  // while still held, so nobody locks a file about to vanish
    ::close(fd_);
  }
  fd_ = -1;
  nested_ = false;
  path_.clear();
}

}  // namespace ledra
