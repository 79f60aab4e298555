#include "output/invalidation_list.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "output/output_common.hpp"
#include "state/conversion_state.hpp"
#include "support/fixtures.hpp"
#include "support/scripted_platform.hpp"
#include "support/temp_dir.hpp"

namespace ledra {
namespace {

using testing::readBytes;
using testing::ScriptedPlatform;
using testing::TempDir;

class InvalidationListTest : public ::testing::Test {
 protected:
  void SetUp() override { state.outputFolder = folder.path(); }

  void account(const std::string& code, const std::string& name, bool valid) {
    WorkAccount& a = state.workAccounts.append();
    a.sourceCode = code;
    a.sourceName = name;
    a.valid = valid;
    a.selected = valid;
  }

  std::string listPath() const { return folder.file("無効化一覧.txt"); }
  // The output folder as the state names it at the call.
  OutputTarget& out() { return output.emplace(state.outputFolder); }
  std::optional<FolderOutput> output;

  TempDir folder;
  ConversionState state;
  ScriptedPlatform platform;
};

TEST_F(InvalidationListTest, ListsInvalidatedAccountsInTableOrder) {
  const std::string longName = std::string(30, 'N') + "売\"掛金";
  account("111", "現金", false);
  account("131", "普通預金", true);
  account("135", longName, false);

  ASSERT_TRUE(writeInvalidationList(state, platform, out()));

  // 現金 is 8C BB 8B E0 in CP932; values are not cut, and their quotes are doubled.
  EXPECT_EQ(readBytes(listPath()), "\"111\",\"\x8C\xBB\x8B\xE0\"\r\n\"135\",\"" +
                                       std::string(30, 'N') + "\x94\x84\"\"\x8A\x7C\x8B\xE0\"\r\n");
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(InvalidationListTest, NoInvalidatedAccountReplacesTheFileWithAnEmptyOne) {
  testing::writeBytes(listPath(), "\"999\",\"old\"\r\n");
  account("111", "現金", true);

  ASSERT_TRUE(writeInvalidationList(state, platform, out()));

  EXPECT_TRUE(testing::fileExistsAt(listPath()));
  EXPECT_EQ(readBytes(listPath()), "");
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(InvalidationListTest, ShowsItsProgressAndLeavesTheDialogOpen) {
  account("111", "現金", false);
  account("131", "普通預金", true);
  platform.recordProgressValues = true;

  ASSERT_TRUE(writeInvalidationList(state, platform, out()));

  EXPECT_EQ(platform.progressCaption, "無効化一覧.txt出力中");
  EXPECT_EQ(platform.progressMax, 2);
  EXPECT_EQ(platform.progressValue, 1);
  EXPECT_TRUE(platform.progressVisible);
}

TEST_F(InvalidationListTest, MissingFolderFailsQuietlyAndClosesTheDialog) {
  state.outputFolder = folder.file("missing");
  account("111", "現金", false);

  const StepResult written = writeInvalidationList(state, platform, out());
  EXPECT_FALSE(written);

  EXPECT_TRUE(platform.messages.empty());
  EXPECT_FALSE(platform.progressVisible);
  EXPECT_FALSE(testing::fileExistsAt(state.outputFolder + "/無効化一覧.txt"));
  // The detail names the file once, as for the other writers.
  EXPECT_EQ(written.error().file, state.outputFolder + "/無効化一覧.txt");
  EXPECT_EQ(
      written.error().reason,
      "ファイルを書き込めません（ファイルまたはフォルダがありません: No such file or directory）");
}

}  // namespace
}  // namespace ledra
