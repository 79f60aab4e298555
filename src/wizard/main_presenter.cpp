#include "wizard/main_presenter.hpp"

#include <exception>

#include "base/numbers.hpp"
#include "base/text.hpp"
#include "import/account_master.hpp"
#include "import/source_files.hpp"
#include "platform/file_io.hpp"
#include "platform/platform.hpp"
#include "state/conversion_state.hpp"
#include "state/step_result.hpp"
#include "state/work_state.hpp"
#include "wizard/step_flow.hpp"

namespace ledra {

namespace {

constexpr const char* kMasterPrompt = "Ledraの勘定科目データを指定して下さい。";
constexpr const char* kMasterFailed = "Ledraの勘定科目データ取込に失敗しました。";
constexpr const char* kWelcomeText =
    "　この度は本ソフトをダウンロードいただきありがとうございます。\r\n"
    "　本ソフトは、現在弥生会計をご利用のお客様のデータを、\r\n"
    "　Ledraにて使用するデータにコンバートを行うソフトです。\r\n";

// Where the master dialog starts and the package's defaults lie.
std::string defaultsFolder(const ConversionState& state, const PackageProfile& profile) {
  return profile.exchangeFolder.empty() ? state.baseFolder
                                        : joinPath(state.baseFolder, profile.exchangeFolder);
}

std::string defaultBlueReturnFolder(Platform& platform) {
  return joinPath(platform.homeFolder(), ".wine/drive_c/Program Files/ブルーリターンＡ2007");
}

// Loads the chosen master, after `prepare` once the file opens; a failure names the cause,
// whatever it was.
template <class Prepare>
StepResult loadMasterFile(ConversionState& state, Platform& platform, const std::string& path,
                          Prepare prepare) {
  try {
    if (!canOpenForReading(path)) return StepResult::failure(path, 0, unreadableFileReason(path));
    prepare();
    return loadStandardAccountMaster(state, path, &platform);
  } catch (const std::exception& e) {
    return StepResult::failure(path, 0, e.what());
  }
}

// Everything the user decides on the mapping screen, as one text that differs whenever one
// decision does: codes and names given to accounts (their rows find them there), invalidations,
// sub-account codes, and the files and folder the run reads and writes.
// What a conversion itself stores back (a balance row's default sub-account code, the journal's
// line count) is left out: converting is no change to save.
std::string mappingFingerprint(const ConversionState& s) {
  std::string out;
  auto text = [&out](const std::string& t) {
    out += std::to_string(t.size());
    out += ':';
    out += t;
  };
  auto flag = [&out](bool b) { out += b ? '1' : '0'; };
  for (const WorkAccount& a : s.workAccounts) {
    text(a.ledraCode);
    text(a.ledraName);
    flag(a.valid);
    flag(a.matched);
  }
  out += '|';
  for (const WorkSubAccount& sub : s.workSubAccounts) text(sub.newSubCode);
  out += '|';
  for (const std::string& f : s.sourceFiles) text(f);
  text(s.outputFolder);
  return out;
}

}  // namespace

WindowLayout welcomeLayout() { return {9345, 5100, 7815, 8280, 8040, 4200, false, 0, 0}; }
WindowLayout fileSettingsLayout() { return {8505, 5700, 7215, 7440, 7200, 4800, false, 0, 0}; }
WindowLayout mappingLayout() { return {11385, 7140, 9375, 10440, 10200, 6240, true, 8400, 6240}; }

MainPresenter::MainPresenter(ConversionState& state, Platform& platform)
    : state_(state),
      platform_(platform),
      mapping_(state, platform, [this] { return updateNextButton(); }),
      fileSettings_(state, platform, [this] { updateNextButton(); }) {
  view_.caption = kProgramCaption;
  view_.welcomeText = kWelcomeText;
}

bool MainPresenter::load(StartMode mode) {
  view_.forceCsvVisible = false;
  state_.screenState = Screen::Initial;
  if (mode == StartMode::Restored) {
    state_.screenState = Screen::Mapping;
    startAborted_ = false;
    view_.firstStepVisible = false;
    view_.secondStepVisible = false;
    view_.thirdStepVisible = true;
    view_.nextEnabled = false;
    view_.layout = mappingLayout();
    updateNextButton();
    mapping_.show();
    view_.nextCaption = "変換";
    view_.companyLabel = state_.ledraUserName + "　データコンバート";
    view_.packageLabel = packageName(state_.sourcePackage);
    // New places given for moved files are changes to save, so the baseline comes first.
    markSaved();
    relocateMissingInputs(state_, platform_);
    view_.outputFolderVisible = true;
    view_.outputFolder = state_.outputFolder;
    fileSettings_.refresh();
    return true;
  }
  platform_.message(std::string(kProgramCaption) + "を起動します。\r\n\r\n" + kMasterPrompt,
                    "ようこそ");
  const PackageProfile* profile = packageProfile(state_.sourcePackage);
  if (!profile) {
    startAborted_ = true;
    return false;
  }
  return profile->asksInstallation ? loadBlueReturn(*profile) : loadYayoi(*profile);
}

std::optional<std::string> MainPresenter::askMasterFile(const std::string& initialFolder) {
  FileDialogRequest req;
  req.title = kMasterPrompt;
  req.filter = "CSVファイル(*.csv)|*.csv";
  const std::string remembered = platform_.rememberedFolder(RememberedFolder::Master);
  req.initialFolder =
      !remembered.empty() && platform_.folderExists(remembered) ? remembered : initialFolder;
  req.options.fileMustExist = req.options.pathMustExist = req.options.hideReadOnly = true;
  auto path = platform_.openFileDialog(req);
  if (!path || path->empty()) return std::nullopt;
  std::string folder = folderWithSeparator(*path);
  if (folder.size() > 1) folder.pop_back();
  platform_.rememberFolder(RememberedFolder::Master, folder);
  return path;
}

void MainPresenter::showWelcomeLayout() {
  view_.firstStepVisible = true;
  view_.secondStepVisible = false;
  view_.thirdStepVisible = false;
  view_.nextEnabled = true;
  view_.layout = welcomeLayout();
  state_.workAccounts.clear();
  state_.workSubAccounts.clear();
}

bool MainPresenter::loadYayoi(const PackageProfile& profile) {
  while (true) {
    auto path = askMasterFile(defaultsFolder(state_, profile));
    if (!path) {
      startAborted_ = true;
      return false;
    }
    const StepResult loaded = loadMasterFile(state_, platform_, *path, [&] {
      state_.ledraAccountFile = *path;
      state_.screenState = Screen::Starting;
      showWelcomeLayout();
      setDefaultSourceFiles(state_, profile, defaultsFolder(state_, profile));
      state_.outputFolder = defaultsFolder(state_, profile);
    });
    if (!loaded) {
      platform_.message(failureWithDetail(kMasterFailed, loaded.error()), "エラー");
      continue;
    }
    state_.screenState = Screen::Welcome;
    view_.companyLabel = state_.ledraUserName + "　データコンバート";
    view_.packageLabel = packageName(state_.sourcePackage);
    startAborted_ = false;
    fileSettings_.refresh();
    return true;
  }
}

bool MainPresenter::loadBlueReturn(const PackageProfile& profile) {
  // A failed master load asks again, as for 弥生会計, rather than going on without a chart.
  while (true) {
    auto path = askMasterFile(defaultsFolder(state_, profile));
    if (!path) {
      startAborted_ = true;
      return false;
    }
    state_.ledraAccountFile = *path;
    const StepResult loaded = loadMasterFile(state_, platform_, *path, [] {});
    if (loaded) break;
    platform_.message(failureWithDetail(kMasterFailed, loaded.error()), "エラー");
  }
  int32_t year = 0;
  while (year == 0) {
    state_.blueReturnFolder = defaultBlueReturnFolder(platform_);
    if (!platform_.folderExists(state_.blueReturnFolder)) {
      platform_.message(
          state_.blueReturnFolder +
          "が存在しません。\r\nブルーリターンのインストールされているフォルダを指定して下さい。");
      std::string chosen = platform_.browseFolder("フォルダーを選択してください");
      if (chosen.empty()) {
        startAborted_ = true;
        return false;
      }
      state_.blueReturnFolder = chosen;
    }
    state_.outputFolder = state_.blueReturnFolder;
    while (true) {
      auto reply = platform_.inputBox({"会計年度", "会計年度を入力して下さい。", "2007"});
      const std::string text = reply.value_or("");
      year = toInt32Rounded(leadingNumber(text)).value_or(0);
      if (year == 0) break;  // back to the installation folder
      state_.blueReturnDataFolder =
          joinPath(state_.blueReturnFolder, "Data/Y" + std::to_string(year));
      if (platform_.folderExists(state_.blueReturnDataFolder)) break;
      platform_.message("\"" + text + "\"会計年度のデータが存在しません。");
    }
  }
  state_.fiscalYear = year;
  state_.journalPeriod = {year, 1, 1, year, 12, 31};
  state_.screenState = Screen::Starting;
  showWelcomeLayout();
  setDefaultSourceFiles(state_, profile, state_.blueReturnDataFolder);
  state_.outputFolder = defaultsFolder(state_, profile);
  state_.screenState = Screen::Welcome;
  view_.welcomeText = replaceAll(view_.welcomeText, "弥生会計", std::string(profile.name));
  view_.companyLabel = state_.ledraUserName + "　データコンバート";
  view_.packageLabel = packageName(state_.sourcePackage);
  startAborted_ = false;
  fileSettings_.refresh();
  return true;
}

void MainPresenter::showMappingScreen() {
  state_.screenState = Screen::Mapping;
  view_.secondStepVisible = false;
  view_.thirdStepVisible = true;
  view_.nextEnabled = false;
  view_.layout = mappingLayout();
  updateNextButton();
  view_.packageLabel = packageName(state_.sourcePackage);
  mapping_.show();
  view_.nextCaption = "変換";
  view_.outputFolderVisible = true;
  view_.outputFolder = state_.outputFolder;
  markSaved();
}

void MainPresenter::markSaved() { savedMapping_ = mappingFingerprint(state_); }

bool MainPresenter::hasUnsavedWork() const {
  return state_.screenState == Screen::Mapping && mappingFingerprint(state_) != savedMapping_;
}

void MainPresenter::guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    platform_.setBusy(false);
    platform_.progressHide();
    platform_.message(std::string(kMsgHandlerFailed) + "\r\n" + e.what(), "エラー");
  }
}

