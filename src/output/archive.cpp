#include "output/archive.hpp"

#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>

#include "base/text.hpp"
#include "output/output_common.hpp"
#include "output/output_set.hpp"
#include "output/path_parts.hpp"
#include "platform/archiver.hpp"
#include "platform/file_io.hpp"
#include "platform/platform.hpp"
#include "state/conversion_state.hpp"
#include "state/table.hpp"

namespace ledra {

namespace {

constexpr std::string_view kListFileName = "rp.lst";
constexpr int kCompressionLevel = 9;

const std::string kOverwriteTitle = "上書き確認";
const std::string kOverwriteQuestion =
    "はすでに存在しています。\r\nファイルを上書きしますか?\r\n"
    "(はいで上書き,いいえで追加圧縮,キャンセルで圧縮中止)";
const std::string kCancelled = "圧縮をキャンセルしました。";
const std::string kFailedTitle = "Failed";
const std::string kFailedPrefix = "圧縮に失敗しました。Error Code:0x";

std::string twoDigits(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", n);
  return buf;
}

// yyyyMMddHHmmss: the short date without "/" and the long time without ":".
std::string timeStamp(const DateTime& t) {
  char year[16];
  std::snprintf(year, sizeof year, "%04d", t.date.year);
  return year + twoDigits(t.date.month) + twoDigits(t.date.day) + twoDigits(t.hour) +
         twoDigits(t.minute) + twoDigits(t.second);
}

std::string hex16(int16_t code) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(static_cast<uint16_t>(code)));
  return buf;
}

// The original passed the list file by its short path, which never holds a blank; a POSIX path
// may, so it is quoted then, and only then.
std::string listFileArgument(const std::string& path) {
  return path.find_first_of(" \t") == std::string::npos ? path : "\"" + path + "\"";
}

}  // namespace

std::vector<std::string> archiveMemberNames(const ConversionState& state) {
  std::vector<std::string> names = {"kanjyo.csv", "hojokamoku.csv", "zandaka.csv"};
  // busho.csv goes along unless the company has exactly one department.
  if (state.workDepartments.count() != 1) names.emplace_back("busho.csv");
  return names;
}

namespace {

bool packArchiveInto(ConversionState& state, Platform& platform, OutputSet* set,
                     PreparedMembers* prepared) {
  try {
    ArchiveJob job;
    job.set = set;
    job.prepared = prepared;
    job.listFolder = platform.tempFolder();
    job.listSeparator = separatorFor(job.listFolder);
    const std::vector<std::string> names = archiveMemberNames(state);
    for (size_t i = 0; i < names.size(); ++i)
      job.fileList[i] = job.set ? job.set->stagedPath(names[i]) : outputPath(state, names[i]);
    job.fileCount = static_cast<int32_t>(names.size());
    return packFiles(job, state, platform);
  } catch (const std::exception& e) {
    state.lastErrorDetail = ErrorDetail{"pressdata.zip", 0, e.what()};
    return false;
  }
}

}  // namespace

bool packArchive(ConversionState& state, Platform& platform) {
  return packArchiveInto(state, platform, nullptr, nullptr);
}

bool packArchive(ConversionState& state, Platform& platform, OutputSet& set,
                 PreparedMembers* prepared) {
  return packArchiveInto(state, platform, &set, prepared);
}

bool packFiles(ArchiveJob& job, ConversionState& state, Platform& platform) {
  std::string first = job.fileList[0];
  if (!first.empty() && first.back() == '/') first.pop_back();

  const std::string listFile = job.listFolder + job.listSeparator + std::string(kListFileName);
  Cp932TextBuilder list;
  for (int32_t slot = 0; slot < job.fileCount; ++slot) {
    std::string base, name;
    splitPath(job.fileList.at(static_cast<size_t>(slot)), base, name);
    list.line(name);
  }
  std::string error;
  if (!list.commit(listFile, &error)) {
    state.lastErrorDetail = ErrorDetail{listFile, 0, writeFailureReason(listFile, error)};
    return false;
  }

  if (!compressFiles(job, state, platform, first, listFile)) return false;
  std::error_code ec;
  std::filesystem::remove(listFile, ec);
  return true;
}

