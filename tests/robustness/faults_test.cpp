// Faults around a conversion: each gives a clear message, leaves the earlier outputs as they
// were and the state in memory as it was, so that 変換 can simply be tried again.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/file_io.hpp"
#include "state/conversion_state.hpp"
#include "state/work_state.hpp"
#include "state/work_state_format.hpp"
#include "support/fixtures.hpp"
#include "support/scripted_platform.hpp"
#include "support/temp_dir.hpp"
#include "wizard/step_flow.hpp"

namespace ledra {
namespace {

namespace fs = std::filesystem;

class Faults : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string examples = std::string(LEDRA_SOURCE_DIR) + "/examples";
    fs::create_directories(out());
    const std::string import = std::string(LEDRA_BINARY) + " import --package yayoi --master '" +
                               examples + "/ledra_master.csv' --source-dir '" + examples +
                               "/yayoi' --output '" + out() + "' --save '" + statePath() +
                               "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(import.c_str()), 0);
    ASSERT_TRUE(restoreWorkStateFromFile(state, platform, statePath()));
    held = *workStateBytes(state, nullptr);
  }
  void TearDown() override { injectWriteErrorForTesting(0); }

  std::string out() const { return dir.file("out"); }
  std::string statePath() const { return dir.file("state.dat"); }
  StepOutcome convert() {
    platform.messages.clear();
    return runOutputStep(state, platform, false);
  }
  // The tables and settings, as the work-state file would carry them.
  std::string heldNow() const { return *workStateBytes(state, nullptr); }

  testing::TempDir dir;
  testing::ScriptedPlatform platform;
  ConversionState state;
  std::string held;
};

TEST_F(Faults, OutputFolderRemovedBeforeTheConversion) {
  fs::remove_all(out());
  EXPECT_EQ(convert(), StepOutcome::Failed);
  EXPECT_EQ(platform.lastMessage().text,
            "kanjyo.csv出力に失敗しました。\r\n" + out() +
                "/kanjyo.csv: ファイルを書き込めません（ファイルまたはフォルダがありません: No "
                "such file or directory）");
  EXPECT_FALSE(fs::exists(out()));
  EXPECT_EQ(heldNow(), held);
  fs::create_directories(out());
  EXPECT_EQ(convert(), StepOutcome::Done);
}

TEST_F(Faults, ReadOnlyOutputFolder) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  ASSERT_EQ(convert(), StepOutcome::Done);
  const std::string earlier = testing::readBytes(out() + "/kanjyo.csv");
  ::chmod(out().c_str(), 0555);
  EXPECT_EQ(convert(), StepOutcome::Failed);
  ::chmod(out().c_str(), 0755);
  EXPECT_EQ(platform.lastMessage().text,
            "kanjyo.csv出力に失敗しました。\r\n" + out() +
                "/kanjyo.csv: ファイルを書き込めません（アクセスが許可されていません: Permission "
                "denied）");
  EXPECT_EQ(testing::readBytes(out() + "/kanjyo.csv"), earlier);
  EXPECT_EQ(heldNow(), held);
  EXPECT_EQ(convert(), StepOutcome::Done);
}

TEST_F(Faults, DiskFull) {
  ASSERT_EQ(convert(), StepOutcome::Done);
  const std::string earlier = testing::readBytes(out() + "/kanjyo.csv");
  injectWriteErrorForTesting(ENOSPC);
  EXPECT_EQ(convert(), StepOutcome::Failed);
  EXPECT_EQ(platform.lastMessage().text,
            "kanjyo.csv出力に失敗しました。\r\n" + out() +
                "/kanjyo.csv: ファイルを書き込めません（ディスクの空き容量が足りません: " +
                std::strerror(ENOSPC) + "）");
  EXPECT_EQ(testing::readBytes(out() + "/kanjyo.csv"), earlier);
  for (const auto& e : fs::directory_iterator(out()))
    EXPECT_FALSE(e.path().filename().string().starts_with(".ledra-tmp")) << e.path();
  EXPECT_EQ(heldNow(), held);
  injectWriteErrorForTesting(0);
  EXPECT_EQ(convert(), StepOutcome::Done);
}

TEST_F(Faults, WorkStateFileThatCannotBeRead) {
  const std::string folder = dir.file("a folder.dat");
  fs::create_directories(folder);
  EXPECT_FALSE(restoreWorkStateFromFile(state, platform, folder));
  EXPECT_EQ(platform.lastMessage().text, "保存ファイルを読み込めません。\r\n" + folder +
                                             ": フォルダです（ファイルを指定してください）");
  EXPECT_EQ(platform.lastMessage().title, "エラー");
  EXPECT_EQ(heldNow(), held);
  if (::geteuid() != 0) {
    ::chmod(statePath().c_str(), 0);
    EXPECT_FALSE(restoreWorkStateFromFile(state, platform, statePath()));
    EXPECT_EQ(platform.lastMessage().text,
              "保存ファイルを読み込めません。\r\n" + statePath() +
                  ": ファイルを読み込めません（アクセスが許可されていません: Permission denied）");
    EXPECT_EQ(heldNow(), held);
  }
  EXPECT_EQ(convert(), StepOutcome::Done);
}

}  // namespace
}  // namespace ledra
