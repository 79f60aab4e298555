#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "output/output_common.hpp"

namespace ledra {

// The files of one output run, written as one set: each goes into a private staging folder
// inside the output folder, and all of them are moved into place together once every step
// has succeeded. Until then, and whenever the run fails, the earlier files stay as they were.
//
// Moving them is described first in a commit journal in the staging folder, flushed to the
// disk, with a second name for every earlier file; so a run stopped half way (killed, a power
// loss) is completed, or undone, by recoverOutputFolder in the next run.
class OutputSet final : public OutputTarget {
 public:
  // The bytes of the files named in keptNames are kept for takeKept().
  OutputSet(std::string outputFolder, std::vector<std::string> keptNames);
  ~OutputSet() override;  // removes the staging folder and whatever is still in it
  OutputSet(const OutputSet&) = delete;
  OutputSet& operator=(const OutputSet&) = delete;

  // Stages fileName with the given bytes. On failure the error reads "final path: reason",
  // as a direct write of the file would have reported it.
  bool put(std::string_view fileName, std::string_view bytes, std::string* error) override;
  // A file made in the staging folder by someone else (the archive) joins the set.
  void adopt(std::string_view fileName);

  const std::string& outputFolder() const override { return folder_; }
  // The staging folder, made on first use; empty when it cannot be made.
  std::string stagingFolder(std::string* error = nullptr);
  std::string stagedPath(std::string_view fileName) const;
  // The names the set holds, in the order they were put or adopted.
  const std::vector<std::string>& stagedNames() const { return staged_; }
  // The bytes put for a kept file, handed over once.
  std::optional<std::string> takeKept(std::string_view fileName);

  // Moves every staged file over its target, with SIGINT, SIGTERM and SIGHUP held until it is
  // done. When one cannot be moved, the targets already replaced get their earlier files back;
  // failedName and error say which and why.
  bool commit(std::string* failedName, std::string* error);

 private:
  bool ensureStaging(const std::string& target, std::string* error);

  std::string folder_;
  std::string staging_;  // empty until the first file
  std::vector<std::string> keptNames_;
  std::vector<std::string> staged_;
  std::unordered_map<std::string, std::string> kept_;
};

// Finds the staging folders that interrupted runs left in the output folder: one whose commit
// journal says the set was being moved is completed (or, when it was being put back, undone),
// so that the folder again holds exactly one set; then it is removed, as are staging folders
// of runs that never began moving and stale temporary files. The caller holds the folder's
// lock. False, with "path: reason", when a set can be neither completed nor undone.
bool recoverOutputFolder(const std::string& outputFolder, std::string* error);

// Tests stop the commit at a named point ("kept", "journal", "moved", "undoing", "finished",
// with the file's index) by killing the process from this hook.
void setCommitHookForTesting(void (*hook)(std::string_view point, size_t index));

}  // namespace ledra
