#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "base/text.hpp"
#include "state/conversion_state.hpp"
#include "state/work_state.hpp"
#include "support/fixtures.hpp"
#include "support/scripted_platform.hpp"
#include "wizard/main_presenter.hpp"
#include "wizard/step_flow.hpp"

namespace ledra {
namespace {

using testing::ScriptedPlatform;

class StartUp : public ::testing::Test {
 protected:
  void SetUp() override {
    good = dir.file("master.csv");
    bad = dir.file("bad.csv");
    testing::writeCp932Lines(good, {"1234,Shop,111,現金,x", ",,112,普通預金,y"});
    testing::writeCp932Lines(bad, {"1234,Shop,111,現金"});
    start.load();
  }
  testing::TempDir dir;
  std::string good, bad;
  ConversionState state;
  ScriptedPlatform platform;
  ConvSelectPresenter start{state, platform};
  MainPresenter main{state, platform};
};

const std::string kWelcome =
    "Ledraデータコンバート Ver1.41を起動します。\r\n\r\nLedraの勘定科目データを指定して下さい。";

TEST_F(StartUp, StartFormOffersTwoPackages) {
  const auto& v = start.view();
  EXPECT_EQ(v.caption, "Ledraデータコンバート Ver1.41");
  EXPECT_EQ(v.packageLabels, (std::array<std::string, 4>{"弥生会計", "ブルーリターン", "…", "…"}));
  EXPECT_EQ(v.packageEnabled, (std::array<bool, 4>{true, true, false, false}));
  EXPECT_EQ(start.startMode(), StartMode::Normal);
  EXPECT_EQ(state.baseFolder, platform.documents);
  EXPECT_EQ(start.clickPackage(2), StartAction::Stay);
  EXPECT_EQ(start.clickPackage(0), StartAction::OpenMain);
  EXPECT_EQ(state.sourcePackage, SourcePackage::Yayoi);
}

TEST_F(StartUp, CancellingTheMasterDialogEndsWithoutAMessage) {
  start.clickPackage(0);
  EXPECT_FALSE(main.load());
  EXPECT_TRUE(main.startAborted());
  EXPECT_EQ(platform.messageTexts(), (std::vector<std::string>{kWelcome}));
  EXPECT_EQ(platform.lastMessage().title, "ようこそ");
  // Closing before start-up finished asks nothing.
  EXPECT_TRUE(main.requestClose());
  EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(StartUp, FailedMasterLoadAsksAgain) {
  start.clickPackage(0);
  // Too few columns, then a path that cannot be opened as a file, then a good master.
  platform.openAnswers = {bad, dir.path(), good};
  ASSERT_TRUE(main.load());
  EXPECT_EQ(platform.messageTexts(),
            (std::vector<std::string>{kWelcome,
                                      "Ledraの勘定科目データ取込に失敗しました。\r\n" + bad +
                                          " 1行目: 列が足りません（5列以上必要です）",
                                      "Ledraの勘定科目データ取込に失敗しました。\r\n" + dir.path() +
                                          ": フォルダです（ファイルを指定してください）"}));
  EXPECT_EQ(platform.messages[1].title, "エラー");
  ASSERT_EQ(platform.openRequests.size(), 3u);
  const auto& req = platform.openRequests[0];
  EXPECT_EQ(req.title, "Ledraの勘定科目データを指定して下さい。");
  EXPECT_EQ(req.filter, "CSVファイル(*.csv)|*.csv");
  EXPECT_EQ(req.options, (FileDialogOptions{
                             .fileMustExist = true, .pathMustExist = true, .hideReadOnly = true}));
  EXPECT_EQ(req.initialFolder, platform.documents + "/Yayoi/Exchange/");

  EXPECT_EQ(state.screenState, Screen::Welcome);
  EXPECT_FALSE(main.startAborted());
  EXPECT_EQ(state.ledraAccountFile, good);
  EXPECT_EQ(main.view().companyLabel, "Shop　データコンバート");
  EXPECT_EQ(main.view().packageLabel, "弥生会計");
  EXPECT_EQ(state.sourceFiles[SourceFile::AccountList],
            platform.documents + "/Yayoi/Exchange/勘定科目一覧表.txt");
  EXPECT_EQ(state.sourceFiles[SourceFile::Journal],
            platform.documents + "/Yayoi/Exchange/仕訳データ.txt");
  EXPECT_EQ(state.outputFolder, platform.documents + "/Yayoi/Exchange/");
  EXPECT_EQ(main.view().layout, (WindowLayout{9345, 5100, 7815, 8280, 8040, 4200, false, 0, 0}));
  EXPECT_TRUE(main.view().firstStepVisible);
  EXPECT_TRUE(main.view().nextEnabled);
}

TEST_F(StartUp, WelcomeLeadsToFileSettingsAndClosingAsks) {
  start.clickPackage(0);
  platform.openAnswers = {good};
  ASSERT_TRUE(main.load());
  main.clickNext();
  EXPECT_EQ(state.screenState, Screen::FileSettings);
  EXPECT_EQ(main.view().nextCaption, "読込");
  EXPECT_TRUE(main.view().secondStepVisible);
  EXPECT_FALSE(main.view().firstStepVisible);
  EXPECT_EQ(main.view().layout, (WindowLayout{8505, 5700, 7215, 7440, 7200, 4800, false, 0, 0}));
  EXPECT_TRUE(main.view().nextEnabled);  // all default paths are filled in

  platform.messageAnswers = {MsgResult::Cancel};
  EXPECT_FALSE(main.requestClose());
  EXPECT_EQ(platform.lastMessage().text,
            "Ledraデータコンバート Ver1.41を終了します。\r\n宜しいですか？");
  EXPECT_EQ(platform.lastMessage().title, "注意");
  EXPECT_EQ(state.screenState, Screen::FileSettings);
  platform.messageAnswers = {MsgResult::Ok};
  EXPECT_TRUE(main.requestClose());
}

TEST_F(StartUp, FileSettingsTextsFollowTheState) {
  start.clickPackage(0);
  platform.openAnswers = {good};
  ASSERT_TRUE(main.load());
  main.clickNext();
  main.fileSettings().setFileName(SourceFile::DepartmentList, "");
  EXPECT_EQ(state.sourceFiles[SourceFile::DepartmentList], "");
  EXPECT_FALSE(main.updateNextButton());
  main.fileSettings().setFolderName("/somewhere");
  EXPECT_EQ(state.outputFolder, "/somewhere");
  EXPECT_EQ(main.fileSettings().view().folderName, "/somewhere");
}

TEST_F(StartUp, RestoredWorkOpensOnTheMappingScreen) {
  // Saved work: one mapped account, nothing else.
  ConversionState saved;
  saved.sourcePackage = SourcePackage::Yayoi;
  saved.ledraUserName = "Shop";
  WorkAccount& a = saved.workAccounts.append();
  a.sourceCode = "100";
  a.sourceName = "現金";
  a.ledraCode = "111";
  a.ledraName = "現金";
  a.valid = a.matched = true;
  saved.allView.append(0);
  const std::string file = dir.file("work.dat");
  ASSERT_TRUE(saveWorkStateToFile(saved, platform, file));

  platform.openAnswers = {file};
  ASSERT_EQ(start.clickContinue(), StartAction::OpenMain);
  EXPECT_EQ(platform.lastMessage().text, "保存情報の読込みを完了しました。");
  EXPECT_EQ(platform.lastMessage().title, "読込完了");
  EXPECT_EQ(start.startMode(), StartMode::Restored);

  const size_t messagesBefore = platform.messages.size();
  ASSERT_TRUE(main.load(start.startMode()));
  EXPECT_EQ(platform.messages.size(), messagesBefore);  // no welcome, no master dialog
  EXPECT_TRUE(platform.openRequests.size() == 1u);
  EXPECT_EQ(state.screenState, Screen::Mapping);
  const MainView& v = main.view();
  EXPECT_EQ(v.nextCaption, "変換");
  EXPECT_TRUE(v.nextEnabled);
  EXPECT_EQ(v.layout, (WindowLayout{11385, 7140, 9375, 10440, 10200, 6240, true, 8400, 6240}));
  EXPECT_TRUE(v.thirdStepVisible);
  EXPECT_EQ(main.mapping().view().visiblePanel, PanelKind::Accounts);
  EXPECT_FALSE(v.firstStepVisible || v.secondStepVisible);
  EXPECT_EQ(v.companyLabel, "Shop　データコンバート");
  EXPECT_EQ(v.packageLabel, "弥生会計");
  // Closing the mapping screen asks first, and Cancel keeps it open.
  platform.messageAnswers = {MsgResult::Cancel};
  EXPECT_FALSE(main.requestClose());
  EXPECT_EQ(platform.lastMessage().text,
            "Ledraデータコンバート Ver1.41を終了します。\r\n宜しいですか？");

  // A refused file leaves the start form where it was.
  ConversionState other;
  ScriptedPlatform p;
  ConvSelectPresenter second{other, p};
  second.load();
  testing::writeCp932Lines(dir.file("bad.dat"), {"不明"});
  p.openAnswers = {dir.file("bad.dat")};
  EXPECT_EQ(second.clickContinue(), StartAction::Stay);
  EXPECT_EQ(second.startMode(), StartMode::Normal);
}

// The main form opened on saved work of one mapped account.
class UnsavedWork : public StartUp {
 protected:
  void SetUp() override {
    StartUp::SetUp();
    file = dir.file("work.dat");
    testing::writeOneAccountWork(file, dir.path());
    platform.openAnswers = {file};
    start.clickContinue();
    ASSERT_TRUE(main.load(start.startMode()));
    platform.messages.clear();
  }
  void typeCode(const char* code) {
    main.mapping().changeAccountCode(0, code);
    if (*code) main.mapping().pressEnterInAccountCode(0);
  }
  std::string file;
  const std::string question = "Ledraデータコンバート Ver1.41を終了します。\r\n宜しいですか？";
  const std::string unsaved =
      question + "\r\n\r\n対応付けの変更が保存されていません。終了する前に保存しますか？";
};

TEST_F(UnsavedWork, ClosingAsksToSaveOnlyWhenTheMappingDiffersFromTheSavedOne) {
  EXPECT_FALSE(main.hasUnsavedWork());
  typeCode("112");
  EXPECT_TRUE(main.hasUnsavedWork());
  typeCode("");  // cleared, then given its saved code again: nothing to save
  typeCode("111");
  EXPECT_EQ(state.workAccounts[0].ledraCode, "111");
  EXPECT_FALSE(main.hasUnsavedWork());
  main.mapping().clickInvalid(0);
  EXPECT_TRUE(main.hasUnsavedWork());

  // キャンセル is the default answer and keeps the form.
  platform.messages.clear();
  EXPECT_FALSE(main.requestClose());
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.lastMessage().text, unsaved);
  EXPECT_EQ(platform.lastMessage().title, "注意");
  EXPECT_EQ(platform.lastMessage().buttons, MsgButtons::SaveDiscardCancel);
  EXPECT_EQ(platform.lastMessage().defaultButton, 3);

  // 保存 with the save dialog cancelled stays; with a file chosen it saves, then closes.
  platform.messageAnswers = {MsgResult::Yes};
  EXPECT_FALSE(main.requestClose());
  platform.messageAnswers = {MsgResult::Yes};
  platform.saveAnswers = {dir.file("closing.dat")};
  EXPECT_TRUE(main.requestClose());
  EXPECT_EQ(platform.lastMessage().title, "保存完了");
  EXPECT_FALSE(main.hasUnsavedWork());

  // 保存しない closes and leaves the saved file as it was.
  typeCode("");
  const std::string before = testing::readBytes(file);
  platform.messageAnswers = {MsgResult::No};
  EXPECT_TRUE(main.requestClose());
  EXPECT_EQ(testing::readBytes(file), before);
}

TEST_F(UnsavedWork, ASaveNamedWithoutExtensionIsWrittenAsDat) {
  platform.saveAnswers = {dir.file("named")};
  main.clickSave();
  EXPECT_TRUE(testing::fileExistsAt(dir.file("named.dat")));
  EXPECT_FALSE(testing::fileExistsAt(dir.file("named")));
  EXPECT_EQ(platform.lastMessage().text,
            "作業状態を\r\n" + dir.file("named.dat") + "\r\nに保存しました。");
  // The dialog asked about "work"; "work.dat" exists, and is kept unless the user says Yes.
  typeCode("");
  const std::string before = testing::readBytes(file);
  platform.saveAnswers = {dir.file("work")};
  main.clickSave();
  EXPECT_EQ(platform.lastMessage().text, file + "は既に存在します。\r\n上書きしますか？");
  EXPECT_EQ(testing::readBytes(file), before);
  EXPECT_TRUE(main.hasUnsavedWork());
}

TEST_F(StartUp, RestoredWorkWhoseJournalMovedAsksForItBeforeAnythingElse) {
  ConversionState saved;
  saved.sourcePackage = SourcePackage::Yayoi;
  saved.sourceFiles[SourceFile::Journal] = dir.file("gone/仕訳データ.txt");
  saved.outputFolder = dir.path();
  const std::string file = dir.file("work.dat");
  ASSERT_TRUE(saveWorkStateToFile(saved, platform, file));
  const std::string moved = dir.file("仕訳データ.txt");
  testing::writeCp932Lines(moved, {"帳票名,仕訳日記帳"});
  platform.openAnswers = {file, moved};
  start.clickContinue();
  ASSERT_TRUE(main.load(start.startMode()));
  EXPECT_EQ(
      platform.lastMessage().text,
      dir.file("gone/仕訳データ.txt") + "が存在しません。\r\n移動した仕訳データを指定して下さい。");
  EXPECT_EQ(state.sourceFiles[SourceFile::Journal], moved);
  EXPECT_TRUE(main.hasUnsavedWork());  // the new place is not saved yet
}

TEST_F(StartUp, BlueReturnAsksForTheFolderAndTheYearUntilBothExist) {
  const std::string install = dir.file("BR");
  std::filesystem::create_directories(install + "/Data/Y2008");
  start.clickPackage(1);
  platform.openAnswers = {good};
  platform.folderAnswers = {install, install};
  // A year that is no number goes back to the folder check; a year without data asks again.
  platform.inputAnswers = {"abc", "2009", "2008"};
  ASSERT_TRUE(main.load());

  const std::string missing = platform.home +
                              "/.wine/drive_c/Program Files/ブルーリターンＡ2007"
                              "が存在しません。\r\nブルーリターンのインストールされているフォルダを"
                              "指定して下さい。";
  EXPECT_EQ(platform.messageTexts(),
            (std::vector<std::string>{kWelcome, missing, missing,
                                      "\"2009\"会計年度のデータが存在しません。"}));
  EXPECT_EQ(platform.messages[1].title, "");
  EXPECT_EQ(platform.openRequests[0].initialFolder, platform.documents);
  EXPECT_EQ(platform.folderPrompts, (std::vector<std::string>{"フォルダーを選択してください",
                                                              "フォルダーを選択してください"}));
  ASSERT_EQ(platform.inputRequests.size(), 3u);
  EXPECT_EQ(platform.inputRequests[0].prompt, "会計年度");
  EXPECT_EQ(platform.inputRequests[0].title, "会計年度を入力して下さい。");
  EXPECT_EQ(platform.inputRequests[0].defaultText, "2007");

  EXPECT_EQ(state.fiscalYear, 2008);
  EXPECT_EQ(state.journalPeriod, (std::array<int32_t, 6>{2008, 1, 1, 2008, 12, 31}));
  EXPECT_EQ(state.sourceFiles[SourceFile::BlueAccounts], install + "/Data/Y2008/kcode.brf");
  EXPECT_EQ(state.sourceFiles[SourceFile::BlueJournal], install + "/Data/Y2008/仕訳データ");
  EXPECT_EQ(state.outputFolder, platform.documents);
  EXPECT_EQ(state.screenState, Screen::Welcome);
  EXPECT_EQ(main.view().packageLabel, "ブルーリターン");
  EXPECT_EQ(main.view().welcomeText.find("弥生会計"), std::string::npos);
  EXPECT_NE(main.view().welcomeText.find("現在ブルーリターンをご利用"), std::string::npos);

  // A year of 0 and a cancelled prompt go back to the folder check too.
  ConversionState s3;
  ScriptedPlatform p3;
  ConvSelectPresenter start3{s3, p3};
  MainPresenter main3{s3, p3};
  start3.load();
  start3.clickPackage(1);
  p3.openAnswers = {good};
  p3.folderAnswers = {install, install, install};
  p3.inputAnswers = {"0", std::nullopt, "2008"};
  ASSERT_TRUE(main3.load());
  const std::string missing3 = replaceAll(missing, platform.home, p3.home);
  EXPECT_EQ(p3.messageTexts(), (std::vector<std::string>{kWelcome, missing3, missing3, missing3}));
  EXPECT_EQ(s3.blueReturnDataFolder, install + "/Data/Y2008");

  // Cancelling the folder browser ends start-up.
  ConversionState s2;
  ScriptedPlatform p2;
  ConvSelectPresenter start2{s2, p2};
  MainPresenter main2{s2, p2};
  start2.load();
  start2.clickPackage(1);
  p2.openAnswers = {good};
  EXPECT_FALSE(main2.load());
  EXPECT_TRUE(main2.startAborted());
}

TEST_F(StartUp, ChosenFolderFillsTheRowsByContentAndFoldersAreRemembered) {
  platform.remembered[RememberedFolder::Master] = dir.path();
  start.clickPackage(0);
  platform.openAnswers = {good};
  ASSERT_TRUE(main.load());
  EXPECT_EQ(platform.openRequests[0].initialFolder, dir.path());
  main.clickNext();
  FileSettingsPresenter& files = main.fileSettings();
  const std::string examples = std::string(LEDRA_SOURCE_DIR) + "/examples/yayoi/";
  const std::string src = dir.file("src");
  std::filesystem::create_directories(src);
  int n = 0;
  for (const char* r : {"勘定科目一覧表", "科目残高試算表", "補助科目一覧表", "補助残高一覧表",
                        "部門一覧表", "仕訳データ"})
    std::filesystem::copy_file(examples + r + ".txt", src + "/e" + std::to_string(n++) + ".csv");
  const std::string empty = dir.file("empty");
  std::filesystem::create_directories(empty);

  // A folder without reports is only the output folder; one with them fills every row.
  platform.remembered[RememberedFolder::Output] = empty;
  platform.folderAnswers = {empty, src};
  files.clickSelectFolder();
  EXPECT_EQ(state.sourceFiles[SourceFile::TrialBalance],
            platform.documents + "/Yayoi/Exchange/科目残高試算表.txt");
  files.clickSelectFolder();
  EXPECT_EQ(platform.folderStarts, (std::vector<std::string>{empty, empty}));
  EXPECT_EQ(platform.messages.size(), 1u);  // the welcome
  for (size_t i = 0; i < 6; ++i)
    EXPECT_EQ(state.sourceFiles[kEverySourceFile[i]], src + "/e" + std::to_string(i) + ".csv");
  EXPECT_EQ(files.view().fileNames[SourceFile::SubAccountBalances], src + "/e3.csv");
  EXPECT_EQ(state.outputFolder, src);
  EXPECT_TRUE(main.updateNextButton());
  EXPECT_EQ(platform.remembered[RememberedFolder::Source], src);
  EXPECT_EQ(platform.remembered[RememberedFolder::Output], src);

  // A missing report: said, its row emptied, nothing to import.
  std::filesystem::remove(src + "/e4.csv");
  files.dropPaths({src});
  EXPECT_EQ(platform.lastMessage().text,
            src +
                "の弥生会計のファイルを特定できません。\r\n"
                "部門一覧表のファイルがありません（帳票名「部門一覧表」）");
  EXPECT_EQ(state.sourceFiles[SourceFile::DepartmentList], "");
  EXPECT_FALSE(main.updateNextButton());
}

TEST_F(StartUp, BlueReturnDropFindsTheYearFolder) {
  const std::string install = dir.file("BR");
  for (const char* year : {"Y2008", "Y2009"}) {
    std::filesystem::create_directories(install + "/Data/" + year);
    for (const char* f : {"kcode.brf", "仕訳データ", "基本情報ﾃﾞｰﾀ"})
      testing::writeBytes(install + "/Data/" + year + "/" + f, "x");
  }
  start.clickPackage(1);
  platform.openAnswers = {good};
  platform.folderAnswers = {install};
  platform.inputAnswers = {"2008"};
  ASSERT_TRUE(main.load());
  FileSettingsPresenter& files = main.fileSettings();
  files.dropPaths({install});
  EXPECT_EQ(platform.lastMessage().text,
            install + "に会計年度のデータが複数あります。一つを指定してください。\r\n" + install +
                "/Data/Y2008\r\n" + install + "/Data/Y2009");
  files.dropPaths({install + "/Data/Y2009/kcode.brf"});
  EXPECT_EQ(state.sourceFiles[SourceFile::BlueAccounts], install + "/Data/Y2009/kcode.brf");
  EXPECT_EQ(files.view().fileNames[SourceFile::BlueJournal], install + "/Data/Y2009/仕訳データ");
  EXPECT_EQ(state.blueReturnDataFolder, install + "/Data/Y2009");
}

}  // namespace
}  // namespace ledra
