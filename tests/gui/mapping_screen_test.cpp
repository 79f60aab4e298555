#include "gui/mapping_screen.hpp"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "dataset.hpp"
#include "gui/conv_select_window.hpp"
#include "gui/gui_controller.hpp"
#include "gui/gui_test_support.hpp"
#include "gui/main_window.hpp"
#include "gui/picker_dialog.hpp"
#include "gui/widget_names.hpp"
#include "state/conversion_state.hpp"
#include "support/fixtures.hpp"
#include "support/scripted_platform.hpp"

namespace ledra::gui {
namespace {

using ledra::testing::control;
using ledra::testing::ScriptedPlatform;
using ledra::testing::text;

const std::string kExamples = std::string(LEDRA_SOURCE_DIR) + "/examples";
const QColor kCyan(192, 255, 255);
const QColor kRed(255, 192, 192);

class Mapping : public ::testing::Test {
 protected:
  void SetUp() override { ledra::testing::guiApplication(); }

  // Start form → 弥生会計 → 次へ → the files from the account list's folder → 読込.
  void openMappingScreen(const std::string& folder, const std::string& master) {
    controller.start();
    platform.openAnswers = {master};
    click("B_Ptn_0", controller.convSelect());
    click("B_Next");
    platform.openAnswers = {folder + "/勘定科目一覧表.txt"};
    platform.messageAnswers = {MsgResult::Yes};
    click("B_SelectFile_0");
    click("B_Next");
    ASSERT_TRUE(control<QWidget>(main(), "F_Conv")->isVisible());
  }
  QWidget* main() { return controller.mainWindow(); }
  void click(const char* name, QWidget* window = nullptr) {
    control<QPushButton>(window ? window : main(), name)->click();
  }
  QLineEdit* box(const char* name, int row) {
    return control<QLineEdit>(main(), arrayName(name, row).toLatin1().constData());
  }
  std::string shown(const char* name, int row) { return text(box(name, row)->text()); }
  QColor back(const char* name, int row) { return box(name, row)->palette().color(QPalette::Base); }
  // Selects the box's text and types over it, as a user does.
  void typeOver(QLineEdit* e, const QString& typed) {
    e->setFocus();
    e->selectAll();
    if (typed.isEmpty())
      QTest::keyClick(e, Qt::Key_Backspace);
    else
      QTest::keyClicks(e, typed);
  }
  void wheel(QWidget* w, int delta) {
    QWheelEvent e(QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta),
                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
  }
  std::string remaining() { return text(control<QLabel>(main(), "RemainObj")->text()); }