void MainPresenter::clickNext() {
  guarded([this] {
    const PackageProfile* profile = packageProfile(state_.sourcePackage);
    if (state_.screenState == Screen::Welcome) {
      view_.firstStepVisible = false;
      view_.secondStepVisible = true;
      fileSettings_.showPackageFrames();
      state_.screenState = Screen::FileSettings;
      view_.nextEnabled = false;
      updateNextButton();
      view_.layout = fileSettingsLayout();
      view_.nextCaption = "読込";
      if (profile && !profile->hasTaxOptions) {
        state_.consumptionTaxOn = false;
        state_.simplifiedTaxation = false;
      }
    } else if (state_.screenState == Screen::FileSettings) {
      // The period boxes are read as they stand, whether or not the period rule ran.
      if (profile && profile->hasJournalPeriod) fileSettings_.commitPeriod();
      if (runImportStep(state_, platform_)) showMappingScreen();
    } else if (state_.screenState == Screen::Mapping) {
      if (runOutputStep(state_, platform_, true, /*atWindow=*/true) == StepOutcome::Done)
        view_.nextCaption = "再変換";
      view_.outputFolder = state_.outputFolder;
    }
  });
}

void MainPresenter::clickSave() {
  guarded([this] {
    if (saveWorkState(state_, platform_) == SaveResult::Saved) markSaved();
  });
}

