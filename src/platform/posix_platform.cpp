#include "platform/posix_platform.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "platform/archiver.hpp"
#include "platform/file_io.hpp"

namespace ledra {

bool PosixPlatform::fileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

bool PosixPlatform::folderExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_directory(path, ec);
}

std::string PosixPlatform::documentsFolder() {
  if (const char* xdg = std::getenv("XDG_DOCUMENTS_DIR"); xdg && *xdg) return xdg;
  return homeFolder() + "/Documents";
}

std::string PosixPlatform::homeFolder() {
  const char* home = std::getenv("HOME");
  return home && *home ? home : "";
}

PosixPlatform::~PosixPlatform() {
  if (runTempFolder_.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(runTempFolder_, ec);
  if (runTempLock_ >= 0) ::close(runTempLock_);
}

namespace {

std::string systemTempFolder() {
  std::error_code ec;
  auto p = std::filesystem::temp_directory_path(ec);
  return ec ? std::string("/tmp") : p.string();
}

// A per-user folder, so that two users never share a temporary file.
std::string userTempFolder(const std::string& base) {
  return base + "/ledra-convert-" + std::to_string(::getuid());
}

}  // namespace

void removeStaleRunFolders() {
  const std::string folder = userTempFolder(systemTempFolder());
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return;
  std::error_code ec;
  const auto now = std::filesystem::file_time_type::clock::now();
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    std::error_code e;
    if (!entry.path().filename().string().starts_with("run-") || !entry.is_directory(e)) continue;
    // Young ones may belong to a run that has not locked its folder yet.
    if (now - entry.last_write_time(e) < std::chrono::minutes(1) || e) continue;
    const int fd = ::open(entry.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) std::filesystem::remove_all(entry.path(), e);
    ::close(fd);
  }
}

std::string PosixPlatform::tempFolder() {
  if (!runTempFolder_.empty()) return runTempFolder_;
  std::string base = systemTempFolder();
  // One that someone else made (or a link) is not used.
  std::string folder = userTempFolder(base);
  ::mkdir(folder.c_str(), 0700);
  struct stat st {};
  const bool own =
      ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
  // And in it a folder of this run's own, so that two conversions running at once never
  // share the list file either.
  std::string tmpl = (own ? folder : base) + "/run-XXXXXX";
  if (::mkdtemp(tmpl.data())) {
    runTempFolder_ = tmpl;
    runTempLock_ = ::open(tmpl.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (runTempLock_ >= 0) ::flock(runTempLock_, LOCK_EX | LOCK_NB);
    return runTempFolder_;
  }
  return own ? folder : base;
}

DateTime PosixPlatform::now() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return DateTime{{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday}, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

ArchiveResult PosixPlatform::runArchive(const ArchiveRequest& request, PreparedMembers* prepared) {
  return ledra::runArchive(request, prepared);
}

}  // namespace ledra
