#include "wizard/file_settings_presenter.hpp"

#include <exception>
#include <string_view>

#include "base/numbers.hpp"
#include "import/source_files.hpp"
#include "import/source_recognition.hpp"
#include "platform/file_io.hpp"
#include "platform/platform.hpp"
#include "state/conversion_state.hpp"
#include "state/step_result.hpp"
#include "wizard/journal_period.hpp"

namespace ledra {

namespace {

constexpr const char* kAutoDefineQuestion =
    "勘定科目のあるフォルダを基準に他のファイルも定義しますか？";
constexpr const char* kBadPeriod = "指定日付が異常です。";
constexpr const char* kSourceTitle = "注意";
constexpr const char* kHandlerFailed = "処理中にエラーが発生しました。";

// A box's numeric value; text that is no number counts as 0.
int32_t numericValue(const std::string& text) {
  return toInt32Rounded(leadingNumber(text)).value_or(0);
}

// The folder a file is in, without its final separator.
std::string folderOf(const std::string& path) {
  std::string folder = folderWithSeparator(path);
  if (folder.size() > 1) folder.pop_back();
  return folder;
}

}  // namespace

FileSettingsPresenter::FileSettingsPresenter(ConversionState& state, Platform& platform,
                                             std::function<void()> updateNextButton)
    : state_(state), platform_(platform), updateNextButton_(std::move(updateNextButton)) {
  // The boxes' design values, until start-up sets the fiscal year.
  view_.period = {"2007", "1", "1", "2007", "12", "31"};
}

void FileSettingsPresenter::refresh() {
  view_.fileNames = state_.sourceFiles;
  view_.folderName = state_.outputFolder;
  view_.masterFile = state_.ledraAccountFile;
  if (state_.journalPeriod[0] != 0) {
    for (size_t i = 0; i < view_.period.size(); ++i)
      view_.period[i] = std::to_string(state_.journalPeriod[i]);
  }
}

void FileSettingsPresenter::showPackageFrames() {
  const PackageProfile& profile = packageProfileOrFirst(state_.sourcePackage);
  view_.yayoiInputVisible = profile.reader == SourceReader::YayoiReports;
  view_.blueInputVisible = profile.reader == SourceReader::BlueReturnData;
  view_.taxOptionsVisible = profile.hasTaxOptions;
}

void FileSettingsPresenter::setFile(SourceFile file, const std::string& path) {
  state_.sourceFiles[file] = path;
  view_.fileNames[file] = path;
}

void FileSettingsPresenter::setFolder(const std::string& path) {
  state_.outputFolder = path;
  view_.folderName = path;
}

void FileSettingsPresenter::setFileName(SourceFile file, const std::string& text) {
  setFile(file, text);
}

void FileSettingsPresenter::setFolderName(const std::string& text) { setFolder(text); }

void FileSettingsPresenter::clickSelectFile(SourceFile file) {
  try {
    selectFile(file);
  } catch (const std::exception& e) {
    platform_.message(std::string(kHandlerFailed) + "\r\n" + exceptionReason(e), "エラー");
  }
  updateNextButton_();
}

void FileSettingsPresenter::selectFile(SourceFile file) {
  FileDialogRequest request;
  request.title = "ファイルを選択";
  request.filter = "全てのファイル(*.*)|*.*";
  request.options.fileMustExist = true;
  request.options.pathMustExist = true;
  request.options.hideReadOnly = true;
  const std::string remembered = platform_.rememberedFolder(RememberedFolder::Source);
  if (!remembered.empty() && platform_.folderExists(remembered)) request.initialFolder = remembered;
  const std::optional<std::string> chosen = platform_.openFileDialog(request);
  // A file that cannot be opened keeps the earlier path, without a message.
  if (!chosen || chosen->empty() || !canOpenForReading(*chosen)) return;
  setFile(file, *chosen);
  platform_.rememberFolder(RememberedFolder::Source, folderOf(*chosen));
  if (file != SourceFile::AccountList ||
      platform_.message(kAutoDefineQuestion, "自動定義", MsgButtons::YesNo, MsgIcon::Information,
                        2) != MsgResult::Yes)
    return;
  const std::string folder = folderWithSeparator(*chosen);
  // The other rows under the names the package gives its files.
  for (const SourceSlot& row : packageProfileOrFirst(state_.sourcePackage).rows)
    if (row.file != file) setFile(row.file, folder + std::string(row.fileName));
  std::string output = folder;
  if (!output.empty()) output.pop_back();
  setFolder(output);
}

void FileSettingsPresenter::clickSelectFolder() {
  std::string start = platform_.rememberedFolder(RememberedFolder::Output);
  if (start.empty() || !platform_.folderExists(start)) start = state_.outputFolder;
  const std::string chosen = platform_.browseFolderFrom("フォルダーを選択してください", start);
  if (chosen.empty()) return;
  setFolder(chosen);
  platform_.rememberFolder(RememberedFolder::Output, chosen);
  // Most often the reports' own folder; one that holds none is just the output folder.
  fillFromFolder(chosen, /*quietWhenNone=*/true);
  updateNextButton_();
}

void FileSettingsPresenter::dropPaths(const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  if (packageProfileOrFirst(state_.sourcePackage).reader == SourceReader::BlueReturnData) {
    // A year folder, a folder above it, or a file inside it.
    const std::string& first = paths.front();
    fillBlueFromFolder(platform_.folderExists(first) ? first : folderOf(first), false);
  } else if (paths.size() == 1 && platform_.folderExists(paths.front())) {
    // As if chosen with the folder row's 参照: the reports' folder is the output folder too.
    fillFromFolder(paths.front(), false);
  } else {
    fillFromFiles(paths);
  }
  updateNextButton_();
}

void FileSettingsPresenter::fillFromFolder(const std::string& folder, bool quietWhenNone) {
  const PackageProfile& profile = packageProfileOrFirst(state_.sourcePackage);
  if (profile.reader == SourceReader::BlueReturnData) {
    fillBlueFromFolder(folder, quietWhenNone);
    return;
  }
  const YayoiSourceSet set = recogniseYayoiFolder(folder, allYayoiRows());
  bool found = false;
  for (const std::string& file : set.files) found = found || !file.empty();
  for (const SourceProblem& p : set.problems)
    found = found || p.kind == SourceProblem::Kind::Duplicate;
  if (!found) {
    // Nothing of 弥生会計 here: the rows keep what they had.
    if (!quietWhenNone) platform_.message(sourceSetMessage(set, folder), kSourceTitle);
    return;
  }
  // The rows come from this folder alone: a row it cannot fill is left empty rather than
  // pointing at another folder's report, so that nothing is imported until it is settled.
  for (const SourceSlot& row : profile.rows) setFile(row.file, set.files[row.file]);
  setFolder(folder);
  platform_.rememberFolder(RememberedFolder::Source, folder);
  if (!set.ok())
    platform_.message(sourceSetMessage(set, folder), kSourceTitle, MsgButtons::Ok,
                      MsgIcon::Exclamation);
}

void FileSettingsPresenter::fillFromFiles(const std::vector<std::string>& paths) {
  const YayoiSourceSet set = recogniseYayoiFiles(paths);
  for (const SourceSlot& row : packageProfileOrFirst(state_.sourcePackage).rows)
    if (!set.files[row.file].empty()) setFile(row.file, set.files[row.file]);
  // Two files for one row: neither is taken, and the row no longer names an older file.
  for (const SourceProblem& p : set.problems)
    if (p.kind == SourceProblem::Kind::Duplicate && p.role) setFile(*p.role, "");
  platform_.rememberFolder(RememberedFolder::Source, folderOf(paths.front()));
  if (!set.ok())
    platform_.message(sourceSetMessage(set, ""), kSourceTitle, MsgButtons::Ok,
                      MsgIcon::Exclamation);
}

void FileSettingsPresenter::fillBlueFromFolder(const std::string& folder, bool quietWhenNone) {
  const std::vector<std::string> years = findBlueYearFolders(folder);
  if (years.size() == 1) {
    state_.blueReturnDataFolder = years.front();
    const PackageProfile& profile = packageProfileOrFirst(state_.sourcePackage);
    setDefaultSourceFiles(state_, profile, years.front());
    for (const SourceSlot& row : profile.rows)
      view_.fileNames[row.file] = state_.sourceFiles[row.file];
    platform_.rememberFolder(RememberedFolder::Source, years.front());
    return;
  }
  if (quietWhenNone && years.empty()) return;
  std::string text;
  if (years.empty()) {
    text = folder + "にブルーリターンＡのデータがありません。";
    for (const std::string& name : missingBlueFiles(folder)) text += "\r\n" + name + "がありません";
  } else {
    text = folder + "に会計年度のデータが複数あります。一つを指定してください。";
    for (const std::string& y : years) text += "\r\n" + y;
  }
  platform_.message(text, kSourceTitle, MsgButtons::Ok, MsgIcon::Exclamation);
}

void FileSettingsPresenter::setPeriodText(PeriodField field, const std::string& text) {
  view_.period[static_cast<size_t>(field)] = text;
}

void FileSettingsPresenter::showStoredPeriod() {
  for (size_t i = 0; i < 3; ++i) view_.period[i] = std::to_string(state_.journalPeriod[i]);
}

bool FileSettingsPresenter::applyPeriod() {
  const Ymd start{numericValue(view_.period[0]), numericValue(view_.period[1]),
                  numericValue(view_.period[2])};
  const std::optional<Ymd> end = start.year == 0 || start.month == 0 || start.day == 0
                                     ? std::nullopt
                                     : journalPeriodEnd(start);
  if (!end) {
    platform_.message(kBadPeriod, "エラー");
    showStoredPeriod();
    return false;
  }
  view_.period[3] = std::to_string(end->year);
  view_.period[4] = std::to_string(end->month);
  view_.period[5] = std::to_string(end->day);
  commitPeriod();
  return true;
}

void FileSettingsPresenter::commitPeriod() {
  for (size_t i = 0; i < view_.period.size(); ++i)
    state_.journalPeriod[i] = numericValue(view_.period[i]);
}

}  // namespace ledra
