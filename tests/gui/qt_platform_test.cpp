#include "gui/qt_platform.hpp"

#include <gtest/gtest.h>

#include <QCursor>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "gui/gui_test_support.hpp"
#include "gui/input_data.hpp"

namespace ledra::gui {
namespace {

using ledra::testing::text;

TEST(QtPlatform, FiltersInQtForm) {
  const std::pair<const char*, const char*> cases[] = {
      {"CSVファイル(*.csv)|*.csv", "CSVファイル(*.csv)"},
      {"全てのファイル(*.*)|*.*", "全てのファイル(*.*)"},
      {"datファイル|*.dat|すべてのファイル|*.*", "datファイル (*.dat);;すべてのファイル (*.*)"},
      {"テキスト|*.txt;*.csv", "テキスト (*.txt *.csv)"},
      {"", ""},
  };
  for (const auto& [ours, qt] : cases) EXPECT_EQ(text(toQtFilter(ours)), qt) << ours;
}

TEST(QtPlatform, MessageBoxesHaveTheRequestedButtonsIconAndDefault) {
  ledra::testing::guiApplication();
  MessageRequest r{"勘定科目のあるフォルダを基準に\r\n他のファイルも定義しますか？", "自動定義",
                   MsgButtons::YesNo, MsgIcon::Information, 2};
  auto box = makeMessageBox(r, nullptr);
  EXPECT_EQ(text(box->windowTitle()), "自動定義");
  EXPECT_EQ(text(box->text()), "勘定科目のあるフォルダを基準に\n他のファイルも定義しますか？");
  EXPECT_EQ(box->icon(), QMessageBox::Information);
  EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
  EXPECT_EQ(box->escapeButton(), box->button(QMessageBox::No));
  EXPECT_EQ(text(box->button(QMessageBox::Yes)->text()), "はい(&Y)");

  auto plain = makeMessageBox({"x", "", MsgButtons::OkCancel, MsgIcon::Question, 1}, nullptr);
  EXPECT_EQ(text(plain->windowTitle()), "Ledraデータコンバート Ver1.41");
  EXPECT_EQ(plain->defaultButton(), plain->button(QMessageBox::Ok));
  EXPECT_EQ(plain->escapeButton(), plain->button(QMessageBox::Cancel));
  EXPECT_EQ(text(plain->button(QMessageBox::Cancel)->text()), "キャンセル");
  EXPECT_EQ(toMsgResult(QMessageBox::Cancel), MsgResult::Cancel);
  EXPECT_EQ(toMsgResult(QMessageBox::No), MsgResult::No);
}

// Keys pressed in the box once it is up: Enter takes the default button, a letter its button
// without Alt, Escape the way out.
TEST(QtPlatform, MessageBoxAnswersTheKeysAPersonPresses) {
  ledra::testing::guiApplication();
  QtPlatform platform;
  const MessageRequest autoDefine{"他のファイルも定義しますか？", "自動定義", MsgButtons::YesNo,
                                  MsgIcon::Information, 2};
  const MessageRequest close{"終了します。", "注意", MsgButtons::OkCancel, MsgIcon::None, 1};
  const struct {
    MessageRequest request;
    Qt::Key key;
    MsgResult answer;
  } cases[] = {
      {autoDefine, Qt::Key_Return, MsgResult::No}, {autoDefine, Qt::Key_Y, MsgResult::Yes},
      {autoDefine, Qt::Key_Escape, MsgResult::No}, {close, Qt::Key_Return, MsgResult::Ok},
      {close, Qt::Key_Escape, MsgResult::Cancel},
  };
  for (const auto& c : cases) {
    QTimer press;
    QObject::connect(&press, &QTimer::timeout, [&] {
      if (QWidget* box = QApplication::activeModalWidget()) {
        press.stop();
        QTest::keyClick(box, c.key);
      }
    });
    press.start(10);
    EXPECT_EQ(platform.messageBox(c.request), c.answer) << c.request.title << " " << c.key;
  }
}

TEST(QtPlatform, DialogsTakeTitleFolderFilterAndOptions) {
  ledra::testing::guiApplication();
  FileDialogRequest r;
  r.title = "ログファイルを作成";
  r.filter = "datファイル|*.dat|すべてのファイル|*.*";
  r.initialFolder = "/tmp";
  r.options.overwritePrompt = true;
  auto save = makeFileDialog(r, true, nullptr);
  EXPECT_EQ(text(save->windowTitle()), "ログファイルを作成");
  EXPECT_EQ(save->acceptMode(), QFileDialog::AcceptSave);
  EXPECT_FALSE(save->testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_EQ(text(save->selectedNameFilter()), "datファイル (*.dat)");
  EXPECT_EQ(text(save->directory().absolutePath()), "/tmp");

  r.options = {};
  r.options.fileMustExist = true;
  auto open = makeFileDialog(r, false, nullptr);
  EXPECT_EQ(open->fileMode(), QFileDialog::ExistingFile);

  auto folder = makeFolderDialog("フォルダーを選択してください", nullptr);
  EXPECT_EQ(folder->fileMode(), QFileDialog::Directory);
  EXPECT_EQ(text(folder->windowTitle()), "フォルダーを選択してください");

  auto input = makeInputDialog({"会計年度", "会計年度を入力して下さい。", "2007"}, nullptr);
  EXPECT_EQ(text(input->labelText()), "会計年度");
  EXPECT_EQ(text(input->textValue()), "2007");
}

TEST(QtPlatform, ProgressWindowFollowsTheWorkAndClosesAndTheCursorIsRestored) {
  ledra::testing::guiApplication();
  QtPlatform platform;
  platform.setProgressShowDelay(0);
  platform.progressShow();
  platform.progressSetCaption("kanjyo.csv出力中");
  platform.progressSetMax(30001);
  platform.progressSetValue(15000);
  const auto windows = QApplication::topLevelWidgets();
  InputData* shown = nullptr;
  for (QWidget* w : windows)
    if (w->objectName() == "InputData" && w->isVisible()) shown = static_cast<InputData*>(w);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(text(shown->windowTitle()), "kanjyo.csv出力中");
  EXPECT_EQ(shown->bar()->value() * 100 / shown->bar()->maximum(), 49);
  platform.progressHide();
  for (QWidget* w : QApplication::topLevelWidgets())
    EXPECT_FALSE(w->objectName() == "InputData" && w->isVisible());

  platform.setBusy(true);
  platform.setBusy(true);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  platform.setBusy(false);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace ledra::gui
