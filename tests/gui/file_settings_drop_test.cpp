#include <gtest/gtest.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QUrl>
#include <filesystem>

#include "gui/conv_select_window.hpp"
#include "gui/gui_controller.hpp"
#include "gui/gui_test_support.hpp"
#include "gui/main_window.hpp"
#include "gui/qt_platform.hpp"
#include "state/conversion_state.hpp"
#include "support/fixtures.hpp"
#include "support/scripted_platform.hpp"

namespace ledra::gui {
namespace {

namespace fs = std::filesystem;
using ledra::testing::control;
using ledra::testing::ScriptedPlatform;
using ledra::testing::text;

const std::string kExamples = std::string(LEDRA_SOURCE_DIR) + "/examples";
const std::string kRenamedGolden =
    std::string(LEDRA_SOURCE_DIR) + "/tests/golden/renamed_reports/expected/files";

class DropOnFileSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    ledra::testing::guiApplication();
    fs::create_directories(source);
    controller.start();
    platform.openAnswers = {kExamples + "/ledra_master.csv"};
    control<QPushButton>(controller.convSelect(), "B_Ptn_0")->click();
    click("B_Next");
  }
  QWidget* main() { return controller.mainWindow(); }
  void click(const char* name) { control<QPushButton>(main(), name)->click(); }
  std::string row(int i) {
    return text(control<QLineEdit>(main(), ("T_FileName_" + std::to_string(i)).c_str())->text());
  }
  // Puts a report of the example company into the source folder under another name.
  std::string copyAs(const char* report, const std::string& name) {
    const std::string to = source + "/" + name;
    fs::copy_file(kExamples + "/yayoi/" + report + ".txt", to);
    return to;
  }
  // What the window system does with a drop: enter, then drop, on the screen's frame.
  void drop(const std::vector<std::string>& paths) {
    QWidget* screen = control<QWidget>(main(), "F_2ndStep");
    QMimeData data;
    QList<QUrl> urls;
    for (const std::string& p : paths) urls.append(QUrl::fromLocalFile(QString::fromStdString(p)));
    data.setUrls(urls);
    const QPointF at(screen->width() / 2.0, screen->height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(screen, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(screen, &dropped);
    ASSERT_TRUE(dropped.isAccepted());
    QApplication::processEvents();
  }

  ledra::testing::TempDir dir;
  std::string source = dir.file("exports");
  ConversionState state;
  ScriptedPlatform platform;
  GuiController controller{state, platform};
};

TEST_F(DropOnFileSettings, RenamedReportsDroppedAsAFolderConvertToTheSameFiles) {
  const char* reports[] = {"部門一覧表",     "勘定科目一覧表", "補助残高一覧表",
                           "科目残高試算表", "仕訳データ",     "補助科目一覧表"};
  for (int i = 1; i <= 6; ++i)
    copyAs(reports[i - 1], "export (" + std::to_string(i) + ")" +
                               (i <= 3   ? ".txt"
                                : i <= 5 ? ".csv"
                                         : ""));
  const size_t before = platform.messages.size();
  drop({source});
  EXPECT_EQ(platform.messages.size(), before);
  EXPECT_EQ(row(0), source + "/export (2).txt");
  EXPECT_EQ(row(5), source + "/export (5).csv");
  EXPECT_EQ(text(control<QLineEdit>(main(), "T_ForderName")->text()), source);

  auto* next = control<QPushButton>(main(), "B_Next");
  ASSERT_TRUE(next->isEnabled());
  click("B_Next");  // 読込
  ASSERT_EQ(text(next->text()), "変換");
  click("B_Next");  // 変換
  for (const auto& expected : fs::directory_iterator(kRenamedGolden)) {
    const std::string name = expected.path().filename().string();
    // The report names the run's time and input files; its golden copy has them replaced.
    if (name == "変換レポート.txt") {
      EXPECT_TRUE(fs::exists(source + "/" + name));
      continue;
    }
    EXPECT_EQ(ledra::testing::readBytes(source + "/" + name),
              ledra::testing::readBytes(expected.path().string()))
        << name;
  }
}

TEST_F(DropOnFileSettings, DroppedFilesFillTheirRowsAndAForeignFileIsNamed) {
  const std::string journal = copyAs("仕訳データ", "a.txt");
  const std::string accounts = copyAs("勘定科目一覧表", "b.txt");
  const std::string other = source + "/memo.txt";
  ledra::testing::writeCp932Lines(other, {"買い物メモ"});
  const std::string kept = row(4);
  drop({journal, other, accounts});
  EXPECT_EQ(row(0), accounts);
  EXPECT_EQ(row(5), journal);
  EXPECT_EQ(row(4), kept);  // no file for it: left as it was
  EXPECT_EQ(platform.lastMessage().text,
            "弥生会計のファイルを特定できません。\r\n" + other + ": 弥生会計の帳票ではありません");
  EXPECT_EQ(platform.lastMessage().title, "注意");
}

TEST_F(DropOnFileSettings, TwoJournalsInADroppedFolderFillNeitherAndNothingImports) {
  for (const char* r : {"部門一覧表", "勘定科目一覧表", "科目残高試算表"})
    copyAs(r, r + std::string(".csv"));
  const std::string first = copyAs("仕訳データ", "j1.txt");
  const std::string second = copyAs("仕訳データ", "j2.txt");
  drop({source});
  EXPECT_EQ(platform.lastMessage().text, source +
                                             "の弥生会計のファイルを特定できません。\r\n"
                                             "仕訳データのファイルが2つあります：" +
                                             first + "、" + second);
  EXPECT_EQ(row(5), "");
  EXPECT_FALSE(control<QPushButton>(main(), "B_Next")->isEnabled());
}

// The Qt platform keeps the folders in the user's settings, which the tests keep apart.
TEST(RememberedFolders, QtPlatformKeepsThemBetweenRuns) {
  ledra::testing::guiApplication();
  {
    QtPlatform first;
    EXPECT_EQ(first.rememberedFolder(RememberedFolder::SavedState), "");
    first.rememberFolder(RememberedFolder::Master, "/data/ledra");
    first.rememberFolder(RememberedFolder::Output, "/data/出力");
  }
  QtPlatform second;
  EXPECT_EQ(second.rememberedFolder(RememberedFolder::Master), "/data/ledra");
  EXPECT_EQ(second.rememberedFolder(RememberedFolder::Output), "/data/出力");
  EXPECT_EQ(second.rememberedFolder(RememberedFolder::Source), "");
}

}  // namespace
}  // namespace ledra::gui
