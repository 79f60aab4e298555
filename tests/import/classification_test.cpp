#include "import/classification.hpp"

#include <gtest/gtest.h>

#include "import/report_import.hpp"
#include "matching/sub_account_lists.hpp"
#include "state/account_links.hpp"
#include "state/conversion_state.hpp"
#include "support/scripted_platform.hpp"
#include "support/temp_dir.hpp"
#include "support/yayoi_fixtures.hpp"

namespace ledra {
namespace {

using testing::accountRow;
using testing::balanceRow;
using testing::ReportRow;
using testing::subAccountRow;
using testing::subBalanceRow;
using testing::YayoiReport;

const std::string kBs = "[貸借対照表]";
const std::string kPl = "[損益計算書]";

class ClassificationTest : public ::testing::Test {
 protected:
  bool import(YayoiReport report, const std::vector<ReportRow>& rows) {
    const std::string path = dir.file(testing::yayoiFileName(report));
    testing::writeYayoiReport(path, report, rows);
    const StepResult result = importReport(state, platform, path, testing::yayoiKind(report));
    error = result.error();
    return result.ok();
  }
  ErrorDetail error;
  void addStandard(const std::string& code, const std::string& name) {
    state.standardAccounts.append({"", "", code, name, "", false});
  }
  // Accounts named 科目1..科目n (codes 1..n), each with one sub-account.
  bool importParents(int n) {
    std::vector<ReportRow> accounts, subs;
    for (int i = 1; i <= n; ++i) {
      const std::string name = "科目" + std::to_string(i);
      accounts.push_back(accountRow({kBs, name}, std::to_string(i)));
      subs.push_back(subAccountRow(name, "補助", "1"));
    }
    return import(YayoiReport::DepartmentList, {testing::departmentRow("社", {})}) &&
           import(YayoiReport::AccountList, accounts) &&
           import(YayoiReport::SubAccountList, subs) &&
           import(YayoiReport::SubAccountBalances, {subBalanceRow("社", "科目1", "補助", "0")});
  }

