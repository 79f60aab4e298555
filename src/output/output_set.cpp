#include "output/output_set.hpp"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "base/text.hpp"
#include "platform/file_io.hpp"
#include "platform/held_signals.hpp"
#include "platform/system_reason.hpp"

namespace ledra {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kStagingPrefix = ".ledra-out-";
constexpr const char* kJournalName = ".commit";
constexpr const char* kUndoingName = ".undo";
constexpr std::string_view kJournalHead = "ledra-convert commit 1";
constexpr std::string_view kJournalEnd = "end";

void (*commitHook)(std::string_view, size_t) = nullptr;

void reach(std::string_view point, size_t index) {
  if (commitHook) commitHook(point, index);
}

std::string failure(const std::string& path, int err) { return path + ": " + systemReason(err); }

bool present(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

// One file of a set being moved into place, as the commit journal records it.
struct Move {
  std::string name;
  bool existed = false;  // an earlier file had the name; its second name is .earlier-N
};

std::string earlierPath(const std::string& staging, size_t index) {
  return joinPath(staging, ".earlier-" + std::to_string(index));
}

std::string journalText(const std::vector<Move>& moves) {
  std::string text = std::string(kJournalHead) + "\n";
  for (const Move& m : moves) text += (m.existed ? "1\t" : "0\t") + m.name + "\n";
  return text + std::string(kJournalEnd) + "\n";
}

// The moves of a journal; nothing when there is none (the run never began moving) or it is
// not one this program wrote.
std::optional<std::vector<Move>> readJournal(const std::string& staging) {
  const auto bytes = readFileBytes(joinPath(staging, kJournalName));
  if (!bytes) return std::nullopt;
  std::vector<std::string> lines = splitPlain(*bytes, "\n");
  if (lines.size() < 3 || lines.front() != kJournalHead || !lines.back().empty() ||
      lines[lines.size() - 2] != kJournalEnd) {
    return std::nullopt;
  }
  std::vector<Move> moves;
  for (size_t i = 1; i + 2 < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.size() < 3 || (line[0] != '0' && line[0] != '1') || line[1] != '\t')
      return std::nullopt;
    const std::string name = line.substr(2);
    if (!isPlainFileName(name)) return std::nullopt;
    moves.push_back({name, line[0] == '1'});
  }
  return moves;
}

// Moves what is still staged over its target. False at the first that cannot be moved.
bool moveForward(const std::string& folder, const std::string& staging,
                 const std::vector<Move>& moves, size_t* failedIndex, std::string* error) {
  for (size_t i = 0; i < moves.size(); ++i) {
    const std::string staged = joinPath(staging, moves[i].name);
    if (!present(staged)) continue;  // moved before the run was stopped
    const std::string target = joinPath(folder, moves[i].name);
    if (std::rename(staged.c_str(), target.c_str()) != 0) {
      if (failedIndex) *failedIndex = i;
      if (error) *error = failure(target, errno);
      return false;
    }
    reach("moved", i);
  }
  return syncFolder(folder, error);
}

// Puts the earlier files back: a moved file gives its name back to the earlier one, or goes
// when there was none. Safe to repeat after an interruption.
bool moveBack(const std::string& folder, const std::string& staging, const std::vector<Move>& moves,
              std::string* error) {
  bool ok = true;
  for (size_t i = moves.size(); i-- > 0;) {
    reach("undoing", i);
    if (present(joinPath(staging, moves[i].name))) continue;  // never moved
    const std::string target = joinPath(folder, moves[i].name);
    const std::string earlier = earlierPath(staging, i);
    int err = 0;
    if (moves[i].existed) {
      if (present(earlier) && std::rename(earlier.c_str(), target.c_str()) != 0) err = errno;
    } else if (::unlink(target.c_str()) != 0 && errno != ENOENT) {
      err = errno;
    }
    if (err) {
      if (ok && error) *error = failure(target, err);
      ok = false;
    }
  }
  return syncFolder(folder, ok ? error : nullptr) && ok;
}

// Marks the set as being put back, so that an interrupted undo is finished the same way.
bool beginUndo(const std::string& staging, std::string* error) {
  return writeFileAtomic(joinPath(staging, kUndoingName), "", error);
}

}  // namespace