  ledra::testing::TempDir dir;
  ConversionState state;
  ScriptedPlatform platform;
  GuiController controller{state, platform};
};

TEST_F(Mapping, ExampleCompanyFromTheStartToTheConvertedFiles) {
  const std::string source = dir.file("yayoi");
  std::filesystem::copy(kExamples + "/yayoi", source);
  openMappingScreen(source, kExamples + "/ledra_master.csv");

  // Every account was matched by name: the first ten rows are light cyan.
  EXPECT_EQ(text(control<QLabel>(main(), "L_Y_0")->text()), "弥生会計");
  EXPECT_EQ(shown("T_Y_KKJ", 0), "現金");
  EXPECT_EQ(shown("T_N_KCode", 0), "111");
  EXPECT_EQ(shown("T_N_KKJ", 9), "旅費交通費");
  EXPECT_EQ(back("T_Y_KKJ", 9), kCyan);
  EXPECT_EQ(remaining(), "マッチング科目残数：0/15");
  auto* next = control<QPushButton>(main(), "B_Next");
  EXPECT_EQ(text(next->text()), "変換");
  EXPECT_TRUE(next->isEnabled());

  // Deleting a code unmaps the row at once; typing it again with Enter maps it and moves on.
  typeOver(box("T_N_KCode", 1), "");
  EXPECT_EQ(back("T_N_KCode", 1), kRed);
  EXPECT_EQ(remaining(), "マッチング科目残数：1/15");
  EXPECT_EQ(control<QLabel>(main(), "RemainObj")->palette().color(QPalette::WindowText),
            QColor(255, 0, 0));
  EXPECT_FALSE(next->isEnabled());
  typeOver(box("T_N_KCode", 1), "112");
  platform.messageAnswers = {MsgResult::Ok};
  QTest::keyClick(box("T_N_KCode", 1), Qt::Key_Return);
  EXPECT_EQ(platform.lastMessage().title, "注意");
  EXPECT_EQ(shown("T_N_KKJ", 1), "普通預金");
  EXPECT_EQ(back("T_N_KCode", 1), kCyan);
  EXPECT_EQ(main()->focusWidget(), box("T_N_KCode", 2));

  // The picker maps another row.
  typeOver(box("T_N_KCode", 2), "");
  click("B_N_KK_2");
  auto* picker = control<PickerDialog>(main(), "LedraItem");
  ASSERT_TRUE(picker->isVisible());
  EXPECT_EQ(text(picker->windowTitle()), "Ledra　勘定科目選択");
  auto* option = control<QRadioButton>(picker, "Op_Code_2");
  EXPECT_EQ(text(option->text()), "131");
  EXPECT_TRUE(option->isEnabled());
  EXPECT_FALSE(control<QRadioButton>(picker, "Op_Code_0")->isEnabled());  // 111 is taken
  wheel(option, -360);                                                    // a fast spin is one row
  EXPECT_EQ(control<QScrollBar>(picker, "VScroll_LedraItem")->value(), 1);
  EXPECT_EQ(text(option->text()), "141");
  wheel(option, 120);
  option->click();
  click("B_Exec", picker);
  EXPECT_FALSE(picker->isVisible());
  EXPECT_EQ(shown("T_N_KCode", 2), "131");
  EXPECT_EQ(shown("T_N_KKJ", 2), "売掛金");

  // The wheel over the panel moves both scroll bars one row.
  wheel(box("T_Y_KKJ", 4), -120);
  EXPECT_EQ(control<QScrollBar>(main(), "VS_conv_0")->value(), 1);
  EXPECT_EQ(control<QScrollBar>(main(), "VS_conv_1")->value(), 1);
  EXPECT_EQ(shown("T_Y_KKJ", 0), "普通預金");
  wheel(control<QScrollBar>(main(), "VS_conv_1"), 120);
  EXPECT_EQ(shown("T_Y_KKJ", 0), "現金");

  // Invalidating an account the journal does not use (the others cannot be).
  control<QScrollBar>(main(), "VS_conv_0")->setValue(5);
  EXPECT_EQ(control<QScrollBar>(main(), "VS_conv_1")->value(), 5);
  int unused = 0;
  while (unused < kPanelRows &&
         !control<QCheckBox>(main(), arrayName("C_TakeThisRec", unused).toLatin1())->isEnabled())
    ++unused;
  ASSERT_LT(unused, kPanelRows);
  const std::string invalidated = shown("T_Y_KKJ", unused);
  auto* invalid = control<QCheckBox>(main(), arrayName("C_TakeThisRec", unused).toLatin1());
  invalid->click();
  EXPECT_TRUE(invalid->isChecked());

  // A sub-account code: two equal codes clash until one is changed.
  click("B_ConvSelect_1");
  EXPECT_TRUE(control<QWidget>(main(), "F_Hojo")->isVisible());
  EXPECT_FALSE(control<QWidget>(main(), "F_Conv")->isVisible());
  auto* parents = control<QComboBox>(main(), "C_N_SKK");
  EXPECT_EQ(text(parents->itemText(0)), "全て表示");
  EXPECT_TRUE(box("T_N_HKCode", 0)->isReadOnly());
  const int bank = parents->findText("普通預金", Qt::MatchContains);
  ASSERT_GT(bank, 0);
  emit parents->activated(bank);
  EXPECT_EQ(text(control<QLabel>(main(), "L_Y_SYK")->text()), "弥生会計表記勘定科目\n普通預金");
  EXPECT_EQ(shown("T_N_HK", 0), "東西銀行");
  typeOver(box("T_N_HKCode", 0), "b01");
  QTest::keyClick(box("T_N_HKCode", 0), Qt::Key_Return);
  EXPECT_EQ(shown("T_N_HKCode", 0), "B01");
  EXPECT_EQ(main()->focusWidget(), box("T_N_HKCode", 1));
  typeOver(box("T_N_HKCode", 1), "B01");
  QTest::keyClick(box("T_N_HKCode", 1), Qt::Key_Return);
  EXPECT_EQ(back("T_N_HKCode", 0), kRed);
  EXPECT_EQ(back("T_N_HK", 1), kRed);
  EXPECT_FALSE(next->isEnabled());
  typeOver(box("T_N_HKCode", 1), "B02");
  QTest::keyClick(box("T_N_HKCode", 1), Qt::Key_Return);
  EXPECT_EQ(back("T_N_HKCode", 0), kCyan);
  ASSERT_TRUE(next->isEnabled());
  // A code typed without Enter is decided when the focus moves to another row.
  main()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(main()));
  typeOver(box("T_N_HKCode", 0), "b03");
  QTest::keyClick(box("T_N_HKCode", 0), Qt::Key_Tab);
  EXPECT_EQ(main()->focusWidget(), box("T_N_HKCode", 1));
  EXPECT_EQ(shown("T_N_HKCode", 0), "b03");
  typeOver(box("T_N_HKCode", 0), "B01");
  box("T_N_HKCode", 1)->setFocus();

