#include "output/output_set.hpp"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/file_io.hpp"
#include "platform/system_reason.hpp"

namespace ledra {

namespace {

std::string failure(const std::string& path, int err) { return path + ": " + systemReason(err); }

}  // namespace

OutputSet::OutputSet(std::string outputFolder, std::vector<std::string> keptNames)
    : folder_(std::move(outputFolder)), keptNames_(std::move(keptNames)) {}

OutputSet::~OutputSet() {
  if (staging_.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(staging_, ec);
}

bool OutputSet::ensureStaging(const std::string& target, std::string* error) {
  if (!staging_.empty()) return true;
  // Inside the output folder, so that moving the files into place is a rename.
  std::string tmpl = joinPath(folder_, ".ledra-out-XXXXXX");
  if (!::mkdtemp(tmpl.data())) {
    if (error) *error = failure(target, errno);
    return false;
  }
  staging_ = tmpl;
  return true;
}

std::string OutputSet::stagedPath(std::string_view fileName) const {
  return joinPath(staging_, fileName);
}

bool OutputSet::put(std::string_view fileName, std::string_view bytes, std::string* error) {
  const std::string target = joinPath(folder_, fileName);
  std::error_code ec;
  // Found now rather than when the set is moved into place, so the step that writes the file
  // is the one that fails.
  if (std::filesystem::is_directory(target, ec)) {
    if (error) *error = failure(target, EISDIR);
    return false;
  }
  if (!ensureStaging(target, error)) return false;
  const std::string staged = stagedPath(fileName);
  std::string why;
  if (!writeFileAtomic(staged, bytes, &why)) {
    if (why.starts_with(staged)) why.replace(0, staged.size(), target);
    if (error) *error = why;
    return false;
  }
  adopt(fileName);
  if (std::find(keptNames_.begin(), keptNames_.end(), fileName) != keptNames_.end())
    kept_[std::string(fileName)] = std::string(bytes);
  return true;
}

void OutputSet::adopt(std::string_view fileName) {
  if (std::find(staged_.begin(), staged_.end(), fileName) == staged_.end())
    staged_.emplace_back(fileName);
}

std::optional<std::string> OutputSet::takeKept(std::string_view fileName) {
  const auto it = kept_.find(std::string(fileName));
  if (it == kept_.end()) return std::nullopt;
  std::string bytes = std::move(it->second);
  kept_.erase(it);
  return bytes;
}

bool OutputSet::commit(std::string* failedName, std::string* error) {
  struct Moved {
    std::string target;
    bool existed = false;
    std::string backup;  // empty when the earlier file has no second name
  };
  std::vector<Moved> moved;
  for (size_t i = 0; i < staged_.size(); ++i) {
    Moved m{joinPath(folder_, staged_[i]), false, {}};
    std::error_code ec;
    m.existed = std::filesystem::exists(std::filesystem::symlink_status(m.target, ec));
    // A second name for the earlier file, so that it can be put back.
    if (m.existed) {
      m.backup = joinPath(staging_, ".earlier-" + std::to_string(i));
      if (::link(m.target.c_str(), m.backup.c_str()) != 0) m.backup.clear();
    }
    if (std::rename(stagedPath(staged_[i]).c_str(), m.target.c_str()) != 0) {
      const int err = errno;
      for (auto it = moved.rbegin(); it != moved.rend(); ++it) {
        if (!it->backup.empty()) {
          std::rename(it->backup.c_str(), it->target.c_str());
        } else if (!it->existed) {
          ::unlink(it->target.c_str());
        }
      }
      if (failedName) *failedName = staged_[i];
      if (error) *error = failure(m.target, err);
      return false;
    }
    moved.push_back(std::move(m));
  }
  staged_.clear();
  return true;
}

}  // namespace ledra
