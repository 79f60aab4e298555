#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include "gui/gui_test_support.hpp"

namespace {

// The real program, started with no arguments, opens the start form; a probe loaded into it
// finds the window by its caption and closes it, which ends the program.
TEST(Program, StartsItsWindowsWithoutArguments) {
  ledra::testing::guiApplication();
  QProcess program;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("QT_PLUGIN_PATH", LEDRA_PROBE_PLUGIN_DIR);
  env.insert("QT_QPA_GENERIC_PLUGINS", "ledraprobe");
  env.insert("LEDRA_PROBE_TITLE", "Ledraデータコンバート Ver1.41");
  program.setProcessEnvironment(env);
  program.start(LEDRA_BINARY, {});
  ASSERT_TRUE(program.waitForStarted(10000));
  ASSERT_TRUE(program.waitForFinished(30000)) << "the program did not end";
  const std::string out = program.readAllStandardOutput().toStdString();
  EXPECT_EQ(out, "found: ConvSelect Ledraデータコンバート Ver1.41\n")
      << program.readAllStandardError().toStdString();
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
}

}  // namespace