  testing::TempDir dir;
  testing::ScriptedPlatform platform;
  ConversionState state;
};

TEST_F(ClassificationTest, SourceNameIsTheFirstWordWithoutClosingBracket) {
  struct {
    std::vector<std::string> columns;
    const char* name;
  } cases[] = {
      {{"[貸借対照表]", "[資産の部]", "現金", "", "", ""}, "現金"},
      {{"[損益計算書]", "[a]", "[b]", "[c]", "[d]", "売上高"}, "売上高"},
      {{"[損益計算書]", "売上 値引"}, "売上"},
      {{"[x]y", "z"}, "[x]y"},
  };
  std::vector<ReportRow> rows;
  for (const auto& c : cases) rows.push_back(accountRow(c.columns, "1"));
  ASSERT_TRUE(import(YayoiReport::AccountList, rows));
  for (int i = 0; i < static_cast<int>(std::size(cases)); ++i)
    EXPECT_EQ(state.workAccounts[i].sourceName, cases[i].name);

  for (const auto& columns : std::vector<std::vector<std::string>>{
           {"", "現金"}, {"[a]", "[b]", "[c]", "[d]", "[e]", "[f] 現金"}}) {
    EXPECT_FALSE(import(YayoiReport::AccountList, {accountRow(columns, "1")}));
    EXPECT_EQ(error.reason, "2～7列目から科目名を読み取れません");
  }
}

TEST_F(ClassificationTest, AccountsTakeStandardAccountsOfTheSameNameOnce) {
  addStandard("100", "現金");
  addStandard("500", "売上　高");
  addStandard("", "流動資産");  // heading row of the master
  ASSERT_TRUE(import(YayoiReport::AccountList,
                     {accountRow({kBs, "現金"}, "A1"), accountRow({kBs, "現金"}, "A2"),
                      accountRow({kPl, "売上高"}, "A3"), accountRow({kBs, "流動資産"}, "A4")}));
  const auto& a = state.workAccounts;
  EXPECT_EQ(a[0].ledraCode, "100");
  EXPECT_TRUE(a[0].matched);
  EXPECT_FALSE(a[0].notAutoMatched);
  EXPECT_EQ(a[1].ledraCode, "");
  EXPECT_FALSE(a[1].matched);
  EXPECT_TRUE(a[1].notAutoMatched);
  EXPECT_EQ(a[2].ledraCode, "500");
  EXPECT_EQ(a[2].ledraName, "売上　高");
  EXPECT_FALSE(a[3].matched);
  EXPECT_TRUE(state.standardAccounts[0].taken);
  EXPECT_TRUE(state.standardAccounts[1].taken);
  EXPECT_FALSE(state.standardAccounts[2].taken);
  EXPECT_EQ(a[1].sourceCode, "A2");
  EXPECT_TRUE(a[1].selected && a[1].valid);
  EXPECT_EQ(a[1].subAccountGroupCode, "00");
}

TEST_F(ClassificationTest, ReadingTheAccountListAgainMatchesAgain) {
  addStandard("100", "現金");
  for (int run = 0; run < 2; ++run) {
    ASSERT_TRUE(import(YayoiReport::AccountList, {accountRow({kBs, "現金"}, "A1")}));
    EXPECT_EQ(state.workAccounts[0].ledraCode, "100") << run;
    EXPECT_TRUE(state.workAccounts[0].matched) << run;
  }
}

TEST_F(ClassificationTest, BalanceRowsLinkAccountsAndSortThemIntoSections) {
  addStandard("100", "現金");
  ASSERT_TRUE(import(YayoiReport::DepartmentList, {testing::departmentRow("社", {})}));
  ASSERT_TRUE(import(YayoiReport::AccountList,
                     {accountRow({kBs, "現金"}, "1"), accountRow({kPl, "売上高"}, "2"),
                      accountRow({"[製造原価報告書]", "労務費"}, "3"), accountRow({"雑"}, "4"),
                      accountRow({"未使用"}, "5")}));
  ASSERT_TRUE(import(YayoiReport::AccountBalances,
                     {balanceRow("", kBs, "現金", "300"), balanceRow("", kPl, "売上高", "0"),
                      balanceRow("", "[製造原価報告書]", "労務費", "0"),
                      balanceRow("", "[その他]", "雑", "0"), balanceRow("", kBs, "不明", "7")}));
  const auto& a = state.workAccounts;
  EXPECT_EQ(a[0].section, "BS");
  EXPECT_EQ(a[1].section, "PL");
  EXPECT_EQ(a[2].section, "PL");
  EXPECT_EQ(a[3].section, "");
  EXPECT_EQ(a[4].section, "");
  auto items = [](const AccountView& v) { return std::vector<int32_t>(v.begin(), v.end()); };
  EXPECT_EQ(items(state.balanceSheetView), (std::vector<int32_t>{0}));
  EXPECT_EQ(items(state.profitAndLossView), (std::vector<int32_t>{1, 2}));
  EXPECT_EQ(items(state.allView), (std::vector<int32_t>{0, 1, 2, 3, 4}));

  const WorkAccountBalance& cash = state.workAccountBalances[0];
  EXPECT_TRUE(cash.processed);
  EXPECT_EQ(cash.accountSourceCode, "1");
  EXPECT_EQ(cash.accountSourceName, "現金");
  const AccountLinks links(state);
  EXPECT_EQ(links.ledraCodeOf(cash), "100");
  EXPECT_EQ(cash.linkAmount, 300);
  EXPECT_TRUE(links.matchedOf(cash) && links.validOf(cash));
  EXPECT_EQ(cash.departmentCode, "1");
  EXPECT_EQ(a[0].displayBalance, 300);
  EXPECT_FALSE(state.workAccountBalances[4].processed);
  EXPECT_EQ(state.workAccountBalances[4].accountSourceCode, "");
}

// A balance row names its account; of two accounts sharing the name the first one takes it,
// and the other's code finds no row.
TEST_F(ClassificationTest, BalanceRowOfASharedNameLinksTheFirstAccount) {
  ASSERT_TRUE(import(YayoiReport::DepartmentList, {testing::departmentRow("社", {})}));
  ASSERT_TRUE(import(YayoiReport::AccountList,
                     {accountRow({kPl, "雑費"}, "1"), accountRow({kPl, "雑費"}, "2")}));
  ASSERT_TRUE(import(YayoiReport::AccountBalances, {balanceRow("", kPl, "雑費", "300")}));
  EXPECT_EQ(state.workAccountBalances[0].accountSourceCode, "1");
  EXPECT_EQ(state.workAccounts[0].displayBalance, 300);
  EXPECT_EQ(state.workAccounts[1].displayBalance, 0);
  EXPECT_EQ(state.workAccounts[1].section, "");
}

TEST_F(ClassificationTest, DisplayBalanceIsTheCompanyTotalWhenThereAreDepartments) {
  ASSERT_TRUE(import(YayoiReport::DepartmentList,
                     {testing::departmentRow("社", {}), testing::departmentRow("社", {"本店"})}));
  ASSERT_TRUE(import(YayoiReport::AccountList, {accountRow({kBs, "現金"}, "1")}));
  ASSERT_TRUE(import(YayoiReport::AccountBalances,
                     {balanceRow("本店", kBs, "現金", "40"),
                      balanceRow("社(合計)", kBs, "現金", "100", testing::kTotal)}));
  EXPECT_EQ(state.workAccounts[0].displayBalance, 100);
  EXPECT_EQ(state.workAccounts[0].openingBalance, 40);
  EXPECT_EQ(state.workAccountBalances[0].departmentCode, "2");
}

TEST_F(ClassificationTest, GroupCodesCountFromTwo) {
  ASSERT_TRUE(importParents(100));
  struct {
    int account;
    int32_t number;
    const char* code;
  } cases[] = {{0, 2, "02"}, {7, 9, "09"}, {8, 10, "10"}, {98, 100, "A0"}, {99, 101, "A1"}};
  for (const auto& c : cases) {
    const WorkAccount& a = state.workAccounts[c.account];
    EXPECT_TRUE(a.hasSubAccounts);
    EXPECT_EQ(a.subAccountGroupNo, c.number);
    EXPECT_EQ(a.subAccountGroupCode, c.code);
    const WorkSubAccount& s = state.workSubAccounts[c.account];
    EXPECT_EQ(s.subAccountGroupCode, c.code);
    EXPECT_TRUE(s.linkedToAccount);
  }
  SubAccountLists lists;
  rebuildSubAccountLists(state, lists);
  EXPECT_EQ(lists.parentChoices.count(), 101);
  EXPECT_EQ(lists.parentChoices[100].groupNo, 101);
  EXPECT_EQ(lists.entries.count(), 100);
  EXPECT_EQ(lists.parentName, "全て表示");
}

TEST_F(ClassificationTest, The359thParentAccountHasNoGroupCode) {
  ASSERT_TRUE(importParents(358));
  EXPECT_EQ(state.workAccounts[357].subAccountGroupCode, "Z9");
  EXPECT_FALSE(importParents(359));
  EXPECT_EQ(error.reason, "勘定科目「科目359」: 補助科目のある勘定科目が多すぎます（358件まで）");
  EXPECT_EQ(state.workSubAccounts[357].subAccountGroupCode, "Z9");
  EXPECT_FALSE(state.workSubAccounts[358].linkedToAccount);
}

TEST_F(ClassificationTest, SubAccountBalancesLinkByAccountAndName) {
  addStandard("131", "普通預金");
  ASSERT_TRUE(import(YayoiReport::DepartmentList, {testing::departmentRow("社", {})}));
  ASSERT_TRUE(import(YayoiReport::AccountList, {accountRow({kBs, "普通預金"}, "1")}));
  ASSERT_TRUE(import(YayoiReport::AccountBalances, {balanceRow("", kBs, "普通預金", "30")}));
  ASSERT_TRUE(import(YayoiReport::SubAccountList, {subAccountRow("普通預金", "東西銀行", "001"),
                                                   subAccountRow("普通預金", "南北銀行", "002")}));
  ASSERT_TRUE(
      import(YayoiReport::SubAccountBalances, {subBalanceRow("", "普通預金", "南北銀行", "20"),
                                               subBalanceRow("", "普通預金", "指定なし", "10"),
                                               subBalanceRow("", "当座預金", "南北銀行", "5")}));
  const auto& rows = state.workSubAccountBalances;
  EXPECT_EQ(rows[0].newSubCode, "002");
  EXPECT_EQ(rows[0].subAccountName, "南北銀行");
  EXPECT_EQ(AccountLinks(state).parentLedraCodeOf(rows[0]), "131");
  EXPECT_EQ(rows[0].subAccountGroupCode, "02");
  EXPECT_EQ(rows[0].departmentCode, "1");
  EXPECT_EQ(rows[1].newSubCode, "999");
  EXPECT_EQ(rows[1].subAccountName, "指定なし");
  EXPECT_TRUE(rows[1].linkedToAccount);
  EXPECT_FALSE(rows[2].linkedToAccount);
  EXPECT_EQ(rows[2].newSubCode, "");
  EXPECT_EQ(state.workSubAccounts[1].ownRow, 1);
  EXPECT_EQ(state.workSubAccounts[1].openingBalance, 20);
  EXPECT_TRUE(state.workAccountBalances[0].accountHasSubAccounts);
  EXPECT_EQ(state.workAccountBalances[0].subAccountGroupCode, "02");
}

TEST_F(ClassificationTest, DepartmentHierarchyIsNumberedByLevel) {
  struct {
    std::vector<std::string> levels;  // columns 3-7
    const char* match;
    const char* code;
    const char* level1;
    const char* level2;
    const char* level3;
    const char* parent;
  } cases[] = {
      {{"A"}, "A", "1", "1", "", "", ""},
      {{"A", "x"}, "x", "2", "1", "2", "", "A"},
      {{"A", "y"}, "y", "3", "1", "3", "", "A"},
      {{"B"}, "B", "4", "4", "", "", ""},
      {{"B", "z"}, "z", "5", "4", "5", "", "B"},
      {{"B", "z", "p"}, "p", "6", "4", "5", "6", "z"},
      {{"B", "z", "p"}, "p(共通)", "7", "4", "5", "7", "z"},
      {{"B", "z", "p", "q", "r"}, "q", "8", "4", "5", "8", "q"},
      {{"B", "z", "p", "q", "r"}, "", "", "", "", "", "q"},
      {{"B", "z"}, "z(共通)", "10", "4", "5", "10", "B"},
      {{"B"}, "B(共通)", "11", "4", "11", "", ""},
      {{}, "社(共通)", "12", "12", "", "", ""},
  };
  std::vector<ReportRow> rows;
  for (const auto& c : cases) rows.push_back(testing::departmentRow("社", c.levels));
  ASSERT_TRUE(import(YayoiReport::DepartmentList, rows));
  for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
    SCOPED_TRACE(i + 1);
    const WorkDepartment& d = state.workDepartments[i];
    EXPECT_EQ(d.matchName, cases[i].match);
    EXPECT_EQ(d.departmentCode, cases[i].code);
    EXPECT_EQ(d.level1Code, cases[i].level1);
    EXPECT_EQ(d.level2Code, cases[i].level2);
    EXPECT_EQ(d.level3Code, cases[i].level3);
    EXPECT_EQ(d.parentDepartmentName, cases[i].parent);
  }
}

TEST_F(ClassificationTest, LevelTwoNumberStartsAtZero) {
  // A first row that already names a second level takes only the first level's number, so
  // the third-level row below it finds no second-level row before it.
  ASSERT_TRUE(import(YayoiReport::DepartmentList, {testing::departmentRow("社", {"A", "x"}),
                                                   testing::departmentRow("社", {"A", "x", "y"})}));
  const auto& d = state.workDepartments;
  EXPECT_EQ(d[0].matchName, "A");
  EXPECT_EQ(d[0].level2Code, "");
  EXPECT_EQ(d[1].matchName, "y");
  EXPECT_EQ(d[1].level1Code, "1");
  EXPECT_EQ(d[1].level2Code, "0");
  EXPECT_EQ(d[1].level3Code, "2");
  EXPECT_EQ(d[1].parentDepartmentName, "x");
}

TEST_F(ClassificationTest, ParentChoicesListMappedAndUnmappedParents) {
  addStandard("100", "現金");
  addStandard("300", "売掛金");
  ASSERT_TRUE(import(YayoiReport::AccountList,
                     {accountRow({kBs, "現金"}, "1"), accountRow({kBs, "預金"}, "2"),
                      accountRow({kBs, "なし"}, "3"), accountRow({kBs, "売掛金"}, "4")}));
  ASSERT_TRUE(import(YayoiReport::SubAccountList,
                     {subAccountRow("売掛金", "甲", "1"), subAccountRow("現金", "乙", "1"),
                      subAccountRow("預金", "丙", "1")}));
  ASSERT_TRUE(import(YayoiReport::SubAccountBalances, {subBalanceRow("", "現金", "乙", "0")}));
  const std::vector<std::string> expected = {"全て表示", "100：現金", "勘定科目未設定",
                                             "300：売掛金"};
  SubAccountLists lists;
  EXPECT_EQ(refillParentAccountChoices(state, lists), expected);
  EXPECT_EQ(parentAccountChoiceTexts(lists), expected);
  EXPECT_EQ(lists.parentChoices[0], (ParentAccountChoice{"全て表示", "全て表示", 1}));
  EXPECT_EQ(lists.parentChoices[3], (ParentAccountChoice{"300", "売掛金", 4}));
}

TEST_F(ClassificationTest, SubAccountListAloneAndUnknownKindsChangeNothing) {
  state.workSubAccounts.append().col(3) = "甲";
  const ConversionState before = state;
  EXPECT_TRUE(classifyImport(state, platform, ReportKind::SubAccountList));
  EXPECT_TRUE(classifyImport(state, platform, ReportKind::Journal));
  EXPECT_EQ(state.workSubAccounts[0], before.workSubAccounts[0]);
  EXPECT_EQ(state.workSubAccounts[0].newSubCode, "");
}

TEST_F(ClassificationTest, BlueReturnLinksByCodeAndSumsSubAccountBalances) {
  state.sourcePackage = SourcePackage::BlueReturn;
  for (auto [code, name] : {std::pair{"111", "普通預金"}, std::pair{"400", "売上高"}}) {
    WorkAccount& a = state.workAccounts.append();
    a.col(2) = name;
    a.col(10) = code;
    WorkAccountBalance& row = state.workAccountBalances.append();
    row.col(2) = "事業所(共通)";
    row.col(4) = std::string(code) == "400" ? kPl : kBs;
    row.col(5) = "別名";
    row.accountSourceCode = code;
    row.amount1 = 9;
  }
  for (auto [sub, amount] : {std::pair{"甲銀行", 70}, std::pair{"乙銀行", 30}}) {
    WorkSubAccount& s = state.workSubAccounts.append();
    s.col(2) = "普通預金";
    s.col(3) = sub;
    WorkSubAccountBalance& row = state.workSubAccountBalances.append();
    row.col(5) = "普通預金";
    row.col(6) = sub;
    row.amount1 = amount;
  }
  for (ReportKind kind : {ReportKind::AccountList, ReportKind::TrialBalance,
                          ReportKind::SubAccountList, ReportKind::SubAccountBalances})
    ASSERT_TRUE(classifyImport(state, platform, kind));
  EXPECT_EQ(state.workAccountBalances[0].accountSourceName, "普通預金");
  EXPECT_EQ(state.workAccountBalances[1].accountSourceName, "売上高");
  EXPECT_EQ(state.workAccounts[1].section, "PL");
  EXPECT_EQ(state.workAccountBalances[0].amount1, 100);
  EXPECT_EQ(state.workAccounts[0].displayBalance, 100);
  EXPECT_EQ(state.workAccountBalances[1].amount1, 9);
}

}  // namespace
}  // namespace ledra
