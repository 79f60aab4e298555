#include "matching/mapping_reuse.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "state/account_links.hpp"
#include "state/conversion_state.hpp"
#include "support/scripted_platform.hpp"

namespace ledra {
namespace {

using testing::ScriptedPlatform;

void addAccount(ConversionState& s, std::string code, std::string name, std::string ledraCode = "",
                std::string ledraName = "", int32_t group = 0) {
  WorkAccount& a = s.workAccounts.append();
  a.sourceCode = std::move(code);
  a.sourceName = std::move(name);
  a.ledraCode = std::move(ledraCode);
  a.ledraName = std::move(ledraName);
  a.valid = a.selected = true;
  a.matched = !a.ledraCode.empty();
  a.hasSubAccounts = group != 0;
  a.subAccountGroupNo = group;
  WorkAccountBalance& b = s.workAccountBalances.append();
  b.accountSourceCode = a.sourceCode;
  b.accountSourceName = a.sourceName;
}

void addSub(ConversionState& s, std::string parent, std::string name, int32_t group,
            std::string importedCode, std::string code) {
  WorkSubAccount& sub = s.workSubAccounts.append();
  sub.col(2) = std::move(parent);
  sub.col(6) = std::move(importedCode);
  sub.subAccountName = std::move(name);
  sub.subAccountGroupNo = group;
  sub.newSubCode = std::move(code);
}

// The earlier client: its accounts mapped, two invalidated, sub-account codes chosen.
ConversionState earlierClient() {
  ConversionState s;
  addAccount(s, "1", "現金", "A01", "現金");
  addAccount(s, "2", "普通預金", "B02", "普通預金", 1);
  addAccount(s, "3", "売掛金", "C03", "売掛金", 2);
  addAccount(s, "4", "雑費", "Z99", "雑費");
  addAccount(s, "5", "雑損失");
  s.workAccounts[4].valid = false;
  addAccount(s, "6", "交際費");
  s.workAccounts[5].valid = false;
  addAccount(s, "7", "通信費", "T01", "通信費");
  addSub(s, "普通預金", "東西銀行", 1, "1", "B1");
  addSub(s, "普通預金", "南北信金", 1, "2", "B2");
  addSub(s, "売掛金", "みなと", 2, "1", "1");  // the import's code: no decision
  return s;
}

// This client: reordered, 現金 written with a blank, 雑費 missing, its own chart.
ConversionState thisClient() {
  ConversionState s;
  const std::pair<const char*, const char*> chart[] = {
      {"A01", "現金"}, {"B02", "普通預金"}, {"C03", "売掛金"}, {"T01", "通信費"}, {"X01", "諸口"}};
  for (auto [code, name] : chart) s.standardAccountCandidates.append({code, name, false});
  addAccount(s, "30", "売掛金", "T01", "通信費", 2);  // decided here: stays
  addAccount(s, "10", "現　金");
  addAccount(s, "20", "普通預金", "", "", 1);
  addAccount(s, "50", "雑損失");
  addAccount(s, "60", "交際費");
  s.workAccounts[4].inUse = true;
  addAccount(s, "70", "通信費");
  addAccount(s, "80", "仮払金");
  addSub(s, "普通預金", "東西銀行", 1, "1", "1");
  addSub(s, "普通　預金", "南北信金", 1, "2", "B1");  // chosen here, and clashes with 東西銀行's
  addSub(s, "売掛金", "みなと", 2, "9", "9");
  return s;
}

TEST(ReuseMappings, FillsWhatIsOpenAndNamesWhatCannotBe) {
  ConversionState s = thisClient();
  ScriptedPlatform p;
  const ReuseSummary summary = reuseMappings(s, p, earlierClient());

  EXPECT_EQ(summary.lines(), (std::vector<std::string>{
                                 "勘定科目コードを割り当てました: 2件",
                                 "補助科目コードを割り当てました: 0件",
                                 "勘定科目を無効にしました: 1件",
                                 "割り当てられなかったもの: 3件",
                                 "  勘定科目 60 交際費: 使用中の勘定科目は無効にできません。",
                                 "  勘定科目 70 通信費: コード(T01)は既に使用済みです。",
                                 "  補助科目 普通預金/東西銀行: コード(B1)は既に使用済みです。",
                             }));
  EXPECT_TRUE(p.messages.empty());
  // Decided here: unchanged.
  EXPECT_EQ(s.workAccounts[0].ledraCode, "T01");
  EXPECT_EQ(s.workSubAccounts[1].newSubCode, "B1");
  EXPECT_EQ(s.workSubAccounts[2].newSubCode, "9");
  // Applied with this chart's name, carried to the balance rows and the group.
  EXPECT_EQ(s.workAccounts[1].ledraCode, "A01");
  EXPECT_TRUE(s.workAccounts[1].matched);
  EXPECT_EQ(AccountLinks(s).ledraCodeOf(s.workAccountBalances[1]), "A01");
  EXPECT_EQ(s.workAccounts[2].ledraName, "普通預金");
  EXPECT_EQ(AccountLinks(s).parentLedraCodeOf(s.workSubAccounts[0]), "B02");
  EXPECT_FALSE(s.workAccounts[3].valid);
  EXPECT_FALSE(AccountLinks(s).validOf(s.workAccountBalances[3]));
  EXPECT_TRUE(s.workAccounts[4].valid);
  EXPECT_TRUE(s.workAccounts[6].ledraCode.empty());
}

TEST(ReuseMappings, AppliesSubAccountCodesAndRefusesCodesNotInThisChart) {
  ConversionState s = thisClient();
  s.workSubAccounts[1].newSubCode = "2";  // back to the import's code
  ConversionState other = earlierClient();
  other.workAccounts[0].ledraCode = "Q77";
  ScriptedPlatform p;
  const ReuseSummary summary = reuseMappings(s, p, other);
  EXPECT_EQ(summary.accounts, 1);
  EXPECT_EQ(summary.subAccounts, 2);
  ASSERT_FALSE(summary.refused.empty());
  EXPECT_EQ(summary.refused[0], "勘定科目 10 現　金: コード(Q77)はこのデータの候補にありません。");
  EXPECT_EQ(s.workSubAccounts[0].newSubCode, "B1");
  EXPECT_EQ(s.workSubAccounts[1].newSubCode, "B2");

  // A second pass finds nothing more to do.
  const ReuseSummary again = reuseMappings(s, p, other);
  EXPECT_EQ(again.accounts + again.subAccounts + again.invalidations, 0);
}

}  // namespace
}  // namespace ledra
