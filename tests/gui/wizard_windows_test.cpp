#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "gui/conv_select_window.hpp"
#include "gui/gui_controller.hpp"
#include "gui/gui_test_support.hpp"
#include "gui/main_window.hpp"
#include "state/conversion_state.hpp"
#include "state/work_state.hpp"
#include "support/fixtures.hpp"
#include "support/scripted_platform.hpp"

namespace ledra::gui {
namespace {

using ledra::testing::control;
using ledra::testing::ScriptedPlatform;
using ledra::testing::text;

const std::string kExamples = std::string(LEDRA_SOURCE_DIR) + "/examples";

class Windows : public ::testing::Test {
 protected:
  void SetUp() override {
    ledra::testing::guiApplication();
    std::filesystem::copy(kExamples + "/yayoi", source);
    controller.start();
  }
  QWidget* start() { return controller.convSelect(); }
  QWidget* main() { return controller.mainWindow(); }
  void click(QWidget* window, const char* name) { control<QPushButton>(window, name)->click(); }
  QLineEdit* box(const char* name) { return control<QLineEdit>(main(), name); }

  ledra::testing::TempDir dir;
  std::string source = dir.file("yayoi");
  std::string master = kExamples + "/ledra_master.csv";
  ConversionState state;
  ScriptedPlatform platform;
  GuiController controller{state, platform};
};

TEST_F(Windows, YayoiFromTheStartFormToTheMappingScreen) {
  ASSERT_TRUE(start()->isVisible());
  EXPECT_EQ(text(start()->windowTitle()), "Ledraデータコンバート Ver1.41");
  EXPECT_EQ(text(control<QLabel>(start(), "L_Mes")->text()),
            "コンバート対象の会計ソフトを選択して下さい。");
  EXPECT_EQ(text(control<QPushButton>(start(), "B_Ptn_1")->text()), "ブルーリターン");
  EXPECT_FALSE(control<QPushButton>(start(), "B_Ptn_2")->isEnabled());

  platform.openAnswers = {master};
  click(start(), "B_Ptn_0");
  ASSERT_NE(main(), nullptr);
  EXPECT_FALSE(start()->isVisible());
  EXPECT_TRUE(main()->isVisible());
  EXPECT_EQ(main()->size(), QSize(619, 310));  // 9345 x 5100 twips less the window frame
  EXPECT_TRUE(control<QWidget>(main(), "F_1stStep")->isVisible());
  EXPECT_FALSE(control<QLabel>(main(), "Image1")->pixmap().isNull());
  EXPECT_TRUE(
      control<QPlainTextEdit>(main(), "T_Msg01")->toPlainText().startsWith("　この度は本ソフトを"));
  EXPECT_EQ(text(control<QPushButton>(main(), "B_Next")->text()), "次へ >>");

  click(main(), "B_Next");
  EXPECT_TRUE(control<QWidget>(main(), "F_2ndStep")->isVisible());
  EXPECT_TRUE(control<QWidget>(main(), "F_Input")->isVisible());
  EXPECT_FALSE(control<QWidget>(main(), "F_Input_Blue")->isVisible());
  EXPECT_EQ(text(control<QPushButton>(main(), "B_Next")->text()), "読込");
  EXPECT_EQ(text(box("T_ConvF")->text()), master);

  platform.openAnswers = {source + "/勘定科目一覧表.txt"};
  platform.messageAnswers = {MsgResult::Yes};
  click(main(), "B_SelectFile_0");
  EXPECT_EQ(platform.lastMessage().title, "自動定義");
  EXPECT_EQ(text(box("T_FileName_3")->text()), source + "/補助残高一覧表.txt");
  EXPECT_EQ(text(box("T_FileName_3")->toolTip()), source + "/補助残高一覧表.txt");
  EXPECT_EQ(text(box("T_ForderName")->text()), source);
  EXPECT_EQ(state.sourceFiles[SourceFile::Journal], source + "/仕訳データ.txt");

  // Typing keeps the state in step; the button waits for a chooser.
  box("T_FileName_4")->setText("");
  EXPECT_EQ(state.sourceFiles[SourceFile::DepartmentList], "");
  box("T_FileName_4")->setText(QString::fromStdString(source + "/部門一覧表.txt"));
  EXPECT_EQ(text(box("T_FileName_4")->toolTip()), source + "/部門一覧表.txt");

  auto* next = control<QPushButton>(main(), "B_Next");
  ASSERT_TRUE(next->isEnabled());
  click(main(), "B_Next");
  EXPECT_TRUE(control<QWidget>(main(), "F_3rdStep")->isVisible());
  EXPECT_TRUE(control<QWidget>(main(), "F_Conv")->isVisible());
  EXPECT_FALSE(control<QWidget>(main(), "F_Hojo")->isVisible());
  EXPECT_EQ(text(next->text()), "変換");
  EXPECT_EQ(text(control<QLabel>(main(), "L_Y_0")->text()), "弥生会計");
  EXPECT_TRUE(control<QWidget>(main(), "B_StatusSave")->isVisible());
  EXPECT_EQ(main()->size(), QSize(755, 446));
  EXPECT_FALSE(platform.progressVisible);
  EXPECT_FALSE(platform.busy);

  // Closing asks; Cancel keeps the form, OK ends the program.
  platform.messageAnswers = {MsgResult::Cancel};
  main()->close();
  EXPECT_TRUE(main()->isVisible());
  EXPECT_EQ(platform.lastMessage().title, "注意");
  platform.messageAnswers = {MsgResult::Ok};
  click(main(), "B_Exit");
  EXPECT_FALSE(main()->isVisible());
  EXPECT_TRUE(controller.finished());
}

TEST_F(Windows, FailedImportShowsItsMessageAndStaysOnFileSettings) {
  platform.openAnswers = {master};
  click(start(), "B_Ptn_0");
  click(main(), "B_Next");
  box("T_FileName_4")->setText(QString::fromStdString(source + "/部門一覧表.txt"));
  box("T_FileName_0")->setText(QString::fromStdString(source + "/仕訳データ.txt"));
  box("T_FileName_1")->setText(QString::fromStdString(source + "/科目残高試算表.txt"));
  box("T_FileName_5")->setText(QString::fromStdString(source + "/仕訳データ.txt"));
  box("T_ForderName")->setText(QString::fromStdString(source));
  click(main(), "B_Next");
  EXPECT_EQ(platform.lastMessage().text.rfind("勘定科目取込に失敗しました。\r\n", 0), 0u)
      << platform.lastMessage().text;
  EXPECT_EQ(platform.lastMessage().title, "エラー");
  EXPECT_TRUE(control<QWidget>(main(), "F_2ndStep")->isVisible());
  EXPECT_EQ(text(control<QPushButton>(main(), "B_Next")->text()), "読込");
  EXPECT_FALSE(platform.progressVisible);
  EXPECT_FALSE(platform.busy);
}

TEST_F(Windows, BlueReturnAsksForItsFolderAndYear) {
  const std::string install = dir.file("BR");
  std::filesystem::create_directories(install + "/Data/Y2008");
  platform.openAnswers = {master};
  platform.folderAnswers = {install};
  platform.inputAnswers = {"2008"};
  click(start(), "B_Ptn_1");
  ASSERT_NE(main(), nullptr);
  EXPECT_EQ(platform.folderPrompts, (std::vector<std::string>{"フォルダーを選択してください"}));
  EXPECT_EQ(platform.inputRequests.at(0).title, "会計年度を入力して下さい。");
  EXPECT_NE(control<QPlainTextEdit>(main(), "T_Msg01")->toPlainText().indexOf("ブルーリターン"),
            -1);

  click(main(), "B_Next");
  EXPECT_FALSE(control<QWidget>(main(), "F_Input")->isVisible());
  EXPECT_TRUE(control<QWidget>(main(), "F_Input_Blue")->isVisible());
  EXPECT_FALSE(control<QWidget>(main(), "F_SZ")->isVisible());
  EXPECT_EQ(text(box("T_FileName_6")->text()), install + "/Data/Y2008/kcode.brf");
  EXPECT_EQ(text(box("S_Year")->text()), "2008");
  EXPECT_EQ(text(box("E_Day")->text()), "31");

  // Enter in the month box runs the period rule.
  box("S_Mon")->setText("4");
  QTest::keyClick(box("S_Mon"), Qt::Key_Return);
  EXPECT_EQ(text(box("E_Year")->text()), "2009");
  EXPECT_EQ(text(box("E_Mon")->text()), "3");
  box("S_Mon")->setText("13");
  QTest::keyClick(box("S_Mon"), Qt::Key_Return);
  EXPECT_EQ(platform.lastMessage().text, "指定日付が異常です。");
  EXPECT_EQ(text(box("S_Mon")->text()), "4");
  EXPECT_EQ(state.journalPeriod, (std::array<int32_t, 6>{2008, 4, 1, 2009, 3, 31}));
}

TEST_F(Windows, RestoredWorkOpensOnTheMappingScreen) {
  ConversionState saved;
  saved.sourcePackage = SourcePackage::Yayoi;
  saved.ledraUserName = "見本商事";
  const std::string file = dir.file("work.dat");
  ASSERT_TRUE(saveWorkStateToFile(saved, platform, file));

  platform.openAnswers = {file};
  click(start(), "B_Continue");
  EXPECT_EQ(platform.lastMessage().text, "保存情報の読込みを完了しました。");
  ASSERT_NE(main(), nullptr);
  EXPECT_TRUE(control<QWidget>(main(), "F_3rdStep")->isVisible());
  EXPECT_FALSE(control<QWidget>(main(), "F_1stStep")->isVisible());
  EXPECT_EQ(text(control<QPushButton>(main(), "B_Next")->text()), "変換");
  EXPECT_EQ(text(control<QLabel>(main(), "L_Company")->text()), "見本商事　データコンバート");
}

TEST_F(Windows, CancellingTheMasterDialogEndsTheProgram) {
  click(start(), "B_Ptn_0");
  EXPECT_TRUE(controller.finished());
  EXPECT_EQ(main(), nullptr);
  EXPECT_FALSE(start()->isVisible());
}

}  // namespace
}  // namespace ledra::gui
