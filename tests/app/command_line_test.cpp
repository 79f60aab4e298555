#include <gtest/gtest.h>

#include <string>

#include "support/run_binary.hpp"
#include "support/temp_dir.hpp"

namespace ledra {
namespace {

// Refusals and failures go to standard error, so that a script reading the results from
// standard output never takes them for results.
TEST(CommandLine, RefusalsGoToStandardErrorAndResultsToStandardOutput) {
  testing::TempDir dir;
  const std::string examples = std::string(LEDRA_SOURCE_DIR) + "/examples";
  const std::string state = "'" + dir.file("state.dat") + "'";
  const testing::BinaryRun imported = testing::runBinary(
      "import --package yayoi --master '" + examples + "/ledra_master.csv' --source-dir '" +
      examples + "/yayoi' --output '" + dir.path() + "' --save " + state);
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(imported.out, "マッチング科目残数：0/15\n");

  const testing::BinaryRun refused =
      testing::runBinary("map --state " + state + " --invalidate 100");
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "使用中の勘定科目は無効にできません。\n");
  EXPECT_EQ(refused.out, "");
}

}  // namespace
}  // namespace ledra
