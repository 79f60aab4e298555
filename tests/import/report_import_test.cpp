#include "import/report_import.hpp"

#include <gtest/gtest.h>

#include "state/conversion_state.hpp"
#include "support/fixtures.hpp"
#include "support/scripted_platform.hpp"
#include "support/temp_dir.hpp"
#include "support/yayoi_fixtures.hpp"

namespace ledra {
namespace {

using testing::kDetail;
using testing::kTotal;
using testing::ReportRow;
using testing::YayoiReport;

class ReportImportTest : public ::testing::Test {
 protected:
  std::string write(YayoiReport report, const std::vector<ReportRow>& rows) {
    const std::string path = dir.file(testing::yayoiFileName(report));
    testing::writeYayoiReport(path, report, rows);
    return path;
  }
  bool import(YayoiReport report, const std::vector<ReportRow>& rows) {
    return importFile(write(report, rows), testing::yayoiKind(report));
  }
  bool importFile(const std::string& path, ReportKind kind) {
    const StepResult result = importReport(state, platform, path, kind);
    error = result.error();
    return result.ok();
  }
  std::string detail() const { return error.describe(); }
  std::string pathOf(YayoiReport report) const { return dir.file(testing::yayoiFileName(report)); }

  testing::TempDir dir;
  testing::ScriptedPlatform platform;
  ConversionState state;
  ErrorDetail error;
};

ReportRow fullRow(YayoiReport report, const std::string& marker) {
  static const int kWidth[] = {18, 10, 11, 11, 12};
  ReportRow row(static_cast<size_t>(kWidth[static_cast<int>(report)]), "1");
  row[0] = marker;
  return row;
}

int32_t countOf(const ConversionState& s, YayoiReport report) {
  switch (report) {
    case YayoiReport::AccountList:
      return s.workAccounts.count();
    case YayoiReport::AccountBalances:
      return s.workAccountBalances.count();
    case YayoiReport::SubAccountList:
      return s.workSubAccounts.count();
    case YayoiReport::SubAccountBalances:
      return s.workSubAccountBalances.count();
    case YayoiReport::DepartmentList:
      return s.workDepartments.count();
  }
  return -1;
}

struct KindCase {
  YayoiReport report;
  const char* caption;
  int32_t rowsWithTotal;  // a detail row followed by a total row
};

class ReportKindTest : public ReportImportTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(ReportKindTest, HeaderOnlyReportFailsAndKeepsNothingUnderItsCaption) {
  const KindCase& c = GetParam();
  ASSERT_TRUE(import(c.report, {fullRow(c.report, kDetail)}));
  platform.progress.clear();
  ASSERT_FALSE(import(c.report, {}));
  EXPECT_EQ(detail(), pathOf(c.report) + ": [明細行]の行がありません");
  EXPECT_EQ(countOf(state, c.report), 0);
  ASSERT_GE(platform.progress.size(), 3u);
  EXPECT_EQ(platform.progress.front().kind, testing::ScriptedPlatform::ProgressEvent::Show);
  EXPECT_EQ(platform.progress[1].caption, c.caption);
  EXPECT_EQ(platform.progress.back().kind, testing::ScriptedPlatform::ProgressEvent::Hide);
  EXPECT_TRUE(platform.messages.empty());
}

TEST_P(ReportKindTest, TotalRowsAreTakenOnlyByTheTrialBalance) {
  const KindCase& c = GetParam();
  ASSERT_TRUE(import(c.report, {fullRow(c.report, kDetail), fullRow(c.report, kTotal),
                                fullRow(c.report, "[小計行]")}));
  EXPECT_EQ(countOf(state, c.report), c.rowsWithTotal);
}

INSTANTIATE_TEST_SUITE_P(
    AllKinds, ReportKindTest,
    ::testing::Values(KindCase{YayoiReport::AccountList, "勘定科目取込中", 1},
                      KindCase{YayoiReport::AccountBalances, "科目残高取込中", 2},
                      KindCase{YayoiReport::SubAccountList, "補助科目取込中", 1},
                      KindCase{YayoiReport::SubAccountBalances, "補助残高取込中", 1},
                      KindCase{YayoiReport::DepartmentList, "部門一覧取込中", 1}));

TEST_F(ReportImportTest, MissingFileFailsBeforeTheDialogIsShown) {
  EXPECT_FALSE(importFile(dir.file("none.txt"), ReportKind::AccountList));
  EXPECT_EQ(detail(), dir.file("none.txt") + ": ファイルがありません");
  EXPECT_TRUE(platform.progress.empty());
}

TEST_F(ReportImportTest, ShortRowFailsWithItsLineAndKeepsEarlierRows) {
  ReportRow shortRow = testing::subAccountRow("普通預金", "東西銀行", "001");
  shortRow.pop_back();
  EXPECT_FALSE(import(YayoiReport::SubAccountList,
                      {testing::subAccountRow("普通預金", "南北銀行", "002"), shortRow}));
  EXPECT_EQ(detail(),
            pathOf(YayoiReport::SubAccountList) + " 7行目: 列が足りません（11列以上必要です）");
  EXPECT_EQ(state.workSubAccounts.count(), 1);
  EXPECT_FALSE(platform.progressVisible);
  EXPECT_EQ(platform.progress.back().kind, testing::ScriptedPlatform::ProgressEvent::Hide);
}

TEST_F(ReportImportTest, TrialBalanceAmountsAreReadLeniently) {
  struct {
    const char* field;
    int32_t amount;
  } cases[] = {{"", 0}, {"abc", 0}, {"12.5", 12}, {"13.5", 14}, {"1200円", 1200}, {"-300", -300}};
  std::vector<ReportRow> rows;
  for (const auto& c : cases) {
    ReportRow row = testing::balanceRow("", "[貸借対照表]", "現金", c.field);
    row[9] = "12.5";
    rows.push_back(row);
  }
  ASSERT_TRUE(import(YayoiReport::AccountBalances, rows));
  for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
    SCOPED_TRACE(cases[i].field);
    EXPECT_EQ(state.workAccountBalances[i].amount1, cases[i].amount);
    EXPECT_EQ(state.workAccountBalances[i].amount4, cases[i].amount);
    EXPECT_EQ(state.workAccountBalances[i].ratio, 12.5f);
    EXPECT_EQ(state.workAccountBalances[i].col(6), "");
  }
}

TEST_F(ReportImportTest, SubAccountBalanceAmountsMustBeNumbers) {
  ReportRow empty = testing::subBalanceRow("", "普通預金", "東西銀行", "");
  EXPECT_FALSE(import(YayoiReport::SubAccountBalances, {empty}));
  EXPECT_EQ(detail(), pathOf(YayoiReport::SubAccountBalances) + " 9行目: 7列目の金額が空です");
  EXPECT_EQ(state.workSubAccountBalances.count(), 0);

  ReportRow text = testing::subBalanceRow("", "普通預金", "東西銀行", "100");
  text[7] = "12a";
  EXPECT_FALSE(import(YayoiReport::SubAccountBalances,
                      {testing::subBalanceRow("", "普通預金", "南北銀行", "2.5"), text}));
  EXPECT_EQ(detail(), pathOf(YayoiReport::SubAccountBalances) +
                          " 10行目: 8列目の金額「12a」が数値ではありません");
  ASSERT_EQ(state.workSubAccountBalances.count(), 1);
  EXPECT_EQ(state.workSubAccountBalances[0].amount1, 2);
}

TEST_F(ReportImportTest, DepartmentListHoldsAtMost101Rows) {
  std::vector<ReportRow> rows;
  for (int i = 1; i <= 101; ++i)
    rows.push_back(testing::departmentRow("本社", {"部" + std::to_string(i)}));
  rows[1] = testing::departmentRow("支社", {"営業部", "東京", "一課", "A班", "1係"});
  ASSERT_TRUE(import(YayoiReport::DepartmentList, rows));
  EXPECT_EQ(state.workDepartments.count(), 101);
  EXPECT_EQ(state.departmentTotalName, "本社(合計)");
  EXPECT_EQ(state.workDepartments[1].joinedName, "一課A班1係");

  rows.push_back(testing::departmentRow("本社", {"部102"}));
  EXPECT_FALSE(import(YayoiReport::DepartmentList, rows));
  EXPECT_EQ(detail(),
            pathOf(YayoiReport::DepartmentList) + " 107行目: 部門が多すぎます（101件まで）");
  EXPECT_EQ(state.workDepartments.count(), 101);
}

TEST_F(ReportImportTest, EachTableFailsOneRowPastItsCapacity) {
  const struct {
    YayoiReport report;
    int32_t capacity;
    const char* reason;
  } cases[] = {
      {YayoiReport::AccountList, 2001, "勘定科目が多すぎます（2001件まで）"},
      {YayoiReport::AccountBalances, 5001, "残高の行が多すぎます（5001行まで）"},
      {YayoiReport::SubAccountList, 5001, "補助科目が多すぎます（5001件まで）"},
      {YayoiReport::SubAccountBalances, 5001, "補助残高の行が多すぎます（5001行まで）"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    std::vector<ReportRow> rows(static_cast<size_t>(c.capacity), fullRow(c.report, kDetail));
    ASSERT_TRUE(import(c.report, rows));
    EXPECT_EQ(countOf(state, c.report), c.capacity);
    rows.push_back(fullRow(c.report, kDetail));
    EXPECT_FALSE(import(c.report, rows));
    EXPECT_EQ(error.reason, c.reason);
    EXPECT_EQ(countOf(state, c.report), c.capacity);
  }
}

TEST_F(ReportImportTest, OneDepartmentMarksEveryBalanceRowShared) {
  ASSERT_TRUE(import(YayoiReport::DepartmentList, {testing::departmentRow("テスト商事", {})}));
  ASSERT_TRUE(import(YayoiReport::AccountBalances,
                     {testing::balanceRow("", "[貸借対照表]", "現金", "1"),
                      testing::balanceRow("本社(共通)", "[貸借対照表]", "現金", "2")}));
  ASSERT_TRUE(import(YayoiReport::SubAccountBalances,
                     {testing::subBalanceRow("本社", "普通預金", "東西銀行", "3")}));
  EXPECT_EQ(state.workAccountBalances[0].col(2), "テスト商事(共通)");
  EXPECT_EQ(state.workAccountBalances[1].col(2), "テスト商事(共通)");
  EXPECT_EQ(state.workSubAccountBalances[0].col(2), "テスト商事(共通)");
  EXPECT_EQ(state.workAccountBalances[0].departmentCode, "1");
}

TEST_F(ReportImportTest, SeveralDepartmentsKeepSharedOnlyForTheFirst) {
  ASSERT_TRUE(import(
      YayoiReport::DepartmentList,
      {testing::departmentRow("テスト商事", {}), testing::departmentRow("テスト商事", {"本社"})}));
  ASSERT_TRUE(import(YayoiReport::AccountBalances,
                     {testing::balanceRow("テスト商事(共通)", "[貸借対照表]", "現金", "1"),
                      testing::balanceRow("本社(共通)", "[貸借対照表]", "現金", "2")}));
  ASSERT_TRUE(import(YayoiReport::SubAccountBalances,
                     {testing::subBalanceRow("本社(共通)", "普通預金", "東西銀行", "3")}));
  EXPECT_EQ(state.workAccountBalances[0].col(2), "テスト商事(共通)");
  EXPECT_EQ(state.workAccountBalances[1].col(2), "本社");
  EXPECT_EQ(state.workSubAccountBalances[0].col(2), "本社");
  EXPECT_EQ(state.workAccountBalances[0].departmentCode, "1");
  EXPECT_EQ(state.workAccountBalances[1].departmentCode, "2");
}

TEST_F(ReportImportTest, OpeningBalancesComeFromFirstAccountRowAndLastSubAccountRow) {
  auto company = testing::sampleYayoiCompany();
  company.balances.push_back(testing::balanceRow("", "[貸借対照表]", "現金", "999"));
  company.subBalances.insert(company.subBalances.begin(),
                             testing::subBalanceRow("", "当座預金", "東西銀行", "5"));
  company.subBalances.insert(company.subBalances.begin(),
                             testing::subBalanceRow("", "普通預金", "南北銀行", "6"));
  ASSERT_TRUE(testing::importYayoiCompany(state, platform, company.writeTo(dir.path())));
  EXPECT_EQ(state.workAccounts[0].openingBalance, 50000);
  EXPECT_EQ(state.workSubAccounts[0].openingBalance, 700000);
  EXPECT_EQ(state.workSubAccounts[1].openingBalance, 500000);  // the later row of the two
}

TEST_F(ReportImportTest, ReportOfAnotherKindIsRefused) {
  ASSERT_TRUE(import(YayoiReport::AccountList, {testing::accountRow({"現金"}, "100")}));
  const std::string other = write(YayoiReport::SubAccountList, {});
  EXPECT_FALSE(importFile(other, ReportKind::AccountList));
  EXPECT_EQ(detail(), other + " 1行目: 勘定科目一覧表ではありません（帳票名：補助科目一覧表）");
  EXPECT_EQ(state.workAccounts.count(), 1);
  EXPECT_FALSE(platform.progressVisible);

  auto lines = testing::yayoiReportLines(YayoiReport::AccountBalances, {});
  lines[0] = "\"帳票名\",\"損益計算書\"";
  testing::writeCp932Lines(other, lines);
  EXPECT_FALSE(importFile(other, ReportKind::TrialBalance));
  EXPECT_EQ(detail(), other + " 1行目: 科目残高試算表ではありません（帳票名：損益計算書）");
}

TEST_F(ReportImportTest, FileWithoutTitleLineIsReadByRowMarkers) {
  auto lines = testing::yayoiReportLines(YayoiReport::SubAccountList,
                                         {testing::subAccountRow("普通預金", "東西銀行", "001")});
  lines.erase(lines.begin(), lines.begin() + 4);
  lines.insert(lines.begin(), "");
  const std::string path = pathOf(YayoiReport::SubAccountList);
  testing::writeCp932Lines(path, lines);
  ASSERT_TRUE(importReport(state, platform, path, ReportKind::SubAccountList));
  ASSERT_EQ(state.workSubAccounts.count(), 1);
  EXPECT_EQ(state.workSubAccounts[0].col(3), "東西銀行");
}

TEST_F(ReportImportTest, CommaInsideQuotesBelongsToTheField) {
  auto lines = testing::yayoiReportLines(YayoiReport::SubAccountList, {});
  lines.push_back("\"[明細行]\",\"普通預金\",\"東西,銀行\",,,\"001\",,,,,");
  const std::string path = pathOf(YayoiReport::SubAccountList);
  testing::writeCp932Lines(path, lines);
  ASSERT_TRUE(importReport(state, platform, path, ReportKind::SubAccountList));
  ASSERT_EQ(state.workSubAccounts.count(), 1);
  const WorkSubAccount& s = state.workSubAccounts[0];
  EXPECT_EQ(s.col(3), "東西,銀行");
  EXPECT_EQ(s.col(6), "001");
}

TEST_F(ReportImportTest, AccountWithoutNameFailsAtItsLine) {
  EXPECT_FALSE(import(YayoiReport::AccountList,
                      {testing::accountRow({"[貸借対照表]", "現金"}, "100"),
                       testing::accountRow({"[a]", "[b]", "[c]", "[d]", "[e]", "[f]"}, "101")}));
  EXPECT_EQ(detail(),
            pathOf(YayoiReport::AccountList) + " 7行目: 2～7列目から科目名を読み取れません");
  EXPECT_FALSE(platform.progressVisible);
}

}  // namespace
}  // namespace ledra
