#include "platform/posix_platform.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "platform/archiver.hpp"

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
}

std::string PosixPlatform::tempFolder() {
  if (!runTempFolder_.empty()) return runTempFolder_;
  std::error_code ec;
  auto p = std::filesystem::temp_directory_path(ec);
  std::string base = ec ? std::string("/tmp") : p.string();
  // A per-user folder, so that two users never share the archiver's list file. One that
  // someone else made (or a link) is not used.
  std::string folder = base + "/ledra-convert-" + std::to_string(::getuid());
  ::mkdir(folder.c_str(), 0700);
  struct stat st {};
  const bool own =
      ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
  // And in it a folder of this run's own, so that two conversions running at once never
  // share the list file either.
  std::string tmpl = (own ? folder : base) + "/run-XXXXXX";
  if (::mkdtemp(tmpl.data())) {
    runTempFolder_ = tmpl;
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

int PosixPlatform::runArchiver(const std::string& commandLine) {
  return runZipCommand(commandLine);
}

int PosixPlatform::runArchiverPrepared(const std::string& commandLine, PreparedMembers& prepared) {
  return runZipCommand(commandLine, &prepared);
}

}  // namespace ledra
