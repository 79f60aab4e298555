#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/cp932.hpp"
#include "support/fixtures.hpp"
#include "support/run_binary.hpp"
#include "support/temp_dir.hpp"

namespace ledra {
namespace {

// `report` prints the last conversion's report of the state's output folder (or of --output)
// as UTF-8, and says plainly when there is none.
TEST(ReportCommand, PrintsTheLastReportOrSaysThereIsNone) {
  testing::TempDir dir, other;
  const std::string state = "'" + dir.file("state.dat") + "'";
  const testing::BinaryRun imported =
      testing::importExampleCompany(dir.file("state.dat"), dir.path());
  ASSERT_EQ(imported.status, 0) << imported.err;

  const auto none = [](const std::string& folder) {
    return "変換レポートがありません。この出力フォルダではまだ変換していません。\n" + folder +
           "/変換レポート.txt\n";
  };
  testing::BinaryRun run = testing::runBinary("report --state " + state);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, none(dir.path()));

  testing::writeBytes(dir.file("変換レポート.txt"),
                      encodeCp932("変換レポート\r\n照合: 差額なし（照合表.csv）\r\n"));
  run = testing::runBinary("report --state " + state);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "変換レポート\n照合: 差額なし（照合表.csv）\n");

  run = testing::runBinary("report --state " + state + " --output '" + other.path() + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, none(other.path()));

  std::filesystem::create_directory(other.file("変換レポート.txt"));
  run = testing::runBinary("report --state " + state + " --output '" + other.path() + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "変換レポートを読み込めません。\n" + other.file("変換レポート.txt") +
                         ": フォルダです（ファイルを指定してください）\n");
}

}  // namespace
}  // namespace ledra
