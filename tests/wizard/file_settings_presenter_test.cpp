#include "wizard/file_settings_presenter.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

#include "state/conversion_state.hpp"
#include "support/fixtures.hpp"
#include "support/scripted_platform.hpp"
#include "wizard/main_presenter.hpp"
#include "wizard/step_flow.hpp"

namespace ledra {
namespace {

using testing::ScriptedPlatform;

class FileSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    state.sourcePackage = SourcePackage::Yayoi;
    state.journalPeriod = {2007, 1, 1, 2007, 12, 31};
    presenter.refresh();
  }
  testing::TempDir dir;
  ConversionState state;
  ScriptedPlatform platform;
  int readinessChecks = 0;
  FileSettingsPresenter presenter{state, platform, [this] { ++readinessChecks; }};
};

TEST_F(FileSettings, JournalPeriodEndsOneYearOnLessADay) {
  struct Case {
    const char* year;
    const char* month;
    const char* day;
    std::array<std::string, 6> boxes;
  };
  const Case cases[] = {
      {"2008", "4", "1", {"2008", "4", "1", "2009", "3", "31"}},
      {"2008", "1", "1", {"2008", "1", "1", "2008", "12", "31"}},
      {"2008", "2", "29", {"2008", "2", "29", "2009", "2", "27"}},
  };
  for (const Case& c : cases) {
    presenter.setPeriodText(PeriodField::StartYear, c.year);
    presenter.setPeriodText(PeriodField::StartMonth, c.month);
    presenter.setPeriodText(PeriodField::StartDay, c.day);
    EXPECT_TRUE(presenter.applyPeriod()) << c.year << "/" << c.month << "/" << c.day;
    EXPECT_EQ(presenter.view().period, c.boxes);
  }
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(state.journalPeriod, (std::array<int32_t, 6>{2008, 2, 29, 2009, 2, 27}));
}

TEST_F(FileSettings, BadStartDateRestoresTheLastGoodOne) {
  presenter.setPeriodText(PeriodField::StartMonth, "4");
  ASSERT_TRUE(presenter.applyPeriod());
  for (const char* month : {"13", "0", "x"}) {
    presenter.setPeriodText(PeriodField::StartYear, "2010");
    presenter.setPeriodText(PeriodField::StartMonth, month);
    EXPECT_FALSE(presenter.applyPeriod());
    EXPECT_EQ(platform.lastMessage().text, "指定日付が異常です。");
    EXPECT_EQ(platform.lastMessage().title, "エラー");
    EXPECT_EQ(presenter.view().period,
              (std::array<std::string, 6>{"2007", "4", "1", "2008", "3", "31"}));
  }
  EXPECT_EQ(state.journalPeriod, (std::array<int32_t, 6>{2007, 4, 1, 2008, 3, 31}));
}

TEST_F(FileSettings, AutoDefineYesDerivesTheOtherPathsAndNoKeepsThem) {
  const std::string list = dir.file("勘定科目一覧表.txt");
  testing::writeCp932Lines(list, {"x"});
  for (size_t i = 0; i < 6; ++i)
    state.sourceFiles[kEverySourceFile[i]] = "/old/" + std::to_string(i);
  state.outputFolder = "/old";
  presenter.refresh();

  platform.openAnswers = {list};
  platform.messageAnswers = {MsgResult::No};
  presenter.clickSelectFile(SourceFile::AccountList);
  const MessageRequest& asked = platform.lastMessage();
  EXPECT_EQ(asked.text, "勘定科目のあるフォルダを基準に他のファイルも定義しますか？");
  EXPECT_EQ(asked.title, "自動定義");
  EXPECT_EQ(asked.buttons, MsgButtons::YesNo);
  EXPECT_EQ(asked.icon, MsgIcon::Information);
  EXPECT_EQ(asked.defaultButton, 2);
  const FileDialogRequest& req = platform.openRequests.back();
  EXPECT_EQ(req.title, "ファイルを選択");
  EXPECT_EQ(req.filter, "全てのファイル(*.*)|*.*");
  EXPECT_EQ(req.initialFolder, "");
  EXPECT_EQ(req.options, (FileDialogOptions{
                             .fileMustExist = true, .pathMustExist = true, .hideReadOnly = true}));
  EXPECT_EQ(state.sourceFiles[SourceFile::AccountList], list);
  EXPECT_EQ(state.sourceFiles[SourceFile::TrialBalance], "/old/1");
  EXPECT_EQ(state.outputFolder, "/old");
  EXPECT_EQ(readinessChecks, 1);

  platform.openAnswers = {list};
  platform.messageAnswers = {MsgResult::Yes};
  presenter.clickSelectFile(SourceFile::AccountList);
  const std::string d = dir.path() + "/";
  const SourceFiles& shown = presenter.view().fileNames;
  EXPECT_EQ(std::vector<std::string>(shown.begin(), shown.end()),
            (std::vector<std::string>{list, d + "科目残高試算表.txt", d + "補助科目一覧表.txt",
                                      d + "補助残高一覧表.txt", d + "部門一覧表.txt",
                                      d + "仕訳データ.txt", "", "", ""}));
  EXPECT_EQ(state.sourceFiles[SourceFile::Journal], d + "仕訳データ.txt");
  EXPECT_EQ(state.outputFolder, dir.path());
  EXPECT_EQ(presenter.view().folderName, dir.path());
  EXPECT_EQ(readinessChecks, 2);
}