void setCommitHookForTesting(void (*hook)(std::string_view, size_t)) { commitHook = hook; }

OutputSet::OutputSet(std::string outputFolder, std::vector<std::string> keptNames)
    : folder_(std::move(outputFolder)), keptNames_(std::move(keptNames)) {}

OutputSet::~OutputSet() {
  if (staging_.empty()) return;
  std::error_code ec;
  fs::remove_all(staging_, ec);
}

bool OutputSet::ensureStaging(const std::string& target, std::string* error) {
  if (!staging_.empty()) return true;
  // Inside the output folder, so that moving the files into place is a rename.
  std::string tmpl = joinPath(folder_, std::string(kStagingPrefix) + "XXXXXX");
  if (!::mkdtemp(tmpl.data())) {
    if (error) *error = failure(target, errno);
    return false;
  }
  staging_ = tmpl;
  return true;
}

std::string OutputSet::stagingFolder(std::string* error) {
  ensureStaging(folder_, error);
  return staging_;
}

std::string OutputSet::stagedPath(std::string_view fileName) const {
  return joinPath(staging_, fileName);
}

bool OutputSet::put(std::string_view fileName, std::string_view bytes, std::string* error) {
  const std::string target = joinPath(folder_, fileName);
  std::error_code ec;
  // Found now rather than when the set is moved into place, so the step that writes the file
  // is the one that fails.
  if (fs::is_directory(target, ec)) {
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
  if (staged_.empty()) return true;
  const HeldSignals held;
  auto fail = [&](size_t index, const std::string& why) {
    if (failedName) *failedName = staged_[index];
    if (error) *error = why;
    return false;
  };
  // Every earlier file gets a second name in the staging folder before anything moves.
  std::vector<Move> moves;
  for (size_t i = 0; i < staged_.size(); ++i) {
    const std::string target = joinPath(folder_, staged_[i]);
    Move m{staged_[i], present(target)};
    std::error_code ec;
    // A folder in the way keeps no second name: the move fails on it and the rest goes back.
    if (m.existed && !fs::is_directory(fs::symlink_status(target, ec))) {
      std::string why;
      if (!keepEarlierFile(target, earlierPath(staging_, i), &why)) return fail(i, why);
    }
    reach("kept", i);
    moves.push_back(std::move(m));
  }
  std::string why;
  if (!writeFileAtomic(joinPath(staging_, kJournalName), journalText(moves), &why))
    return fail(0, why);
  reach("journal", 0);

  size_t failed = 0;
  if (!moveForward(folder_, staging_, moves, &failed, &why)) {
    std::string undoWhy;
    if (beginUndo(staging_, &undoWhy) && moveBack(folder_, staging_, moves, &undoWhy)) {
      return fail(failed, why);
    }
    // Left for the next run to finish putting back.
    staging_.clear();
    return fail(failed, why);
  }
  ::unlink(joinPath(staging_, kJournalName).c_str());
  reach("finished", 0);
  std::error_code ec;
  fs::remove_all(staging_, ec);
  staging_.clear();
  staged_.clear();
  return true;
}

bool recoverOutputFolder(const std::string& outputFolder, std::string* error) {
  removeStaleTemporaries(outputFolder);
  std::vector<std::string> stagings;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(outputFolder, ec)) {
    std::error_code kindError;
    if (entry.path().filename().string().starts_with(kStagingPrefix) &&
        entry.is_directory(kindError)) {
      stagings.push_back(entry.path().string());
    }
  }
  for (const std::string& staging : stagings) {
    if (const auto moves = readJournal(staging)) {
      bool undoing = present(joinPath(staging, kUndoingName));
      // A set that was being moved is completed: every file of it is complete on the disk.
      if (!undoing && !moveForward(outputFolder, staging, *moves, nullptr, nullptr)) {
        if (!beginUndo(staging, error)) return false;
        undoing = true;
      }
      if (undoing && !moveBack(outputFolder, staging, *moves, error)) return false;
    }
    // Without a journal nothing of the set had moved; it is only a leftover.
    fs::remove_all(staging, ec);
  }
  return true;
}

}  // namespace ledra
