#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QTextBrowser>
#include <QUrl>
#include <filesystem>

#include "gui/gui_test_support.hpp"
#include "gui/qt_platform.hpp"
#include "support/fixtures.hpp"
#include "support/temp_dir.hpp"

namespace ledra::gui {
namespace {

// The report opens through the desktop's handler of file URLs; a path with blanks and
// Japanese arrives whole, and a file that is not there is not handed on.
TEST(OpenInViewer, HandsTheFileToTheDesktopOnlyWhenItExists) {
  ledra::testing::guiApplication();
  ledra::testing::TempDir dir;
  const std::string report = dir.file("出力 先/変換レポート.txt");
  std::filesystem::create_directory(dir.file("出力 先"));
  ledra::testing::writeBytes(report, "x\r\n");

  QTextBrowser viewer;  // stands in for the desktop's viewer: its setSource takes the URL
  QDesktopServices::setUrlHandler("file", &viewer, "setSource");
  QtPlatform platform;
  EXPECT_FALSE(platform.openInViewer(dir.file("変換レポート.txt")));
  EXPECT_TRUE(viewer.source().isEmpty());
  EXPECT_TRUE(platform.openInViewer(report));
  EXPECT_EQ(viewer.source().toLocalFile().toStdString(), report);
  QDesktopServices::unsetUrlHandler("file");
}

}  // namespace
}  // namespace ledra::gui
