// Faults around a conversion: each gives a clear message, leaves the earlier outputs as they
// were and the state in memory as it was, so that 変換 can simply be tried again.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_io.hpp"
#include "platform/file_lock.hpp"
#include "state/conversion_state.hpp"
#include "state/work_state.hpp"
#include "state/work_state_format.hpp"
#include "support/fixtures.hpp"
#include "support/run_binary.hpp"
#include "support/scripted_platform.hpp"
#include "support/temp_dir.hpp"
#include "support/zip_reader.hpp"
#include "wizard/step_flow.hpp"

namespace ledra {
namespace {

namespace fs = std::filesystem;

class Faults : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(out());
    ASSERT_EQ(testing::importExampleCompany(statePath(), out()).status, 0);
    ASSERT_TRUE(restoreWorkStateFromFile(state, platform, statePath()));
    held = *workStateBytes(state, nullptr);
  }
  void TearDown() override {
    injectWriteErrorForTesting(0);
    injectSyncErrorForTesting(0);
    setLockWaitForTesting(std::chrono::milliseconds(5000));
  }

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

TEST_F(Faults, FileThatCannotBeFlushedToTheDisk) {
  ASSERT_EQ(convert(), StepOutcome::Done);
  const std::string earlier = testing::readBytes(out() + "/kanjyo.csv");
  injectSyncErrorForTesting(EIO);
  EXPECT_EQ(convert(), StepOutcome::Failed);
  EXPECT_EQ(platform.lastMessage().text,
            "kanjyo.csv出力に失敗しました。\r\n" + out() +
                "/kanjyo.csv: ファイルを書き込めません（読み書き中に装置のエラーが起きました: " +
                std::strerror(EIO) + "）");
  EXPECT_EQ(testing::readBytes(out() + "/kanjyo.csv"), earlier);
  injectSyncErrorForTesting(0);
  EXPECT_EQ(convert(), StepOutcome::Done);
}

// Holds a lock from another process, as a second run would, until the guard ends.
class LockHeldElsewhere {
 public:
  explicit LockHeldElsewhere(const std::string& lockFile) {
    int ready[2];
    EXPECT_EQ(::pipe(ready), 0);
    pid_ = ::fork();
    if (pid_ == 0) {
      FileLock lock;
      const char ok = lock.acquire(lockFile) == FileLock::Outcome::Locked ? 'y' : 'n';
      (void)!::write(ready[1], &ok, 1);
      ::pause();
      ::_exit(0);
    }
    char ok = 'n';
    (void)!::read(ready[0], &ok, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(ok, 'y');
  }
  ~LockHeldElsewhere() {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }

 private:
  pid_t pid_ = -1;
};

// While another run writes into the folder (or saves the state), a run waits briefly, then
// stops with a message and changes nothing.
TEST_F(Faults, FolderOrStateInUseByAnotherRun) {
  setLockWaitForTesting(std::chrono::milliseconds(200));
  {
    LockHeldElsewhere other(outputFolderLockFile(out()));
    EXPECT_EQ(convert(), StepOutcome::Failed);
    EXPECT_EQ(platform.messageTexts(),
              std::vector<std::string>{"出力先フォルダは別の変換で使用中です。\r\n" + out()});
    EXPECT_TRUE(fs::is_empty(out()) || std::vector<fs::path>(fs::directory_iterator(out()), {}) ==
                                           std::vector<fs::path>{outputFolderLockFile(out())});
  }
  {
    const std::string before = testing::readBytes(statePath());
    LockHeldElsewhere other(workStateLockFile(statePath()));
    platform.messages.clear();
    EXPECT_FALSE(saveWorkStateToFile(state, platform, statePath()));
    EXPECT_EQ(
        platform.messageTexts(),
        std::vector<std::string>{"作業状態ファイルは別の処理で使用中です。\r\n" + statePath()});
    EXPECT_EQ(testing::readBytes(statePath()), before);
  }
  EXPECT_EQ(convert(), StepOutcome::Done);
  EXPECT_TRUE(saveWorkStateToFile(state, platform, statePath()));
}

// Two conversions started together into one folder: each either finishes or says the folder
// is in use, and the folder holds one set, its archive holding that set's files.
TEST_F(Faults, TwoConversionsAtOnceLeaveOneSet) {
  state.ledraUserName = "別の商店";
  const std::string other = dir.file("other.dat");
  ASSERT_TRUE(saveWorkStateToFile(state, platform, other));
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    const std::string script = "'" + std::string(LEDRA_BINARY) + "' convert --state '" +
                               statePath() + "' >'" + dir.file("a.out") + "' 2>&1 & '" +
                               std::string(LEDRA_BINARY) + "' convert --state '" + other + "' >'" +
                               dir.file("b.out") + "' 2>&1; wait";
    ASSERT_EQ(std::system(script.c_str()), 0);
    for (const char* log : {"a.out", "b.out"}) {
      const std::string text = testing::readBytes(dir.file(log));
      // Within one second the second run is first asked about the archive of the same name.
      EXPECT_TRUE(text.find("変換を正常に終了しました。\n") != std::string::npos ||
                  text == "出力先フォルダは別の変換で使用中です。\n" + out() + "\n")
          << text;
    }
    std::vector<std::string> archives;
    for (const auto& e : fs::directory_iterator(out())) {
      const std::string name = e.path().filename().string();
      EXPECT_FALSE(name.starts_with(".")) << name;  // no staging folder, temporary or lock
      if (name.ends_with(".zip")) archives.push_back(name);
    }
    ASSERT_FALSE(archives.empty());
    // The newest archive is the one the folder's files came with.
    const auto members =
        testing::readZip(out() + "/" + *std::max_element(archives.begin(), archives.end()));
    ASSERT_EQ(members.size(), 4u);
    const std::string company = testing::readCp932Lines(out() + "/kanjyo.csv").at(1);
    for (const auto& m : members)
      EXPECT_EQ(m.bytes, testing::readBytes(out() + "/" + m.name)) << m.name;
    for (const char* name : {"hojokamoku.csv", "zandaka.csv", "busho.csv"})
      EXPECT_EQ(testing::readCp932Lines(out() + "/" + name).at(1), company) << name;
  }
}

// Two map commands on one state file at once: both changes are kept.
TEST_F(Faults, TwoMapsAtOnceLoseNoChange) {
  // The first sub-account of the first and of the last parent, each given a code of its own
  // by its own map command.
  const auto& subs = state.workSubAccounts;
  const int32_t rows[2] = {0, subs.count() - 1};
  std::string targets[2];
  for (int k = 0; k < 2; ++k) {
    for (const auto& a : state.workAccounts)
      if (a.hasSubAccounts && a.subAccountGroupNo == subs[rows[k]].subAccountGroupNo)
        targets[k] = a.sourceCode + "/" + subs[rows[k]].subAccountName;
    ASSERT_FALSE(targets[k].empty());
  }
  ASSERT_NE(subs[0].subAccountGroupNo, subs[rows[1]].subAccountGroupNo);
  const std::string map = "'" + std::string(LEDRA_BINARY) + "' map --state '" + statePath() + "'";
  for (int round = 0; round < 6; ++round) {
    SCOPED_TRACE(round);
    const std::string codes[2] = {std::to_string(70 + round), std::to_string(80 + round)};
    const std::string script = map + " --sub-code '" + targets[0] + "=" + codes[0] +
                               "' >/dev/null 2>&1 & " + map + " --sub-code '" + targets[1] + "=" +
                               codes[1] + "' >/dev/null 2>&1 || exit 1; wait $!";
    ASSERT_EQ(std::system(script.c_str()), 0);
    ConversionState saved;
    ASSERT_TRUE(restoreWorkStateFromFile(saved, platform, statePath()));
    EXPECT_EQ(saved.workSubAccounts[rows[0]].newSubCode, codes[0]);
    EXPECT_EQ(saved.workSubAccounts[rows[1]].newSubCode, codes[1]);
  }
}

// What interrupted runs left behind goes with the next conversion; what a live run is writing
// stays.
TEST_F(Faults, LeftoversOfInterruptedRunsAreCleanedUp) {
  const std::string staging = out() + "/.ledra-out-AbC123";
  fs::create_directories(staging);
  testing::writeBytes(staging + "/.earlier-0", "from an older run");
  testing::writeBytes(out() + "/.ledra-tmp-old123", "half");
  fs::last_write_time(out() + "/.ledra-tmp-old123",
                      fs::file_time_type::clock::now() - std::chrono::hours(2));
  testing::writeBytes(out() + "/.ledra-tmp-new123", "being written");
  ASSERT_EQ(convert(), StepOutcome::Done);
  EXPECT_FALSE(fs::exists(staging));
  EXPECT_FALSE(fs::exists(out() + "/.ledra-tmp-old123"));
  EXPECT_TRUE(fs::exists(out() + "/.ledra-tmp-new123"));
}

}  // namespace
}  // namespace ledra
