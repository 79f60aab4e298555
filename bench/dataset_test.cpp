#include "dataset.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "answering_platform.hpp"
#include "base/quoted_fields.hpp"
#include "base/text.hpp"
#include "import/account_master.hpp"
#include "platform/file_io.hpp"
#include "platform/text_file.hpp"
#include "state/conversion_state.hpp"
#include "support/temp_dir.hpp"
#include "wizard/step_flow.hpp"

namespace ledra::bench {
namespace {

using ledra::testing::TempDir;

const DatasetSize kSmall = DatasetSize::full().scaled(0.05);
const char* const kReports[] = {"勘定科目一覧表.txt", "科目残高試算表.txt", "補助科目一覧表.txt",
                                "補助残高一覧表.txt", "部門一覧表.txt",     "仕訳データ.txt"};

std::string bytesOf(const std::string& path) { return readFileBytes(path).value_or("<missing>"); }

// The detail rows of a report, each cut at every comma with the quotes taken off.
std::vector<std::vector<std::string>> detailRows(const std::string& path) {
  std::vector<std::vector<std::string>> rows;
  const std::string text = readWholeTextFile(path).value_or("");
  for (const std::string& line : splitPlain(text, "\r\n")) {
    std::vector<std::string> fields;
    for (const std::string& f : splitPlain(line, ",")) fields.push_back(stripEnclosingQuotes(f));
    if (fields[0] == "[明細行]") rows.push_back(std::move(fields));
  }
  return rows;
}

TEST(DatasetSizeTest, FullSizeFillsTheTablesToTheirCapacity) {
  const DatasetSize full = DatasetSize::full();
  EXPECT_EQ(full.accounts + 1, kAccountCapacity);
  EXPECT_EQ(full.balanceRows + 1, kBalanceCapacity);
  EXPECT_EQ(full.subAccounts + 1, kBalanceCapacity);
  EXPECT_EQ(full.subBalanceRows + 1, kBalanceCapacity);
  EXPECT_EQ(full.departments + 1, kDepartmentCapacity);
  EXPECT_EQ(full.journalLines + 1, kJournalCapacity);
  const DatasetSize half = DatasetSize::half();
  EXPECT_EQ(half.accounts, 1000);
  EXPECT_EQ(half.departments, 50);
  EXPECT_EQ(half.journalLines, 15000);
}

TEST(DatasetTest, SameSeedGivesTheSameBytesAndAnotherSeedOtherBytes) {
  TempDir a, b, c;
  writeDataset(a.path(), kSmall, 7);
  writeDataset(b.path(), kSmall, 7);
  writeDataset(c.path(), kSmall, 8);
  for (const char* name : kReports) {
    EXPECT_EQ(bytesOf(a.path() + "/yayoi/" + name), bytesOf(b.path() + "/yayoi/" + name)) << name;
  }
  EXPECT_EQ(bytesOf(a.file("ledra_master.csv")), bytesOf(b.file("ledra_master.csv")));
  EXPECT_NE(bytesOf(a.path() + "/yayoi/仕訳データ.txt"),
            bytesOf(c.path() + "/yayoi/仕訳データ.txt"));
}

TEST(DatasetTest, ImportsMatchesEveryAccountAndConvertsEveryJournalLine) {
  TempDir dir, out;
  const DatasetSummary summary = writeDataset(dir.path(), kSmall, 42);
  EXPECT_EQ(summary.accounts, kSmall.accounts);
  EXPECT_EQ(summary.subAccounts, kSmall.subAccounts);
  EXPECT_EQ(summary.parentAccounts, kSmall.parentAccounts);

  AnsweringPlatform platform;
  ConversionState state;
  state.sourcePackage = SourcePackage::Yayoi;
  ASSERT_TRUE(loadStandardAccountMaster(state, dir.file("ledra_master.csv")));
  EXPECT_EQ(state.standardAccounts.count(), kSmall.accounts);
  for (int i = 0; i < 6; ++i)
    state.sourceFiles[kEverySourceFile[i]] = dir.path() + "/yayoi/" + kReports[i];
  state.outputFolder = out.path();
  state.screenState = Screen::FileSettings;
  const StepResult imported = runYayoiImportStep(state, platform);
  ASSERT_TRUE(imported) << imported.error().describe();
  EXPECT_EQ(platform.messages, 0);

  EXPECT_EQ(state.workAccounts.count(), kSmall.accounts);
  EXPECT_EQ(state.workAccountBalances.count(), kSmall.balanceRows);
  EXPECT_EQ(state.workSubAccounts.count(), kSmall.subAccounts);
  EXPECT_EQ(state.workSubAccountBalances.count(), kSmall.subBalanceRows);
  EXPECT_EQ(state.workDepartments.count(), kSmall.departments);
  EXPECT_EQ(state.journalRows.count(), kSmall.journalLines);
  for (const WorkAccount& a : state.workAccounts) {
    EXPECT_FALSE(a.notAutoMatched) << a.sourceName;
    EXPECT_FALSE(a.section.empty()) << a.sourceName;
  }
  for (const WorkAccountBalance& row : state.workAccountBalances) EXPECT_TRUE(row.processed);
  for (const WorkSubAccount& s : state.workSubAccounts) EXPECT_TRUE(s.linkedToAccount);
  for (const WorkSubAccountBalance& row : state.workSubAccountBalances)
    EXPECT_FALSE(row.departmentCode.empty()) << row.col(2);

  state.screenState = Screen::Mapping;
  EXPECT_TRUE(mappingComplete(state));
  ASSERT_EQ(runOutputStep(state, platform, false), StepOutcome::Done) << platform.lastText;
  EXPECT_TRUE(state.droppedJournalLines.empty());
  EXPECT_TRUE(std::filesystem::exists(out.file("shiwake.csv")));
  EXPECT_TRUE(std::filesystem::exists(out.file("busho.csv")));
}

TEST(DatasetTest, RowsHaveTheExportedShape) {
  TempDir dir;
  writeDataset(dir.path(), kSmall, 11);
  const std::string yayoi = dir.path() + "/yayoi/";

  std::set<std::string> names;
  std::set<size_t> nameColumns;
  for (const auto& row : detailRows(yayoi + "勘定科目一覧表.txt")) {
    ASSERT_EQ(row.size(), 18u);
    size_t c = 1;
    while (c < 7 && endsWith(row[c], "]")) ++c;  // headings, then the name
    nameColumns.insert(c + 1);
    EXPECT_TRUE(names.insert(row[c]).second) << row[c];
    EXPECT_EQ(row[c].find(' '), std::string::npos);
  }
  EXPECT_EQ(names.size(), static_cast<size_t>(kSmall.accounts));
  EXPECT_GT(nameColumns.size(), 2u) << "heading depths vary";

  std::set<std::string> departments;
  size_t deepest = 0;
  for (const auto& row : detailRows(yayoi + "部門一覧表.txt")) {
    ASSERT_EQ(row.size(), 12u);
    size_t levels = 0;
    while (levels < 5 && !row[2 + levels].empty()) ++levels;
    deepest = std::max(deepest, levels);
    EXPECT_TRUE(departments.insert(row[7]).second) << row[7];
  }
  EXPECT_EQ(deepest, 3u);

  std::string previousDate;
  int previousVoucher = 0;
  std::set<std::string> slipKinds;
  for (const auto& row : detailRows(yayoi + "仕訳データ.txt")) {
    ASSERT_EQ(row.size(), 29u);
    EXPECT_GE(row[1], previousDate);
    EXPECT_GE(std::stoi(row[2]), previousVoucher);
    previousDate = row[1];
    previousVoucher = std::stoi(row[2]);
    EXPECT_FALSE(row[9].empty() && row[16].empty());
    slipKinds.insert(row[7]);
  }
  EXPECT_GE(previousDate, "2027/03/01");
  EXPECT_EQ(slipKinds, (std::set<std::string>{"", "[振伝]"}));

  // Every standard name, blanks removed, is the name of one account.
  std::set<std::string> masterNames;
  for (const std::string& line :
       splitPlain(readWholeTextFile(dir.file("ledra_master.csv")).value(), "\r\n")) {
    if (line.empty()) continue;
    const auto fields = splitPlain(line, ",");
    ASSERT_EQ(fields.size(), 5u);
    masterNames.insert(removeBlanks(fields[3]));
  }
  EXPECT_EQ(masterNames, names);
}

}  // namespace
}  // namespace ledra::bench
