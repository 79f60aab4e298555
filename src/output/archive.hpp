#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "state/step_result.hpp"

namespace ledra {

struct ConversionState;
class OutputSet;
class Platform;
class PreparedMembers;

// What the archive step packs and under which name; rebuilt at every packArchive.
struct ArchiveJob {
  std::array<std::string, 5> fileList;  // full paths; the used slots come first
  int32_t fileCount = 0;
  std::string archiveName;   // bare name, written into the output folder
  OutputSet* set = nullptr;  // the run's set: members staged there, the archive joins it
  PreparedMembers* prepared = nullptr;
};

// The names of the files the archive takes, in list order.
std::vector<std::string> archiveMemberNames(const ConversionState& state);

// The archive's name: LedraUserCode_output_yyyyMMddHHmmss.zip. Empty when the user code cannot
// stand in a file name (a separator, "." or "..", a control character, too long).
std::string archiveFileName(const std::string& userCode, const std::string& stamp);

// The whole archive step: packs kanjyo.csv, hojokamoku.csv, zandaka.csv and, unless there is
// exactly one department, busho.csv of outputFolder into
// LedraUserCode_output_yyyyMMddHHmmss.zip there. Asks before touching an existing archive of
// that name. Succeeds when the archive was made.
StepResult packArchive(const ConversionState& state, Platform& platform,
                       const std::string& outputFolder);
// The same within an output run that writes its files as one set: the members are the staged
// files, the archive is made beside them and joins the set, and members compressed ahead are
// used where their files still hold the same bytes.
StepResult packArchive(const ConversionState& state, Platform& platform, OutputSet& set,
                       PreparedMembers* prepared);

// Starts compressing the members from the bytes their writers kept in the set; called once
// the last member is written, so the work overlaps the writers that follow.
void prepareArchiveMembers(const ConversionState& state, OutputSet& set, PreparedMembers& prepared);

}  // namespace ledra
