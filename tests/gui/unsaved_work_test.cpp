#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "gui/conv_select_window.hpp"
#include "gui/gui_controller.hpp"
#include "gui/gui_test_support.hpp"
#include "gui/input_data.hpp"
#include "gui/main_window.hpp"
#include "gui/path_box.hpp"
#include "gui/qt_platform.hpp"
#include "state/conversion_state.hpp"
#include "state/work_state.hpp"
#include "support/fixtures.hpp"
#include "support/scripted_platform.hpp"

namespace ledra::gui {
namespace {

using ledra::testing::control;
using ledra::testing::ScriptedPlatform;
using ledra::testing::text;

// Saved work of one account mapped to 111, opened through the start form.
class RestoredWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ledra::testing::guiApplication();
    const std::string file = dir.file("work.dat");
    ledra::testing::writeOneAccountWork(file, dir.path());
    controller.start();
    platform.openAnswers = {file};
    QTest::mouseClick(control<QPushButton>(controller.convSelect(), "B_Continue"), Qt::LeftButton);
    ASSERT_NE(main(), nullptr);
    platform.messages.clear();
  }
  MainWindow* main() { return controller.mainWindow(); }
  void clearCode() {
    auto* code = control<QLineEdit>(main(), "T_N_KCode_0");
    QTest::mouseClick(code, Qt::LeftButton);
    QTest::keyClick(code, Qt::Key_End);
    for (int i = 0; i < 3; ++i) QTest::keyClick(code, Qt::Key_Backspace);
  }

  ledra::testing::TempDir dir;
  ConversionState state;
  ScriptedPlatform platform;
  GuiController controller{state, platform};
};

TEST_F(RestoredWindow, ClosingWithAChangedMappingOffersToSaveAndCancelKeepsTheWindow) {
  clearCode();
  ASSERT_EQ(state.workAccounts[0].ledraCode, "");
  auto* exit = control<QPushButton>(main(), "B_Exit");
  QTest::mouseClick(exit, Qt::LeftButton);  // キャンセル, the default
  EXPECT_TRUE(main()->isVisible());
  EXPECT_EQ(platform.lastMessage().buttons, MsgButtons::SaveDiscardCancel);
  EXPECT_EQ(platform.lastMessage().text.rfind(
                "Ledraデータコンバート Ver1.41を終了します。\r\n宜しいですか？\r\n", 0),
            0u);

  // The start form's 終了 asks the same while the work is open.
  platform.messages.clear();
  control<QPushButton>(controller.convSelect(), "B_Exit")->click();
  EXPECT_FALSE(controller.finished());
  EXPECT_EQ(platform.lastMessage().buttons, MsgButtons::SaveDiscardCancel);

  platform.messageAnswers = {MsgResult::No};
  QTest::mouseClick(exit, Qt::LeftButton);
  EXPECT_TRUE(controller.finished());
  EXPECT_FALSE(main()->isVisible());
}

TEST_F(RestoredWindow, TheOutputFolderButtonChoosesAnotherFolder) {
  auto* button = control<QPushButton>(main(), "B_OutputFolder");
  EXPECT_TRUE(button->isVisible());
  EXPECT_EQ(text(button->toolTip()), "出力先: " + dir.path());
  platform.folderAnswers = {dir.file("elsewhere")};
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(state.outputFolder, dir.file("elsewhere"));
  EXPECT_EQ(text(button->toolTip()), "出力先: " + dir.file("elsewhere"));
  EXPECT_EQ(text(control<QLineEdit>(main(), "T_ForderName")->text()), dir.file("elsewhere"));
}

// Undo brings the mapping back to what the file holds: closing no longer asks to save; redo
// makes it ask again. Undo itself writes nothing.
TEST_F(RestoredWindow, UndoAndRedoDecideWhetherClosingAsksToSave) {
  main()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(main()));
  clearCode();
  auto* code = control<QLineEdit>(main(), "T_N_KCode_0");
  QTest::keyClick(code, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(text(code->text()), "111");
  QTest::keyClick(code, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(text(code->text()), "");
  auto* exit = control<QPushButton>(main(), "B_Exit");
  QTest::mouseClick(exit, Qt::LeftButton);  // キャンセル
  EXPECT_EQ(platform.lastMessage().buttons, MsgButtons::SaveDiscardCancel);
  ASSERT_TRUE(main()->isVisible());

  QTest::keyClick(code, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(state.workAccounts[0].ledraCode, "111");
  platform.messageAnswers = {MsgResult::Ok};
  QTest::mouseClick(exit, Qt::LeftButton);
  EXPECT_EQ(platform.lastMessage().buttons, MsgButtons::OkCancel);
  EXPECT_TRUE(controller.finished());
}

// The close question: キャンセル is the default, so Enter keeps the work open.
TEST(UnsavedWorkBox, OffersSaveDiscardAndCancelWithCancelTheDefault) {
  ledra::testing::guiApplication();
  const MessageRequest request{"終了します。", "注意", MsgButtons::SaveDiscardCancel,
                               MsgIcon::Exclamation, 3};
  QtPlatform platform;
  QStringList buttons;
  QTimer press;
  QObject::connect(&press, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      press.stop();
      for (auto which : {QMessageBox::Save, QMessageBox::Discard, QMessageBox::Cancel})
        buttons << box->button(which)->text();
      QTest::keyClick(box, Qt::Key_Return);
    }
  });
  press.start(10);
  EXPECT_EQ(platform.messageBox(request), MsgResult::Cancel);
  EXPECT_EQ(text(buttons.join(' ')), "保存(&S) 保存しない(&N) キャンセル");
}