// A dialog that fails is reported, the row keeps its path and the readiness is looked at again.
TEST_F(FileSettings, AFailingChooserIsReportedNotSwallowed) {
  struct FailingDialog : ScriptedPlatform {
    std::optional<std::string> openFileDialog(const FileDialogRequest&) override {
      throw std::runtime_error("ダイアログを開けません");
    }
  } failing;
  FileSettingsPresenter files{state, failing, [this] { ++readinessChecks; }};
  state.sourceFiles[SourceFile::Journal] = "/old/5";
  files.clickSelectFile(SourceFile::Journal);
  ASSERT_EQ(failing.messages.size(), 1u);
  EXPECT_EQ(failing.lastMessage().text, "処理中にエラーが発生しました。\r\nダイアログを開けません");
  EXPECT_EQ(failing.lastMessage().title, "エラー");
  EXPECT_EQ(state.sourceFiles[SourceFile::Journal], "/old/5");
  EXPECT_EQ(readinessChecks, 1);
}

TEST_F(FileSettings, OtherRowsAskNothingAndUnreadableChoicesKeepThePath) {
  const std::string journal = dir.file("j.txt");
  testing::writeCp932Lines(journal, {"x"});
  state.sourceFiles[SourceFile::Journal] = "/old/5";
  platform.openAnswers = {journal, dir.path(), std::nullopt};
  presenter.clickSelectFile(SourceFile::Journal);
  EXPECT_EQ(state.sourceFiles[SourceFile::Journal], journal);
  presenter.clickSelectFile(SourceFile::Journal);  // a folder is no file
  presenter.clickSelectFile(SourceFile::Journal);  // cancelled
  EXPECT_EQ(state.sourceFiles[SourceFile::Journal], journal);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(readinessChecks, 3);

  presenter.clickSelectFolder();  // cancelled: nothing changes
  EXPECT_EQ(platform.folderPrompts, (std::vector<std::string>{"フォルダーを選択してください"}));
  EXPECT_EQ(readinessChecks, 3);
  platform.folderAnswers = {dir.path()};
  presenter.clickSelectFolder();
  EXPECT_EQ(state.outputFolder, dir.path());
  EXPECT_EQ(readinessChecks, 4);
}

TEST(FileSettingsOnMain, TypedPathUpdatesTheStateButNotTheButton) {
  testing::TempDir dir;
  ConversionState state;
  ScriptedPlatform platform;
  const std::string master = dir.file("master.csv");
  testing::writeCp932Lines(master, {"1234,Shop,111,現金,x"});
  ConvSelectPresenter start{state, platform};
  MainPresenter main{state, platform};
  start.load();
  start.clickPackage(0);
  platform.openAnswers = {master};
  ASSERT_TRUE(main.load());
  main.clickNext();
  FileSettingsPresenter& files = main.fileSettings();
  files.setFileName(SourceFile::AccountList, "");
  main.updateNextButton();
  ASSERT_FALSE(main.view().nextEnabled);

  files.setFileName(SourceFile::AccountList, "/typed/勘定科目一覧表.txt");
  EXPECT_EQ(state.sourceFiles[SourceFile::AccountList], "/typed/勘定科目一覧表.txt");
  EXPECT_EQ(files.view().fileNames[SourceFile::AccountList], "/typed/勘定科目一覧表.txt");
  EXPECT_FALSE(main.view().nextEnabled);
  // The folder chooser re-evaluates it.
  platform.folderAnswers = {dir.path()};
  files.clickSelectFolder();
  EXPECT_TRUE(main.view().nextEnabled);
}

}  // namespace
}  // namespace ledra
