#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/fixtures.hpp"
#include "support/run_binary.hpp"
#include "support/temp_dir.hpp"

namespace ledra {
namespace {

// Refusals and failures go to standard error, so that a script reading the results from
// standard output never takes them for results.
TEST(CommandLine, RefusalsGoToStandardErrorAndResultsToStandardOutput) {
  testing::TempDir dir;
  const std::string state = "'" + dir.file("state.dat") + "'";
  const testing::BinaryRun imported =
      testing::importExampleCompany(dir.file("state.dat"), dir.path());
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(imported.out, "マッチング科目残数：0/15\n");

  const testing::BinaryRun refused =
      testing::runBinary("map --state " + state + " --invalidate 100");
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "使用中の勘定科目は無効にできません。\n");
  EXPECT_EQ(refused.out, "");
}

// An import never saves over one of its own inputs, nor onto a folder.
TEST(CommandLine, SaveOntoAnInputOrAFolderIsRefused) {
  testing::TempDir dir;
  const std::string examples = std::string(LEDRA_SOURCE_DIR) + "/examples";
  const std::string journal = examples + "/yayoi/仕訳データ.txt";
  const std::string before = testing::readBytes(journal);
  for (auto [target, why] : std::vector<std::pair<std::string, std::string>>{
           {journal, "読み込むファイルです（別の名前で保存してください）"},
           {dir.path(), "フォルダです（保存するファイルの名前を指定してください）"}}) {
    const testing::BinaryRun run = testing::importExampleCompany(target, dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "作業状態の保存に失敗しました。\n" + target + ": " + why + "\n");
  }
  EXPECT_EQ(testing::readBytes(journal), before);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace ledra