TEST(MessageText, BreaksOnlyAtNaturalPoints) {
  ledra::testing::guiApplication();
  const QFontMetrics m(QApplication::font());
  auto w = [&m](const char* s) { return m.horizontalAdvance(QString::fromUtf8(s)) + 1; };
  const char* path = "/home/user/Documents/Yayoi/Exchange/部門一覧表.txt";
  const struct {
    std::string text;
    int width;
    const char* lines;
  } cases[] = {
      {std::string(path) + "が存在しません。", w(path),
       "/home/user/Documents/Yayoi/Exchange/部門一覧表.txt\nが存在しません。"},
      {"勘定科目のあるフォルダを基準に、他のファイルも定義しますか？",
       w("勘定科目のあるフォルダを基準に、他の"),
       "勘定科目のあるフォルダを基準に、\n他のファイルも定義しますか？"},
      {"作業状態を\r\n/a/b.dat\r\nに保存しました。", 1000,
       "作業状態を\n/a/b.dat\nに保存しました。"},
      // One word wider than any line is the only thing cut inside.
      {"あいうえおかきくけこ", w("あいうえお"), "あいうえお\nかきくけこ"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(text(wrapAtNaturalPoints(QString::fromStdString(c.text), m, c.width)), c.lines)
        << c.text;

  // In the box Qt leaves the lines as they were broken.
  const std::string twice = std::string(path) + path + "が存在しません。";
  auto box = makeMessageBox({twice, "", MsgButtons::Ok, MsgIcon::None, 1}, nullptr);
  box->show();
  QApplication::processEvents();
  auto* label = box->findChild<QLabel*>("qt_msgbox_label");
  EXPECT_FALSE(label->wordWrap());
  EXPECT_EQ(text(label->text().remove('\n')), twice);
  EXPECT_TRUE(label->text().split('\n').last().endsWith("txtが存在しません。"))
      << text(label->text());
  box->hide();
}

TEST(PathBox, ShowsTheFileNameEndWhileNotBeingTyped) {
  ledra::testing::guiApplication();
  QWidget window;
  auto* other = new QLineEdit(&window);
  auto* box = new PathBox(&window);
  box->setGeometry(0, 30, 160, 22);
  const QString path = "/home/user/Documents/Yayoi/Exchange/勘定科目一覧表.txt";
  box->setText(path);
  window.show();
  QApplication::setActiveWindow(&window);
  other->setFocus();
  const QString shown = box->shownText();
  EXPECT_TRUE(shown.startsWith("/home")) << text(shown);
  EXPECT_TRUE(shown.endsWith("一覧表.txt")) << text(shown);
  EXPECT_TRUE(shown.contains(QChar(0x2026))) << text(shown);
  QTest::mouseClick(box, Qt::LeftButton);
  EXPECT_EQ(box->shownText(), path);
}

// A display name of its own would be appended by the window system to every title
// ("ようこそ — Ledraデータコンバート Ver1.41"); without one the titles stand as given.
TEST(Titles, TheApplicationAddsNothingToWindowTitles) {
  ledra::testing::guiApplication();
  const QFont font = QApplication::font();
  const QLocale locale;
  setUpApplication();
  EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
  QApplication::setFont(font);
  QLocale::setDefault(locale);
}

TEST(ProgressWindow, AppearsOnlyOnceTheRunHasLastedItsDelay) {
  ledra::testing::guiApplication();
  InputData slow;
  slow.setShowDelay(60'000);
  slow.start();
  slow.setTask("仕訳データ取込中");
  slow.setMaximum(10);
  slow.setValue(5);
  EXPECT_FALSE(slow.isVisible());
  InputData due;
  due.setShowDelay(0);
  due.start();
  EXPECT_TRUE(due.isVisible());
}

}  // namespace
}  // namespace ledra::gui
