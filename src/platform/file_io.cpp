#include "platform/file_io.hpp"

#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "platform/cp932.hpp"
#include "platform/system_reason.hpp"

namespace ledra {

bool canOpenForReading(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  return in.is_open();
}

std::optional<std::string> readFileBytes(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string data;
  in.seekg(0, std::ios::end);
  const auto size = in.tellg();
  if (size < 0) return std::nullopt;
  in.seekg(0, std::ios::beg);
  data.resize(static_cast<size_t>(size));
  if (size > 0 && !in.read(data.data(), size)) return std::nullopt;
  return data;
}

namespace {
int injectedWriteError = 0;
int injectedSyncError = 0;
int injectedLinkError = 0;

constexpr std::string_view kTempPrefix = ".ledra-tmp-";
// A temporary younger than this may belong to a run that has not locked it yet.
constexpr auto kStaleAfter = std::chrono::minutes(1);

int syncDescriptor(int fd) {
  if (injectedSyncError) return injectedSyncError;
  while (::fsync(fd) != 0) {
    if (errno == EINTR) continue;
    // Some file systems cannot flush a folder; there is nothing more to do for them.
    if (errno == EINVAL || errno == ENOTSUP) return 0;
    return errno;
  }
  return 0;
}

bool syncPath(const std::string& path, int flags, std::string* error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | flags);
  int err = fd < 0 ? errno : syncDescriptor(fd);
  if (fd >= 0) ::close(fd);
  if (err == 0) return true;
  if (error) *error = path + ": " + systemReason(err);
  errno = err;
  return false;
}
}  // namespace

void injectWriteErrorForTesting(int errnoValue) { injectedWriteError = errnoValue; }
void injectSyncErrorForTesting(int errnoValue) { injectedSyncError = errnoValue; }
void injectLinkErrorForTesting(int errnoValue) { injectedLinkError = errnoValue; }

bool syncFile(const std::string& path, std::string* error) { return syncPath(path, 0, error); }

bool syncFolder(const std::string& folder, std::string* error) {
  return syncPath(folder.empty() ? std::string(".") : folder, O_DIRECTORY, error);
}

bool keepEarlierFile(const std::string& from, const std::string& to, std::string* error) {
  errno = injectedLinkError;
  if (!injectedLinkError && ::link(from.c_str(), to.c_str()) == 0) return true;
  // FAT, exFAT and many network shares have no hard links: keep a copy instead.
  const auto bytes = readFileBytes(from);
  if (!bytes) {
    if (error) *error = from + ": " + unreadableFileReason(from);
    return false;
  }
  return writeFileAtomic(to, *bytes, error);
}

void removeStaleTemporaries(const std::string& folder) {
  std::error_code ec;
  const auto now = std::filesystem::file_time_type::clock::now();
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with(kTempPrefix) || !entry.is_regular_file(ec)) continue;
    const auto written = entry.last_write_time(ec);
    if (ec || now - written < kStaleAfter) continue;
    const int fd = ::open(entry.path().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    // A live writer holds its temporary locked.
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) ::unlink(entry.path().c_str());
    ::close(fd);
  }
}

bool isPlainFileName(std::string_view name) {
  if (name.empty() || name == "." || name == ".." || name.size() > NAME_MAX) return false;
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7F || c == '/' || c == '\\') return false;
  return true;
}

bool samePath(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (std::filesystem::equivalent(a, b, ec)) return true;
  auto normal = [](const std::string& p) {
    std::error_code e;
    return std::filesystem::weakly_canonical(std::filesystem::absolute(p, e), e).lexically_normal();
  };
  return normal(a) == normal(b);
}

std::string unreadableFileReason(const std::string& path) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (std::filesystem::is_directory(status)) return "フォルダです（ファイルを指定してください）";
  if (!std::filesystem::exists(status)) return "ファイルがありません";
  if (!std::filesystem::is_regular_file(status)) return "通常のファイルではありません";
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return std::string("ファイルを読み込めません（") + systemReason(errno) + "）";
  ::close(fd);
  return "ファイルを読み込めません";
}

std::string wrongKindReason(const std::string& path, bool folderWanted) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (!std::filesystem::exists(status)) return {};
  if (folderWanted) return std::filesystem::is_directory(status) ? "" : "フォルダではありません";
  return std::filesystem::is_regular_file(status) ? "" : unreadableFileReason(path);
}

bool writeFileAtomic(const std::string& path, std::string_view bytes, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  const std::string folder = folderWithSeparator(path);
  std::string tmpl =
      (folder.empty() ? std::string("./") : folder) + std::string(kTempPrefix) + "XXXXXX";
  int fd = mkostemp(tmpl.data(), O_CLOEXEC);
  if (fd < 0) return fail(path + ": " + systemReason(errno));
  // Locked while it is written, so that a clean-up by another run leaves it alone.
  ::flock(fd, LOCK_EX | LOCK_NB);
  auto abandon = [&](int err) {
    ::unlink(tmpl.c_str());
    ::close(fd);
    return fail(path + ": " + systemReason(err));
  };
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = injectedWriteError ? -1 : ::write(fd, bytes.data() + done, bytes.size() - done);
    if (injectedWriteError) errno = injectedWriteError;
    if (n < 0) {
      if (errno == EINTR) continue;
      return abandon(errno);
    }
    done += static_cast<size_t>(n);
  }
  // Created files get the usual permissions rather than mkstemp's 0600.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  // On the disk before it takes the name, so that a power loss never leaves an empty file.
  if (const int err = syncDescriptor(fd)) return abandon(err);
  if (std::rename(tmpl.c_str(), path.c_str()) != 0) return abandon(errno);
  if (::close(fd) != 0) return fail(path + ": " + systemReason(errno));
  return syncFolder(folder.empty() ? std::string(".") : folder, error);
}

std::string joinPath(std::string_view folder, std::string_view name) {
  std::string out(folder);
  if (!out.empty() && out.back() != '/') out += '/';
  out.append(name);
  return out;
}

std::string folderWithSeparator(std::string_view path) {
  const size_t at = path.rfind('/');
  if (at == std::string_view::npos) return {};
  return std::string(path.substr(0, at + 1));
}

void Cp932TextBuilder::line(std::string_view utf8) {
  appendCp932(bytes_, utf8);
  bytes_ += "\r\n";
}

}  // namespace ledra
