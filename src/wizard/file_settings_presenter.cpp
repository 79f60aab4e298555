#include "wizard/file_settings_presenter.hpp"

#include <exception>
#include <string_view>

#include "base/numbers.hpp"
#include "import/source_files.hpp"
#include "platform/file_io.hpp"
#include "platform/platform.hpp"
#include "state/conversion_state.hpp"
#include "wizard/journal_period.hpp"

namespace ledra {

namespace {

constexpr const char* kAutoDefineQuestion =
    "勘定科目のあるフォルダを基準に他のファイルも定義しますか？";
constexpr const char* kBadPeriod = "指定日付が異常です。";

// A box's numeric value; text that is no number counts as 0.
int32_t numericValue(const std::string& text) {
  return toInt32Rounded(leadingNumber(text)).value_or(0);
}

}  // namespace

FileSettingsPresenter::FileSettingsPresenter(ConversionState& state, Platform& platform,
                                             std::function<void()> updateNextButton)
    : state_(state), platform_(platform), updateNextButton_(std::move(updateNextButton)) {
  // The boxes' design values, until start-up sets the fiscal year.
  view_.period = {"2007", "1", "1", "2007", "12", "31"};
}

void FileSettingsPresenter::refresh() {
  for (size_t i = 0; i < view_.fileNames.size(); ++i) view_.fileNames[i] = state_.sourceFiles[i];
  view_.folderName = state_.outputFolder;
  view_.masterFile = state_.ledraAccountFile;
  if (state_.journalPeriod[0] != 0) {
    for (size_t i = 0; i < view_.period.size(); ++i)
      view_.period[i] = std::to_string(state_.journalPeriod[i]);
  }
}

void FileSettingsPresenter::showPackageFrames() {
  const bool blue = state_.sourcePackage == SourcePackage::BlueReturn;
  view_.yayoiInputVisible = !blue;
  view_.blueInputVisible = blue;
  view_.taxOptionsVisible = !blue;
}

void FileSettingsPresenter::setFile(size_t index, const std::string& path) {
  state_.sourceFiles[index] = path;
  view_.fileNames[index] = path;
}

void FileSettingsPresenter::setFolder(const std::string& path) {
  state_.outputFolder = path;
  view_.folderName = path;
}

void FileSettingsPresenter::setFileName(int index, const std::string& text) {
  if (index < 0 || index >= kFileRowCount) return;
  setFile(static_cast<size_t>(index), text);
}

void FileSettingsPresenter::setFolderName(const std::string& text) { setFolder(text); }

void FileSettingsPresenter::clickSelectFile(int index) {
  if (index < 0 || index >= kFileRowCount) return;
  const auto i = static_cast<size_t>(index);
  try {
    FileDialogRequest request;
    request.title = "ファイルを選択";
    request.filter = "全てのファイル(*.*)|*.*";
    request.options.fileMustExist = true;
    request.options.pathMustExist = true;
    request.options.hideReadOnly = true;
    const std::optional<std::string> chosen = platform_.openFileDialog(request);
    // A file that cannot be opened keeps the earlier path, without a message.
    if (chosen && !chosen->empty() && canOpenForReading(*chosen)) {
      setFile(i, *chosen);
      if (i == 0 && platform_.message(kAutoDefineQuestion, "自動定義", MsgButtons::YesNo,
                                      MsgIcon::Information, 2) == MsgResult::Yes) {
        const std::string folder = folderWithSeparator(*chosen);
        // The other reports and the journal under the names 弥生会計 gives them.
        for (size_t k = 1; k <= static_cast<size_t>(SourceFile::Journal); ++k)
          setFile(k, folder + std::string(yayoiFileName(static_cast<SourceFile>(k))));
        std::string output = folder;
        if (!output.empty()) output.pop_back();
        setFolder(output);
      }
    }
  } catch (const std::exception&) {
    // Whatever went wrong, the readiness is looked at again and nothing is said.
  }
  updateNextButton_();
}

void FileSettingsPresenter::clickSelectFolder() {
  const std::string chosen = platform_.browseFolder("フォルダーを選択してください");
  if (chosen.empty()) return;
  setFolder(chosen);
  updateNextButton_();
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