bool compressFiles(ArchiveJob& job, ConversionState& state, Platform& platform,
                   const std::string& firstFile, const std::string& listFile) {
  const std::string options = " -" + std::to_string(kCompressionLevel) + " ";
  std::string base, name;
  const std::string baseFolder = splitPath(stripExtension(firstFile), base, name);

  job.archiveName = state.ledraUserCode + "_output_" + timeStamp(platform.now()) + ".zip";
  const std::string commandLine = "-r " + options + "\"" + job.archiveName + "\" \"" + baseFolder +
                                  "\" @" + listFileArgument(listFile);
  if (job.set) return runArchiver(platform, commandLine, job, baseFolder);
  return runArchiver(platform, commandLine, job.archiveName, baseFolder);
}

void prepareArchiveMembers(const ConversionState& state, OutputSet& set,
                           PreparedMembers& prepared) {
  std::vector<PreparedMembers::Member> members;
  for (const std::string& name : archiveMemberNames(state)) {
    auto bytes = set.takeKept(name);
    if (!bytes) return;  // the archive step compresses the files as they are
    members.push_back({set.stagedPath(name), std::move(*bytes)});
  }
  prepared.start(std::move(members), kCompressionLevel);
}

namespace {

bool runArchiverFor(Platform& platform, std::string commandLine, const std::string& archiveName,
                    const std::string& archiveFolder, OutputSet* set, PreparedMembers* prepared) {
  const std::string archivePath = joinPath(set ? set->outputFolder() : archiveFolder, archiveName);
  if (platform.fileExists(archivePath)) {
    const MsgResult answer = platform.message(archiveName + kOverwriteQuestion, kOverwriteTitle,
                                              MsgButtons::YesNoCancel, MsgIcon::Information);
    // Yes keeps the command's "-r": the archiver replaces the old archive only once the new
    // one is complete, so a failed run does not cost the user the archive they had.
    if (answer == MsgResult::No) {
      commandLine.replace(0, 2, "-u");
      if (set) {
        // Added to beside the staged members; the original stays until the set is moved.
        std::error_code ec;
        std::filesystem::copy_file(archivePath, joinPath(archiveFolder, archiveName),
                                   std::filesystem::copy_options::overwrite_existing, ec);
        if (ec) throw StepError(archivePath + ": " + ec.message());
      }
    } else if (answer != MsgResult::Yes) {
      platform.message(kCancelled, kFailedTitle, MsgButtons::Ok, MsgIcon::Critical);
      return false;
    }
  }

  const int result = prepared ? platform.runArchiverPrepared(commandLine, *prepared)
                              : platform.runArchiver(commandLine);
  if (result < INT16_MIN || result > INT16_MAX) {
    throw StepError("archiver result " + std::to_string(result) + " out of range");
  }
  if (result != 0) {
    platform.message(kFailedPrefix + hex16(static_cast<int16_t>(result)), kFailedTitle,
                     MsgButtons::Ok, MsgIcon::Critical);
    return false;
  }
  if (set) set->adopt(archiveName);
  return true;
}

}  // namespace

bool runArchiver(Platform& platform, std::string commandLine, const std::string& archiveName,
                 const std::string& archiveFolder) {
  return runArchiverFor(platform, std::move(commandLine), archiveName, archiveFolder, nullptr,
                        nullptr);
}

bool runArchiver(Platform& platform, std::string commandLine, const ArchiveJob& job,
                 const std::string& archiveFolder) {
  return runArchiverFor(platform, std::move(commandLine), job.archiveName, archiveFolder, job.set,
                        job.prepared);
}

}  // namespace ledra
