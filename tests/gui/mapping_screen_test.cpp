#include "gui/mapping_screen.hpp"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSettings>
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
  void SetUp() override {
    ledra::testing::guiApplication();
    QSettings(QSettings::IniFormat, QSettings::UserScope, "ledra-convert", "window").clear();
  }

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
  QPushButton* button(const char* name, QWidget* window = nullptr) {
    return control<QPushButton>(window ? window : main(), name);
  }
  // The window in front takes the keys; they go to the control that has the focus.
  void activate(QWidget* window) {
    window->activateWindow();
    // A dialog counts as active with its owner; wait until it really has the keys.
    for (int i = 0; i < 100 && QApplication::activeWindow() != window; ++i) QTest::qWait(10);
    ASSERT_EQ(QApplication::activeWindow(), window);
    QApplication::processEvents();
  }
  QWidget* focused() { return QApplication::focusWidget(); }
  // Text an input method commits (Japanese, full-width), as it reaches the box.
  void commit(QWidget* w, const QString& text) {
    QInputMethodEvent e;
    e.setCommitString(text);
    QApplication::sendEvent(w, &e);
  }
  void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    ASSERT_NE(focused(), nullptr);
    QTest::keyClick(focused(), key, modifiers);
  }
  // Tab (or Shift+Tab) until the control has the focus.
  void tabTo(QWidget* target, bool back = false) {
    for (int i = 0; i < 200 && focused() != target; ++i)
      press(back ? Qt::Key_Backtab : Qt::Key_Tab);
    ASSERT_EQ(focused(), target) << target->objectName().toStdString();
  }

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
  EXPECT_TRUE(platform.lastMessage().text.starts_with(
      "変換を正常に終了しました。\r\n出力先: " + state.outputFolder +
      "\r\n圧縮ファイル: S0001234_output_20261208102030.zip\r\n"))
      << platform.lastMessage().text;
  EXPECT_TRUE(platform.lastMessage().text.ends_with("\r\n\r\n変換レポートを開きますか？"));
  EXPECT_EQ(platform.viewed, std::vector<std::string>{state.outputFolder + "/変換レポート.txt"});
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