  click("B_ConvSelect_2");
  EXPECT_TRUE(control<QWidget>(main(), "F_Bumon")->isVisible());
  EXPECT_FALSE(shown("T_N_BN", 0).empty());

  // 変換.
  platform.messageAnswers = {MsgResult::Ok};
  click("B_Next");
  EXPECT_EQ(platform.lastMessage().text,
            "変換を正常に終了しました。\r\n出力先: " + state.outputFolder +
                "\r\n圧縮ファイル: S0001234_output_20261208102030.zip");
  EXPECT_EQ(text(next->text()), "再変換");
  for (const char* file : {"kanjyo.csv", "hojokamoku.csv", "busho.csv", "zandaka.csv",
                           "shiwake.csv", "無効化一覧.txt"})
    EXPECT_TRUE(std::filesystem::exists(state.outputFolder + "/" + file)) << file;
  const std::string subs = ledra::testing::readCp932(state.outputFolder + "/hojokamoku.csv");
  EXPECT_NE(subs.find("B01"), std::string::npos);
  EXPECT_NE(subs.find("B02"), std::string::npos);
  EXPECT_NE(ledra::testing::readCp932(state.outputFolder + "/無効化一覧.txt").find(invalidated),
            std::string::npos);
}

// Times what a user does most on a full chart of accounts; printed, not asserted, because the
// machine's load decides the figures.
TEST_F(Mapping, FullChartOfAccountsWheelAndCodeDecisions) {
  bench::DatasetSize size = bench::DatasetSize::full();
  size.balanceRows = 2000;
  size.subAccounts = 500;
  size.parentAccounts = 50;
  size.subBalanceRows = 500;
  size.departments = 20;
  size.journalLines = 500;
  bench::writeDataset(dir.path(), size, 7);
  openMappingScreen(dir.file("yayoi"), dir.file("ledra_master.csv"));
  ASSERT_EQ(remaining(), "マッチング科目残数：0/2000");

  using Clock = std::chrono::steady_clock;
  auto report = [](const char* what, const std::vector<double>& ms) {
    double sum = 0, worst = 0;
    for (double m : ms) {
      sum += m;
      worst = std::max(worst, m);
    }
    std::printf("%s: %zu events, mean %.2f ms, max %.2f ms\n", what, ms.size(),
                sum / static_cast<double>(ms.size()), worst);
  };
  std::vector<double> wheelTimes;
  QWidget* over = box("T_Y_KKJ", 3);
  for (int i = 0; i < 100; ++i) {
    const auto start = Clock::now();
    wheel(over, -120);
    QApplication::processEvents();
    wheelTimes.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  EXPECT_EQ(control<QScrollBar>(main(), "VS_conv_0")->value(), 100);
  report("wheel step", wheelTimes);

  std::vector<double> decisionTimes;
  for (int i = 0; i < 100; ++i) {
    const int row = i % kPanelRows;
    QLineEdit* code = box("T_N_KCode", row);
    const QString stored = code->text();
    typeOver(code, "");  // unmapped at once
    typeOver(box("T_N_KCode", row), stored);
    platform.messageAnswers = {MsgResult::Ok};
    const auto start = Clock::now();
    QTest::keyClick(box("T_N_KCode", row), Qt::Key_Return);
    QApplication::processEvents();
    decisionTimes.push_back(
        std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  EXPECT_EQ(remaining(), "マッチング科目残数：0/2000");
  report("code decision", decisionTimes);
}

}  // namespace
}  // namespace ledra::gui
