#include "state/work_state.hpp"

#include <exception>
#include <iterator>
#include <utility>
#include <vector>

#include "base/text.hpp"
#include "platform/file_io.hpp"
#include "platform/platform.hpp"
#include "platform/text_file.hpp"
#include "state/conversion_state.hpp"
#include "state/derived_lists.hpp"
#include "state/work_state_format.hpp"

namespace ledra {

namespace {

constexpr const char* kDialogFilter = "datファイル|*.dat|すべてのファイル|*.*";
constexpr const char* kSaveDialogTitle = "ログファイルを作成";
constexpr const char* kOpenDialogTitle = "保存ファイルを開く";
constexpr const char* kSaveFailedText = "作業状態の保存に失敗しました。";
constexpr const char* kSaveFailedTitle = "保存失敗";
constexpr const char* kSavedTitle = "保存完了";
constexpr const char* kBadFileText = "保存データの形式が正しくありません。";
constexpr const char* kErrorTitle = "エラー";
constexpr const char* kUnreadableText = "保存ファイルを読み込めません。";
constexpr const char* kMissingSuffix = "が存在しません。";

void emptyAllTables(ConversionState& s) {
  s.standardAccounts.clear();
  s.standardAccountCandidates.clear();
  s.workAccounts.clear();
  s.workAccountBalances.clear();
  s.workSubAccounts.clear();
  s.workSubAccountBalances.clear();
  s.workDepartments.clear();
  s.journalRows.clear();
  s.profitAndLossView.clear();
  s.balanceSheetView.clear();
  s.allView.clear();
}

// Only what the file carries replaces the state's; the other settings stay.
void adopt(ConversionState& s, ConversionData&& p) {
  s.sourcePackage = p.sourcePackage;
  s.screenState = p.screenState;
  s.ledraUserCode = std::move(p.ledraUserCode);
  s.ledraUserName = std::move(p.ledraUserName);
  s.departmentTotalName = std::move(p.departmentTotalName);
  s.baseFolder = std::move(p.baseFolder);
  s.sourceFiles = std::move(p.sourceFiles);
  s.outputFolder = std::move(p.outputFolder);
  s.ledraAccountFile = std::move(p.ledraAccountFile);
  s.standardAccounts = std::move(p.standardAccounts);
  s.workAccounts = std::move(p.workAccounts);
  s.workAccountBalances = std::move(p.workAccountBalances);
  s.workSubAccounts = std::move(p.workSubAccounts);
  s.workSubAccountBalances = std::move(p.workSubAccountBalances);
  s.workDepartments = std::move(p.workDepartments);
  // Only the count is kept; the journal is read again before it is written.
  s.journalRows.resize(p.journalRows.count());
  s.profitAndLossView = std::move(p.profitAndLossView);
  s.balanceSheetView = std::move(p.balanceSheetView);
  s.allView = std::move(p.allView);
  s.consumptionTaxOn = p.consumptionTaxOn;
  s.simplifiedTaxation = p.simplifiedTaxation;
}

void showSaveFailed(Platform& platform, const std::string& detail) {
  std::string text = kSaveFailedText;
  if (!detail.empty()) text += std::string(kCrLf) + detail;
  platform.message(text, kSaveFailedTitle);
}

bool refuse(ConversionState& state, Platform& platform, const std::string& detail) {
  emptyAllTables(state);
  platform.message(std::string(kBadFileText) + std::string(kCrLf) + detail, kErrorTitle);
  return false;
}

void rememberStateFolder(Platform& platform, const std::string& path) {
  std::string folder = folderWithSeparator(path);
  if (folder.size() > 1) folder.pop_back();
  platform.rememberFolder(RememberedFolder::SavedState, folder);
}

FileDialogRequest workStateDialog(const ConversionState& state, Platform& platform,
                                  const char* title, FileDialogOptions options) {
  FileDialogRequest request;
  request.title = title;
  request.filter = kDialogFilter;
  const std::string remembered = platform.rememberedFolder(RememberedFolder::SavedState);
  request.initialFolder =
      !remembered.empty() && platform.folderExists(remembered) ? remembered : state.baseFolder;
  request.fileName = "";
  request.filterIndex = 1;
  request.options = options;
  return request;
}

}  // namespace

bool checkWorkStateTarget(const ConversionState& state, Platform& platform,
                          const std::string& path) {
  if (platform.folderExists(path)) {
    showSaveFailed(platform, path + ": フォルダです（保存するファイルの名前を指定してください）");
    return false;
  }
  std::vector<std::string> inputs(std::begin(state.sourceFiles), std::end(state.sourceFiles));
  inputs.push_back(state.ledraAccountFile);
  for (const std::string& input : inputs) {
    if (!input.empty() && samePath(input, path)) {
      showSaveFailed(platform, path + ": 読み込むファイルです（別の名前で保存してください）");
      return false;
    }
  }
  return true;
}

bool lockWorkStateFile(Platform& platform, const std::string& path, FileLock& lock) {
  if (lock.acquire(workStateLockFile(path)) != FileLock::Outcome::Busy) return true;
  platform.message("作業状態ファイルは別の処理で使用中です。" + std::string(kCrLf) + path,
                   kErrorTitle);
  return false;
}

bool saveWorkStateToFile(ConversionState& state, Platform& platform, const std::string& path) {
  if (!checkWorkStateTarget(state, platform, path)) return false;
  FileLock lock;
  if (!lockWorkStateFile(platform, path, lock)) return false;
  std::string problem;
  const std::optional<std::string> bytes = workStateBytes(state, &problem);
  if (!bytes) {
    showSaveFailed(platform, problem);
    return false;
  }
  std::string error;
  if (!writeFileAtomic(path, *bytes, &error)) {
    showSaveFailed(platform, error);
    return false;
  }
  state.workStateFile = path;
  return true;
}

SaveResult saveWorkState(ConversionState& state, Platform& platform) {
  FileDialogOptions options;
  options.overwritePrompt = options.pathMustExist = options.hideReadOnly = true;
  std::optional<std::string> chosen;
  try {
    chosen = platform.saveFileDialog(workStateDialog(state, platform, kSaveDialogTitle, options));
  } catch (const std::exception& e) {
    showSaveFailed(platform, e.what());
    return SaveResult::Failed;
  }
  if (!chosen || chosen->empty()) return SaveResult::Cancelled;
  // A name without an extension gets ".dat", or the restore's filter would never show it; the
  // dialog asked about the name as typed, so a file of the longer name is asked about here.
  const size_t nameStart = chosen->find_last_of('/') + 1;
  if (chosen->find('.', nameStart + 1) == std::string::npos) {
    *chosen += ".dat";
    if (platform.fileExists(*chosen) &&
        platform.message(*chosen + "は既に存在します。\r\n上書きしますか？", "注意",
                         MsgButtons::YesNo, MsgIcon::Exclamation, 2) != MsgResult::Yes)
      return SaveResult::Cancelled;
  }
  if (!saveWorkStateToFile(state, platform, *chosen)) return SaveResult::Failed;
  rememberStateFolder(platform, *chosen);
  platform.message("作業状態を" + std::string(kCrLf) + state.workStateFile + std::string(kCrLf) +
                       "に保存しました。",
                   kSavedTitle);
  return SaveResult::Saved;
}

bool restoreWorkStateFromFile(ConversionState& state, Platform& platform, const std::string& path) {
  // A folder, or a file that cannot be opened, is no malformed state: what is held stays.
  if (platform.folderExists(path)) {
    platform.message(std::string(kUnreadableText) + std::string(kCrLf) + path + ": " +
                         unreadableFileReason(path),
                     kErrorTitle);
    return false;
  }
  if (!platform.fileExists(path)) {
    platform.message(path + kMissingSuffix, kErrorTitle);
    return false;
  }
  const std::optional<std::string> text = readWholeTextFile(path);
  if (!text) {
    platform.message(std::string(kUnreadableText) + std::string(kCrLf) + path + ": " +
                         unreadableFileReason(path),
                     kErrorTitle);
    return false;
  }
  ConversionData parsed;
  std::string problem;
  if (!parseWorkState(*text, parsed, &problem))
    return refuse(state, platform, path + " " + problem);
  adopt(state, std::move(parsed));
  rebuildDerivedLists(state);
  return true;
}

bool restoreWorkState(ConversionState& state, Platform& platform) {
  FileDialogOptions options;
  options.noChangeDir = options.fileMustExist = options.pathMustExist = options.hideReadOnly = true;
  FileDialogRequest request = workStateDialog(state, platform, kOpenDialogTitle, options);
  request.maxFileSize = 1024;
  std::optional<std::string> chosen;
  try {
    chosen = platform.openFileDialog(request);
  } catch (const std::exception&) {
    // A dialog that fails to open counts as cancelled.
    chosen.reset();
  }
  if (!chosen || chosen->empty()) return false;
  if (!restoreWorkStateFromFile(state, platform, *chosen)) return false;
  rememberStateFolder(platform, *chosen);
  return true;
}

}  // namespace ledra
