#include "output/archive.hpp"

#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>

#include "base/text.hpp"
#include "output/path_parts.hpp"
#include "output/output_common.hpp"
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

bool packArchive(ConversionState& state, Platform& platform) {
  try {
    ArchiveJob job;
    job.listFolder = platform.tempFolder();
    job.listSeparator = separatorFor(job.listFolder);
    job.fileList[0] = outputPath(state, "kanjyo.csv");
    job.fileList[1] = outputPath(state, "hojokamoku.csv");
    job.fileList[2] = outputPath(state, "zandaka.csv");
    // busho.csv goes along unless the company has exactly one department.
    if (state.workDepartments.count() != 1) {
      job.fileList[3] = outputPath(state, "busho.csv");
      job.fileCount = 4;
    } else {
      job.fileCount = 3;
    }
    return packFiles(job, state, platform);
  } catch (const std::exception& e) {
    state.lastErrorDetail = ErrorDetail{"pressdata.zip", 0, e.what()};
    return false;
  }
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
  return runArchiver(platform, commandLine, job.archiveName, baseFolder);
}

bool runArchiver(Platform& platform, std::string commandLine, const std::string& archiveName,
                 const std::string& archiveFolder) {
  const std::string archivePath = joinPath(archiveFolder, archiveName);
  if (platform.fileExists(archivePath)) {
    const MsgResult answer = platform.message(archiveName + kOverwriteQuestion, kOverwriteTitle,
                                              MsgButtons::YesNoCancel, MsgIcon::Information);
    // Yes keeps the command's "-r": the archiver replaces the old archive only once the new
    // one is complete, so a failed run does not cost the user the archive they had.
    if (answer == MsgResult::No) {
      commandLine.replace(0, 2, "-u");
    } else if (answer != MsgResult::Yes) {
      platform.message(kCancelled, kFailedTitle, MsgButtons::Ok, MsgIcon::Critical);
      return false;
    }
  }

  const int result = platform.runArchiver(commandLine);
  if (result < INT16_MIN || result > INT16_MAX) {
    throw StepError("archiver result " + std::to_string(result) + " out of range");
  }
  if (result != 0) {
    platform.message(kFailedPrefix + hex16(static_cast<int16_t>(result)), kFailedTitle,
                     MsgButtons::Ok, MsgIcon::Critical);
    return false;
  }
  return true;
}

}  // namespace ledra
