#include "platform/file_io.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
}  // namespace

void injectWriteErrorForTesting(int errnoValue) { injectedWriteError = errnoValue; }

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
  std::string tmpl = (folder.empty() ? std::string("./") : folder) + ".ledra-tmp-XXXXXX";
  int fd = mkstemp(tmpl.data());
  if (fd < 0) return fail(path + ": " + systemReason(errno));
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = injectedWriteError ? -1 : ::write(fd, bytes.data() + done, bytes.size() - done);
    if (injectedWriteError) errno = injectedWriteError;
    if (n < 0) {
      if (errno == EINTR) continue;
      const std::string why = systemReason(errno);
      ::close(fd);
      ::unlink(tmpl.c_str());
      return fail(path + ": " + why);
    }
    done += static_cast<size_t>(n);
  }
  // Created files get the usual permissions rather than mkstemp's 0600.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  if (::close(fd) != 0) {
    const std::string why = systemReason(errno);
    ::unlink(tmpl.c_str());
    return fail(path + ": " + why);
  }
  if (std::rename(tmpl.c_str(), path.c_str()) != 0) {
    const std::string why = systemReason(errno);
    ::unlink(tmpl.c_str());
    return fail(path + ": " + why);
  }
  return true;
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
