#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace ledra {

struct ConversionState;
class OutputSet;
class Platform;
class PreparedMembers;

// What the archive step packs and under which name; rebuilt at every packArchive.
struct ArchiveJob {
  std::array<std::string, 5> fileList;  // full paths; the used slots come first
  int32_t fileCount = 0;
  std::string archiveName;    // bare name, written into the output folder
  std::string listFolder;     // where the list file goes
  std::string listSeparator;  // "" when listFolder already ends in the separator
  OutputSet* set = nullptr;   // the run's set: members staged there, the archive joins it
  PreparedMembers* prepared = nullptr;
};

// The names of the files the archive takes, in list order.
std::vector<std::string> archiveMemberNames(const ConversionState& state);

// The whole archive step: packs kanjyo.csv, hojokamoku.csv, zandaka.csv and, unless there is
// exactly one department, busho.csv into LedraUserCode_output_yyyyMMddHHmmss.zip in the output
// folder. Asks before touching an existing archive of that name. True when the archive was made.
bool packArchive(ConversionState& state, Platform& platform);
// The same within an output run that writes its files as one set: the members are the staged
// files, the archive is made beside them and joins the set, and members compressed ahead are
// used where their files still hold the same bytes.
bool packArchive(ConversionState& state, Platform& platform, OutputSet& set,
                 PreparedMembers* prepared);

// Starts compressing the members from the bytes their writers kept in the set; called once
// the last member is written, so the work overlaps the writers that follow.
void prepareArchiveMembers(const ConversionState& state, OutputSet& set, PreparedMembers& prepared);

// Writes the list file naming the job's files and runs the compression; the list file is
// removed again on success and left in place otherwise.
bool packFiles(ArchiveJob& job, ConversionState& state, Platform& platform);

// Builds the archive name and the archiver's command line for the files of the list file,
// which lie in the folder of firstFile, and runs it.
bool compressFiles(ArchiveJob& job, ConversionState& state, Platform& platform,
                   const std::string& firstFile, const std::string& listFile);

// Runs the archiver on the command line, first asking whether an existing archiveName in
// archiveFolder is to be replaced (Yes), added to (No: the command becomes "-u") or left alone
// (Cancel). Shows the archiver's error code when it fails; a result beyond 16 bits has no
// message of its own and throws StepError.
bool runArchiver(Platform& platform, std::string commandLine, const std::string& archiveName,
                 const std::string& archiveFolder);
// As above for a job of a set: the question looks at the output folder, an archive to be added
// to is first copied beside the staged members, and the made archive joins the set.
bool runArchiver(Platform& platform, std::string commandLine, const ArchiveJob& job,
                 const std::string& archiveFolder);

}  // namespace ledra