void MainPresenter::clickOutputFolder() {
  guarded([this] {
    const std::string chosen = platform_.browseFolder(kOutputFolderPrompt);
    if (chosen.empty()) return;
    state_.outputFolder = chosen;
    view_.outputFolder = chosen;
    fileSettings_.refresh();
  });
}

bool MainPresenter::requestClose() {
  const Screen s = state_.screenState;
  const std::string question = std::string(kProgramCaption) + "を終了します。\r\n宜しいですか？";
  if (hasUnsavedWork()) {
    const MsgResult answer = platform_.message(
        question + "\r\n\r\n対応付けの変更が保存されていません。終了する前に保存しますか？", "注意",
        MsgButtons::SaveDiscardCancel, MsgIcon::Exclamation, 3);
    if (answer == MsgResult::Cancel) return false;
    if (answer == MsgResult::Yes) {
      SaveResult saved = SaveResult::Failed;
      guarded([&] { saved = saveWorkState(state_, platform_); });
      if (saved != SaveResult::Saved) return false;
      markSaved();
    }
  } else if (s == Screen::FileSettings || s == Screen::Welcome || s == Screen::Mapping) {
    if (platform_.message(question, "注意", MsgButtons::OkCancel) != MsgResult::Ok) return false;
  }
  mapping_.closePicker();  // an open picker closes with the form
  return true;
}

bool MainPresenter::updateNextButton() {
  view_.nextEnabled = false;
  const bool ready = evaluateNextButton(state_);
  view_.nextEnabled = ready;
  return ready;
}

}  // namespace ledra
