#include "output/output_set.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/file_io.hpp"
#include "support/fixtures.hpp"
#include "support/temp_dir.hpp"

namespace ledra {
namespace {

using testing::readBytes;
using testing::writeBytes;

size_t entries(const std::string& folder) {
  size_t n = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

// A file that cannot be moved into place fails the set, and the files moved before it get
// their earlier contents back (or go again when there was none).
TEST(OutputSetTest, AFailedMovePutsBackTheFilesAlreadyMoved) {
  testing::TempDir dir;
  writeBytes(dir.file("a.csv"), "earlier a");
  {
    OutputSet set(dir.path(), {"b.csv"});
    std::string error;
    ASSERT_TRUE(set.put("a.csv", "new a", &error));
    ASSERT_TRUE(set.put("new.csv", "new", &error));
    ASSERT_TRUE(set.put("b.csv", "new b", &error));
    EXPECT_EQ(set.takeKept("b.csv"), "new b");
    EXPECT_EQ(set.takeKept("a.csv"), std::nullopt);
    EXPECT_EQ(readBytes(dir.file("a.csv")), "earlier a");  // nothing moved yet
    std::filesystem::create_directories(dir.file("b.csv"));
    std::string failed;
    EXPECT_FALSE(set.commit(&failed, &error));
    EXPECT_EQ(failed, "b.csv");
    EXPECT_EQ(error, dir.file("b.csv") + ": フォルダです: Is a directory");
  }
  EXPECT_EQ(readBytes(dir.file("a.csv")), "earlier a");
  EXPECT_FALSE(testing::fileExistsAt(dir.file("new.csv")));
  EXPECT_EQ(entries(dir.path()), 2u);  // a.csv and the folder b.csv: no staging folder left
}

TEST(OutputSetTest, PutNamesTheTargetWhenItCannotBeWritten) {
  testing::TempDir dir;
  std::filesystem::create_directories(dir.file("x.csv"));
  OutputSet set(dir.path(), {});
  std::string error;
  EXPECT_FALSE(set.put("x.csv", "x", &error));
  EXPECT_EQ(error, dir.file("x.csv") + ": フォルダです: Is a directory");
  OutputSet gone(dir.file("missing"), {});
  EXPECT_FALSE(gone.put("y.csv", "y", &error));
  EXPECT_EQ(error, dir.file("missing/y.csv") +
                       ": ファイルまたはフォルダがありません: No such file or directory");
}

// The folder's files and their contents; a staging folder or temporary left behind shows too.
std::map<std::string, std::string> folderContents(const std::string& folder) {
  std::map<std::string, std::string> out;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    out[e.path().filename().string()] = e.is_directory() ? "<folder>" : readBytes(e.path());
  return out;
}

// Where the child's commit is stopped, and how.
std::string_view stopPoint;
size_t stopIndex = 0;
int stopSignal = SIGKILL;
std::string blockOnceJournaled;  // a folder that appears where a file is about to go
void stopHere(std::string_view point, size_t index) {
  if (point == "journal" && !blockOnceJournaled.empty())
    std::filesystem::create_directories(blockOnceJournaled + "/inside");
  if (point == stopPoint && index == stopIndex) ::raise(stopSignal);
}

const std::map<std::string, std::string> kEarlierSet = {
    {"a.csv", "old a"}, {"b.csv", "old b"}, {"c.zip", "old c"}};
const std::map<std::string, std::string> kNewSet = {
    {"a.csv", "new a"}, {"b.csv", "new b"}, {"c.zip", "new c"}, {"d.csv", "new d"}};

// Commits kNewSet over the folder in a child process stopped at stopPoint; its wait status.
int commitInChild(const std::string& folder, bool noHardLinks) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (noHardLinks) injectLinkErrorForTesting(EPERM);
    setCommitHookForTesting(stopHere);
    OutputSet set(folder, {});
    std::string error, failed;
    for (const auto& [name, bytes] : kNewSet)
      if (!set.put(name, bytes, &error)) ::_exit(3);
    ::_exit(set.commit(&failed, &error) ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

// A run killed at any point of moving its set into place leaves a folder that the next run
// turns into exactly one complete set: the earlier one until the journal is on the disk, the
// new one after. With or without hard links.
TEST(OutputSetTest, AKilledCommitIsCompletedOrUndoneByTheNextRun) {
  struct Stop {
    std::string_view point;
    size_t index;
    bool newSet;
  };
  const Stop stops[] = {{"kept", 0, false},   {"kept", 2, false},   {"kept", 3, false},
                        {"journal", 0, true}, {"moved", 0, true},   {"moved", 2, true},
                        {"moved", 3, true},   {"finished", 0, true}};
  for (bool noHardLinks : {false, true}) {
    for (const Stop& stop : stops) {
      SCOPED_TRACE(std::string(stop.point) + " " + std::to_string(stop.index) +
                   (noHardLinks ? " without hard links" : ""));
      testing::TempDir dir;
      for (const auto& [name, bytes] : kEarlierSet) writeBytes(dir.file(name), bytes);
      stopPoint = stop.point;
      stopIndex = stop.index;
      stopSignal = SIGKILL;
      const int status = commitInChild(dir.path(), noHardLinks);
      ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
      std::string error;
      EXPECT_TRUE(recoverOutputFolder(dir.path(), &error)) << error;
      EXPECT_EQ(folderContents(dir.path()), stop.newSet ? kNewSet : kEarlierSet);
    }
  }
}

// A move that fails puts the earlier files back; killed while doing so, the next run finishes
// putting them back.
TEST(OutputSetTest, AKilledUndoIsFinishedByTheNextRun) {
  for (size_t index : {3u, 1u, 0u}) {
    SCOPED_TRACE(index);
    testing::TempDir dir;
    for (const auto& [name, bytes] : kEarlierSet) writeBytes(dir.file(name), bytes);
    blockOnceJournaled = dir.file("d.csv");  // the last move fails
    stopPoint = "undoing";
    stopIndex = index;
    stopSignal = SIGKILL;
    const int status = commitInChild(dir.path(), true);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    std::string error;
    EXPECT_TRUE(recoverOutputFolder(dir.path(), &error)) << error;
    auto expected = kEarlierSet;
    expected["d.csv"] = "<folder>";
    EXPECT_EQ(folderContents(dir.path()), expected);
  }
  blockOnceJournaled.clear();
}

// SIGINT, SIGTERM and SIGHUP during the commit wait for it: the set is complete and the
// staging folder gone when the signal ends the process.
TEST(OutputSetTest, SignalsDuringTheCommitEndWithACompleteSet) {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(sig);
    testing::TempDir dir;
    for (const auto& [name, bytes] : kEarlierSet) writeBytes(dir.file(name), bytes);
    stopPoint = "moved";
    stopIndex = 1;
    stopSignal = sig;
    const int status = commitInChild(dir.path(), false);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << status;
    EXPECT_EQ(folderContents(dir.path()), kNewSet);
  }
}

}  // namespace
}  // namespace ledra
