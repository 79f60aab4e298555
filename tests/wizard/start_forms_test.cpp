#include "wizard/start_forms.hpp"

#include <gtest/gtest.h>

#include "state/conversion_state.hpp"
#include "support/fixtures.hpp"
#include "support/scripted_platform.hpp"
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
  EXPECT_EQ(state.startMode, "通常");
  EXPECT_TRUE(state.startAborted);
  EXPECT_EQ(state.baseFolder, platform.documents);
  EXPECT_EQ(start.clickPackage(2), StartAction::Stay);
  EXPECT_EQ(start.clickPackage(0), StartAction::OpenMain);
  EXPECT_EQ(state.sourcePackage, kPackageYayoi);
}

TEST_F(StartUp, CancellingTheMasterDialogEndsWithoutAMessage) {
  start.clickPackage(0);
  EXPECT_FALSE(main.load());
  EXPECT_TRUE(state.startAborted);
  EXPECT_EQ(platform.messageTexts(), (std::vector<std::string>{kWelcome}));
  EXPECT_EQ(platform.lastMessage().title, "ようこそ");
  // Closing before start-up finished asks nothing.
  EXPECT_TRUE(main.requestClose());
  EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(StartUp, FailedMasterLoadAsksAgain) {
  start.clickPackage(0);
  platform.openAnswers = {bad, good};
  ASSERT_TRUE(main.load());
  EXPECT_EQ(platform.messageTexts(),
            (std::vector<std::string>{kWelcome, "Ledraの勘定科目データ取込に失敗しました。"}));
  EXPECT_EQ(platform.messages[1].title, "エラー");
  ASSERT_EQ(platform.openRequests.size(), 2u);
  const auto& req = platform.openRequests[0];
  EXPECT_EQ(req.title, "Ledraの勘定科目データを指定して下さい。");
  EXPECT_EQ(req.filter, "CSVファイル(*.csv)|*.csv");
  EXPECT_EQ(req.flags, 6148u);
  EXPECT_EQ(req.initialFolder, platform.documents + "/Yayoi/Exchange/");

  EXPECT_EQ(state.screenState, "広告中");
  EXPECT_FALSE(state.startAborted);
  EXPECT_EQ(state.ledraAccountFile, good);
  EXPECT_EQ(main.view().companyLabel, "Shop　データコンバート");
  EXPECT_EQ(main.view().packageLabel, "弥生会計");
  EXPECT_EQ(state.sourceFiles[0], platform.documents + "/Yayoi/Exchange/勘定科目一覧表.txt");
  EXPECT_EQ(state.sourceFiles[5], platform.documents + "/Yayoi/Exchange/仕訳データ.txt");
  EXPECT_EQ(state.outputFolder, platform.documents + "/Yayoi/Exchange/");
  EXPECT_EQ(main.view().layout, welcomeLayout());
  EXPECT_TRUE(main.view().firstStepVisible);
  EXPECT_TRUE(main.view().nextEnabled);
}

TEST_F(StartUp, WelcomeLeadsToFileSettingsAndClosingAsks) {
  start.clickPackage(0);
  platform.openAnswers = {good};
  ASSERT_TRUE(main.load());
  main.clickNext();
  EXPECT_EQ(state.screenState, "ファイル設定");
  EXPECT_EQ(main.view().nextCaption, "読込");
  EXPECT_TRUE(main.view().secondStepVisible);
  EXPECT_FALSE(main.view().firstStepVisible);
  EXPECT_EQ(main.view().layout, fileSettingsLayout());
  EXPECT_TRUE(main.view().nextEnabled);  // all default paths are filled in

  platform.messageAnswers = {MsgResult::Cancel};
  EXPECT_FALSE(main.requestClose());
  EXPECT_EQ(platform.lastMessage().text,
            "Ledraデータコンバート Ver1.41を終了します。\r\n宜しいですか？");
  EXPECT_EQ(platform.lastMessage().title, "注意");
  EXPECT_EQ(state.screenState, "ファイル設定");
  platform.messageAnswers = {MsgResult::Ok};
  EXPECT_TRUE(main.requestClose());
}

TEST_F(StartUp, FileSettingsTextsFollowTheState) {
  start.clickPackage(0);
  platform.openAnswers = {good};
  ASSERT_TRUE(main.load());
  main.clickNext();
  main.setFileName(4, "");
  EXPECT_EQ(state.sourceFiles[4], "");
  EXPECT_FALSE(main.updateNextButton());
  main.setFolderName("/somewhere");
  EXPECT_EQ(state.outputFolder, "/somewhere");
  EXPECT_EQ(main.view().folderName, "/somewhere");
}

}  // namespace
}  // namespace ledra
