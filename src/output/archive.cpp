#include "output/archive.hpp"

#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <new>
#include <utility>

#include "base/text.hpp"
#include "output/output_common.hpp"
#include "output/output_set.hpp"
#include "output/path_parts.hpp"
#include "platform/archiver.hpp"
#include "platform/file_io.hpp"
#include "platform/platform.hpp"
#include "platform/system_reason.hpp"
#include "state/conversion_state.hpp"
#include "state/table.hpp"
#include "state/work_state_format.hpp"

namespace ledra {

namespace {

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

}  // namespace

std::vector<std::string> archiveMemberNames(const ConversionState& state) {
  std::vector<std::string> names = {"kanjyo.csv", "hojokamoku.csv", "zandaka.csv"};
  // busho.csv goes along unless the company has exactly one department.
  if (state.workDepartments.count() != 1) names.emplace_back("busho.csv");
  return names;
}

std::string archiveFileName(const std::string& userCode, const std::string& stamp) {
  std::string name = userCode + "_output_" + stamp + ".zip";
  // The code comes from the master or a work-state file: it never takes the archive elsewhere.
  return userCodeProblem(userCode).empty() && isPlainFileName(name) ? name : std::string();
}

namespace {

// The failure's file as the user knows it: a staged file by its place in the output folder.
std::string shownPath(const std::string& path, const ArchiveJob& job) {
  if (!job.set) return path;
  const std::string staging = job.set->stagingFolder() + "/";
  if (!path.starts_with(staging)) return path;
  return joinPath(job.set->outputFolder(), std::string_view(path).substr(staging.size()));
}

ErrorDetail archiveFailure(const ArchiveResult& result, const ArchiveJob& job,
                           const std::string& archivePath) {
  const std::string path = shownPath(result.path.empty() ? archivePath : result.path, job);
  const std::string why = result.systemError ? systemReason(result.systemError) : std::string();
  auto within = [&](const char* what) {
    return why.empty() ? std::string(what) : std::string(what) + "（" + why + "）";
  };
  switch (result.code) {
    case zip_result::kOpenFailed:
      return {path, 0, within("ファイルを読み込めません")};
    case zip_result::kBadArchive:
      return {path, 0, "ZIPファイルとして読めないため追加できません"};
    default:
      return {path, 0, within("圧縮ファイルを書き込めません")};
  }
}

// Runs the archiver, first asking whether an existing archive of the name in the output folder
// is to be replaced (Yes), added to (No) or left alone (Cancel). Shows the archiver's error code
// when it fails; a result beyond 16 bits has no message of its own and throws StepError.
bool runArchiver(Platform& platform, ArchiveRequest request, const ArchiveJob& job,
                 ErrorDetail& failure) {
  const std::string& archiveName = job.archiveName;
  const std::string archivePath =
      joinPath(job.set ? job.set->outputFolder() : request.baseFolder, archiveName);
  if (platform.fileExists(archivePath)) {
    const MsgResult answer = platform.message(archiveName + kOverwriteQuestion, kOverwriteTitle,
                                              MsgButtons::YesNoCancel, MsgIcon::Information);
    // Yes keeps replacing: the archiver replaces the old archive only once the new one is
    // complete, so a failed run does not cost the user the archive they had.
    if (answer == MsgResult::No) {
      request.mode = ArchiveMode::Update;
      if (job.set) {
        // Added to beside the staged members; the original stays until the set is moved.
        std::string error;
        const auto bytes = readFileBytes(archivePath);
        if (!bytes || !writeFileAtomic(request.archivePath, *bytes, &error)) {
          failure =
              bytes ? ErrorDetail{archivePath, 0, writeFailureReason(request.archivePath, error)}
                    : ErrorDetail{archivePath, 0, unreadableFileReason(archivePath)};
          return false;
        }
      }
    } else if (answer != MsgResult::Yes) {
      platform.message(kCancelled, kFailedTitle, MsgButtons::Ok, MsgIcon::Critical);
      return false;
    }
  }

  const ArchiveResult result = platform.runArchive(request, job.prepared);
  if (result.code < INT16_MIN || result.code > INT16_MAX) {
    throw StepError("archiver result " + std::to_string(result.code) + " out of range");
  }
  if (result.code != 0) {
    // The code is the archiver's; the line after it says what went wrong and where.
    std::string text = kFailedPrefix + hex16(static_cast<int16_t>(result.code));
    if (!result.path.empty() || result.systemError) {
      failure = archiveFailure(result, job, request.archivePath);
      text += "\r\n" + failure.describe();
    }
    platform.message(text, kFailedTitle, MsgButtons::Ok, MsgIcon::Critical);
    return false;
  }
  if (job.set) job.set->adopt(archiveName);
  return true;
}

// Names the archive and hands the archiver the members, which lie in the folder of firstFile.
bool compressFiles(ArchiveJob& job, const ConversionState& state, Platform& platform,
                   ErrorDetail& failure) {
  std::string base, name;
  const std::string baseFolder = splitPath(stripExtension(job.fileList[0]), base, name);
  job.archiveName = archiveFileName(state.ledraUserCode, timeStamp(platform.now()));
  if (job.archiveName.empty()) {
    failure = ErrorDetail{"", 0, userCodeProblem(state.ledraUserCode)};
    return false;
  }
  ArchiveRequest request;
  request.archivePath = joinPath(baseFolder, job.archiveName);
  request.baseFolder = baseFolder;
  for (int32_t slot = 0; slot < job.fileCount; ++slot) {
    std::string memberBase, member;
    splitPath(job.fileList.at(static_cast<size_t>(slot)), memberBase, member);
    request.members.push_back(member);
  }
  request.mode = ArchiveMode::Replace;
  request.level = kCompressionLevel;
  return runArchiver(platform, std::move(request), job, failure);
}

StepResult packArchiveInto(const ConversionState& state, Platform& platform,
                           const std::string& outputFolder, OutputSet* set,
                           PreparedMembers* prepared) {
  ErrorDetail failure;
  try {
    ArchiveJob job;
    job.set = set;
    job.prepared = prepared;
    if (set) {
      std::string error;
      if (set->stagingFolder(&error).empty()) {
        const std::string path = outputPath(outputFolder, "pressdata.zip");
        return StepResult::failure(path, 0, writeFailureReason(path, error));
      }
    }
    const std::vector<std::string> names = archiveMemberNames(state);
    for (size_t i = 0; i < names.size(); ++i)
      job.fileList[i] =
          job.set ? job.set->stagedPath(names[i]) : outputPath(outputFolder, names[i]);
    job.fileCount = static_cast<int32_t>(names.size());
    if (compressFiles(job, state, platform, failure)) return StepResult::success();
  } catch (const std::exception& e) {
    failure = ErrorDetail{"pressdata.zip", 0, exceptionReason(e)};
  }
  return StepResult::failure(std::move(failure));
}

}  // namespace

StepResult packArchive(const ConversionState& state, Platform& platform,
                       const std::string& outputFolder) {
  return packArchiveInto(state, platform, outputFolder, nullptr, nullptr);
}

StepResult packArchive(const ConversionState& state, Platform& platform, OutputSet& set,
                       PreparedMembers* prepared) {
  return packArchiveInto(state, platform, set.outputFolder(), &set, prepared);
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

}  // namespace ledra