// Ctrl+Z and Ctrl+Y in a code box undo and redo the screen's changes, not the box's text:
// the row, the remaining count, 変換 and the buttons follow.
TEST_F(Mapping, UndoAndRedoByKeyOnTheWindow) {
  const std::string source = dir.file("yayoi");
  std::filesystem::copy(kExamples + "/yayoi", source);
  openMappingScreen(source, kExamples + "/ledra_master.csv");
  activate(main());
  auto* next = button("B_Next");
  auto* undo = button("B_Undo");
  auto* redo = button("B_Redo");
  EXPECT_FALSE(undo->isEnabled());

  typeOver(box("T_N_KCode", 1), "");  // one step
  typeOver(box("T_N_KCode", 1), "112");
  platform.messageAnswers = {MsgResult::Ok};
  press(Qt::Key_Return);  // the next step; the focus moves on to row 2
  ASSERT_EQ(focused(), box("T_N_KCode", 2));
  typeOver(box("T_N_KCode", 2), "9");  // typed, not decided
  EXPECT_TRUE(undo->isEnabled());
  EXPECT_FALSE(redo->isEnabled());

  press(Qt::Key_Z, Qt::ControlModifier);  // the undecided text
  EXPECT_EQ(shown("T_N_KCode", 2), "131");
  EXPECT_EQ(state.workAccounts[1].ledraCode, "112");
  press(Qt::Key_Z, Qt::ControlModifier);  // the code typed with Enter
  EXPECT_EQ(shown("T_N_KCode", 1), "");
  EXPECT_EQ(shown("T_N_KKJ", 1), "");
  EXPECT_EQ(back("T_N_KCode", 1), kRed);
  EXPECT_EQ(remaining(), "マッチング科目残数：1/15");
  EXPECT_FALSE(next->isEnabled());
  EXPECT_TRUE(redo->isEnabled());
  press(Qt::Key_Z, Qt::ControlModifier);  // the cleared code
  EXPECT_EQ(shown("T_N_KCode", 1), "112");
  EXPECT_EQ(back("T_N_KCode", 1), kCyan);
  EXPECT_EQ(remaining(), "マッチング科目残数：0/15");
  EXPECT_TRUE(next->isEnabled());
  EXPECT_FALSE(undo->isEnabled());

  press(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(shown("T_N_KCode", 1), "");
  EXPECT_FALSE(next->isEnabled());
  press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(shown("T_N_KKJ", 1), "普通預金");
  EXPECT_TRUE(next->isEnabled());
  QTest::mouseClick(undo, Qt::LeftButton);
  EXPECT_EQ(remaining(), "マッチング科目残数：1/15");
}

// An emptied row shows its best suggestion in the placeholder grey; Ctrl+Enter takes it as
// if it were typed, and the one undo step takes it back.
TEST_F(Mapping, TheSuggestionInAnEmptyRowAndCtrlEnter) {
  const std::string source = dir.file("yayoi");
  std::filesystem::copy(kExamples + "/yayoi", source);
  openMappingScreen(source, kExamples + "/ledra_master.csv");
  activate(main());
  EXPECT_EQ(text(box("T_N_KCode", 1)->placeholderText()), "");
  typeOver(box("T_N_KCode", 1), "");
  EXPECT_EQ(shown("T_N_KCode", 1), "");
  EXPECT_EQ(text(box("T_N_KCode", 1)->placeholderText()), "112");
  EXPECT_EQ(text(box("T_N_KKJ", 1)->placeholderText()), "候補: 普通預金");
  EXPECT_EQ(text(box("T_N_KCode", 1)->toolTip()), "候補: 112 普通預金（Ctrl+Enterで割り当てます）");
  platform.messageAnswers = {MsgResult::Ok};
  press(Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(shown("T_N_KCode", 1), "112");
  EXPECT_EQ(shown("T_N_KKJ", 1), "普通預金");
  EXPECT_EQ(text(box("T_N_KKJ", 1)->placeholderText()), "");
  EXPECT_EQ(remaining(), "マッチング科目残数：0/15");
  EXPECT_EQ(focused(), box("T_N_KCode", 2));
  press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(shown("T_N_KCode", 1), "");
  EXPECT_EQ(text(box("T_N_KCode", 1)->placeholderText()), "112");
}

// The parent choices and 変換 follow a code change at once; the wheel only scrolls.
TEST_F(Mapping, ACodeChangeReachesTheParentChoicesAndTheWheelLeavesThem) {
  const std::string source = dir.file("yayoi");
  std::filesystem::copy(kExamples + "/yayoi", source);
  openMappingScreen(source, kExamples + "/ledra_master.csv");
  auto* parents = control<QComboBox>(main(), "C_N_SKK");
  auto* next = button("B_Next");
  auto choices = [&] {
    click("B_ConvSelect_1");
    QStringList items;
    for (int i = 0; i < parents->count(); ++i) items << parents->itemText(i);
    click("B_ConvSelect_0");
    return items;
  };
  const QStringList before = choices();
  const int bank = static_cast<int>(before.indexOf("112：普通預金"));
  ASSERT_GT(bank, 0);

  typeOver(box("T_N_KCode", 1), "");
  EXPECT_FALSE(next->isEnabled());
  QStringList unmapped = before;
  unmapped[bank] = "勘定科目未設定";
  EXPECT_EQ(choices(), unmapped);
  for (int i = 0; i < 3; ++i) wheel(box("T_Y_KKJ", 2), -120);
  wheel(box("T_Y_KKJ", 2), 120);
  EXPECT_EQ(control<QScrollBar>(main(), "VS_conv_0")->value(), 2);
  EXPECT_FALSE(next->isEnabled());
  EXPECT_EQ(choices(), unmapped);

  control<QScrollBar>(main(), "VS_conv_0")->setValue(0);
  typeOver(box("T_N_KCode", 1), "112");
  platform.messageAnswers = {MsgResult::Ok};
  QTest::keyClick(box("T_N_KCode", 1), Qt::Key_Return);
  EXPECT_TRUE(next->isEnabled());
  EXPECT_EQ(choices(), before);
}

TEST_F(Mapping, ThePickerMapsTheLastAccountAndTypedBlanksLeaveTheCursorWhereItWas) {
  const std::string source = dir.file("yayoi");
  std::filesystem::copy(kExamples + "/yayoi", source);
  openMappingScreen(source, kExamples + "/ledra_master.csv");
  activate(main());
  QPushButton* next = button("B_Next");

  // Keys 6, space, 3, 1: the blank goes and the digits stay in the order typed.
  QLineEdit* code = box("T_N_KCode", 1);
  typeOver(code, "");
  EXPECT_FALSE(next->isEnabled());
  QTest::keyClicks(code, "6 31");
  EXPECT_EQ(text(code->text()), "631");
  EXPECT_EQ(code->cursorPosition(), 3);
  QTest::keyClick(code, Qt::Key_Home);
  commit(code, "１");  // full-width, as an input method gives it
  QTest::keyClick(code, Qt::Key_Space);
  EXPECT_EQ(text(code->text()), "1631");
  EXPECT_EQ(code->cursorPosition(), 1);
  typeOver(code, "");

  // The picker maps the one account left: 変換 becomes available at once.
  EXPECT_EQ(remaining(), "マッチング科目残数：1/15");
  QTest::mouseClick(button("B_N_KK_1"), Qt::LeftButton);
  auto* picker = control<PickerDialog>(main(), "LedraItem");
  ASSERT_TRUE(picker->isVisible());
  // The wheel over the search box, the check box or a button moves the list as over the list.
  auto* like = control<QLineEdit>(picker, "T_Like");
  auto* list = control<QScrollBar>(picker, "VScroll_LedraItem");
  wheel(like, -120);
  wheel(control<QCheckBox>(picker, "C_AutoCollect"), -120);
  wheel(button("B_Exec", picker), 120);
  EXPECT_EQ(list->value(), 1);
  commit(like, "普通預金");
  QTest::mouseClick(button("B_Like", picker), Qt::LeftButton);
  auto* option = control<QRadioButton>(picker, "Op_Code_0");
  ASSERT_EQ(text(option->text()), "112");
  QTest::mouseClick(option, Qt::LeftButton);
  QTest::mouseClick(button("B_Exec", picker), Qt::LeftButton);
  EXPECT_FALSE(picker->isVisible());
  EXPECT_EQ(remaining(), "マッチング科目残数：0/15");
  EXPECT_TRUE(next->isEnabled());

  // A sub-account code: keys a, space, b, c give "abc", and Enter takes it as "ABC".
  QTest::mouseClick(button("B_ConvSelect_1"), Qt::LeftButton);
  auto* parents = control<QComboBox>(main(), "C_N_SKK");
  const int bank = parents->findText("普通預金", Qt::MatchContains);
  ASSERT_GT(bank, 0);
  emit parents->activated(bank);
  QLineEdit* sub = box("T_N_HKCode", 0);
  typeOver(sub, "");
  QTest::keyClicks(sub, "a bc");
  EXPECT_EQ(text(sub->text()), "abc");
  QTest::keyClick(sub, Qt::Key_Return);
  EXPECT_EQ(state.workSubAccounts[0].newSubCode, "ABC");

  // The department rows need nothing: light cyan.
  QTest::mouseClick(button("B_ConvSelect_2"), Qt::LeftButton);
  EXPECT_EQ(back("T_N_BCode", 0), kCyan);
  EXPECT_EQ(back("T_N_CBN", 9), kCyan);
}

TEST_F(Mapping, TheWheelOverTheWholeFormAndATallerWindowShowingMoreRows) {
  const std::string source = dir.file("yayoi");
  std::filesystem::copy(kExamples + "/yayoi", source);
  openMappingScreen(source, kExamples + "/ledra_master.csv");
  auto* bar = control<QScrollBar>(main(), "VS_conv_0");
  // Over 変換, 終了, 作業状態を保存 and the company's name: the visible panel moves.
  wheel(button("B_Next"), -120);
  wheel(button("B_StatusSave"), -120);
  wheel(control<QLabel>(main(), "L_Company"), -120);
  wheel(button("B_Exit"), 120);
  EXPECT_EQ(bar->value(), 2);
  EXPECT_EQ(shown("T_Y_KKJ", 0), "売掛金");

  // Fifteen accounts: a window five rows taller shows them all, and nothing scrolls.
  EXPECT_FALSE(main()->findChild<QLineEdit*>("T_Y_KKJ_10") &&
               main()->findChild<QLineEdit*>("T_Y_KKJ_10")->isVisible());
  const QSize design = main()->size();
  main()->resize(design.width() + 200, design.height() + 5 * 24);
  EXPECT_EQ(main()->minimumSize(), design);
  ASSERT_TRUE(box("T_Y_KKJ", 14)->isVisible());
  EXPECT_EQ(shown("T_Y_KKJ", 0), "現金");
  EXPECT_EQ(bar->maximum(), 0);
  EXPECT_LT(box("T_Y_KKJ", 14)->mapTo(main(), QPoint(0, 22)).y(), button("B_Next")->y());
  // Enter in the last row shown moves the focus nowhere further and keeps the list.
  activate(main());
  box("T_N_KCode", 14)->setFocus();
  QTest::keyClick(box("T_N_KCode", 14), Qt::Key_Return);
  EXPECT_EQ(focused(), box("T_N_KCode", 14));

  // The size is remembered for the next time the mapping screen opens.
  const QSize taller = main()->size();
  main()->hide();
  MainPresenter again(state, platform);
  ASSERT_TRUE(again.load(StartMode::Restored));
  MainWindow reopened(again);
  reopened.render();
  reopened.show();
  EXPECT_EQ(reopened.size(), taller);
  EXPECT_TRUE(control<QLineEdit>(&reopened, "T_Y_KKJ_14")->isVisible());
}

TEST_F(Mapping, TheExampleCompanyByKeyboardAlone) {
  const std::string source = dir.file("yayoi");
  std::filesystem::copy(kExamples + "/yayoi", source);
  controller.start();
  activate(controller.convSelect());
  EXPECT_EQ(focused(), button("B_Ptn_0", controller.convSelect()));
  // The focus is marked before any Tab.
  EXPECT_TRUE(controller.convSelect()->testAttribute(Qt::WA_KeyboardFocusChange));
  platform.openAnswers = {kExamples + "/ledra_master.csv"};
  press(Qt::Key_Return);
  ASSERT_NE(main(), nullptr);
  activate(main());
  EXPECT_EQ(focused(), button("B_Next"));  // the welcome screen
  press(Qt::Key_Return);
  ASSERT_TRUE(control<QWidget>(main(), "F_2ndStep")->isVisible());
  platform.openAnswers = {source + "/勘定科目一覧表.txt"};
  platform.messageAnswers = {MsgResult::Yes};
  tabTo(button("B_SelectFile_0"));
  press(Qt::Key_Return);
  EXPECT_EQ(platform.lastMessage().title, "自動定義");
  tabTo(button("B_Next"));
  press(Qt::Key_Return);
  ASSERT_TRUE(control<QWidget>(main(), "F_Conv")->isVisible());
  EXPECT_EQ(focused(), box("T_N_KCode", 0));

  // Down to the last row and one further: the list moves one row.
  for (int i = 0; i < 10; ++i) press(Qt::Key_Down);
  EXPECT_EQ(focused(), box("T_N_KCode", 9));
  EXPECT_EQ(control<QScrollBar>(main(), "VS_conv_0")->value(), 1);
  press(Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(control<QScrollBar>(main(), "VS_conv_1")->value(), 5);
  press(Qt::Key_Home, Qt::ControlModifier);
  press(Qt::Key_Down);
  EXPECT_EQ(focused(), box("T_N_KCode", 1));

  // The code cleared, then the picker from the keyboard: 選択, the search, a row, Enter.
  press(Qt::Key_A, Qt::ControlModifier);
  press(Qt::Key_Backspace);
  EXPECT_EQ(remaining(), "マッチング科目残数：1/15");
  tabTo(button("B_N_KK_1"));
  press(Qt::Key_Return);
  auto* picker = control<PickerDialog>(main(), "LedraItem");
  ASSERT_TRUE(picker->isVisible());
  activate(picker);
  tabTo(control<QLineEdit>(picker, "T_Like"));
  commit(focused(), "普通預金");
  press(Qt::Key_Return);  // searches; does not press OK
  ASSERT_TRUE(picker->isVisible());
  EXPECT_EQ(text(control<QRadioButton>(picker, "Op_Code_0")->text()), "112");
  press(Qt::Key_Backtab);
  EXPECT_EQ(focused(), control<QCheckBox>(picker, "C_AutoCollect"));
  press(Qt::Key_Return);  // nothing chosen yet: nothing happens
  ASSERT_TRUE(picker->isVisible());
  press(Qt::Key_Down);
  EXPECT_TRUE(control<QRadioButton>(picker, "Op_Code_0")->isChecked());
  press(Qt::Key_Return);
  EXPECT_FALSE(picker->isVisible());
  EXPECT_EQ(shown("T_N_KCode", 1), "112");
  EXPECT_TRUE(button("B_Next")->isEnabled());

  // 変換, the question answered by Enter on OK.
  activate(main());
  platform.messageAnswers = {MsgResult::Ok};
  tabTo(button("B_Next"), true);
  press(Qt::Key_Return);
  EXPECT_TRUE(platform.lastMessage().text.starts_with("変換を正常に終了しました。"));
  EXPECT_TRUE(std::filesystem::exists(state.outputFolder + "/shiwake.csv"));
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
