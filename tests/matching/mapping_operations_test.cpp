#include "matching/mapping_operations.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "matching/sub_account_lists.hpp"
#include "state/account_links.hpp"
#include "state/conversion_state.hpp"
#include "support/fixtures.hpp"
#include "support/scripted_platform.hpp"

namespace ledra {
namespace {

using testing::ScriptedPlatform;

using testing::rowsOf;

// Everything the operations may write, to check that a refusal changed nothing.
struct Snapshot {
  std::vector<WorkAccount> accounts;
  std::vector<WorkAccountBalance> balances;
  std::vector<WorkSubAccount> subAccounts;
  std::vector<WorkSubAccountBalance> subBalances;
  std::vector<SubAccountIndexEntry> subIndex;
  std::string parentName, parentCode;
  bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const ConversionState& s, const SubAccountLists& l = SubAccountLists{}) {
  return {rowsOf(s.workAccounts),
          rowsOf(s.workAccountBalances),
          rowsOf(s.workSubAccounts),
          rowsOf(s.workSubAccountBalances),
          rowsOf(l.entries),
          l.parentName,
          l.parentCode};
}

void addAccount(ConversionState& s, std::string code, std::string name, int32_t group = 0) {
  WorkAccount& a = s.workAccounts.append();
  a.sourceCode = std::move(code);
  a.sourceName = std::move(name);
  a.valid = a.selected = true;
  a.hasSubAccounts = group != 0;
  a.subAccountGroupNo = group;
}

void addBalance(ConversionState& s, const WorkAccount* a) {
  WorkAccountBalance& b = s.workAccountBalances.append();
  if (a == nullptr) return;  // a row no account claimed
  b.accountSourceCode = a->sourceCode;
  b.accountSourceName = a->sourceName;
  b.subAccountGroupNo = a->subAccountGroupNo;
  b.processed = true;
}

void addSub(ConversionState& s, std::string parent, std::string name, int32_t group,
            std::string code) {
  WorkSubAccount& sub = s.workSubAccounts.append();
  sub.col(2) = std::move(parent);
  sub.subAccountName = std::move(name);
  sub.subAccountGroupNo = group;
  sub.newSubCode = std::move(code);
  sub.linkedToAccount = group != 0;
}

void addSubBalance(ConversionState& s, std::string name, int32_t group, std::string code) {
  WorkSubAccountBalance& b = s.workSubAccountBalances.append();
  b.subAccountName = std::move(name);
  b.subAccountGroupNo = group;
  b.newSubCode = std::move(code);
}

// 0 現金 (mapped, in use), 1 普通預金 (group 2), 2 売上, 3 当座預金 (group 3), 4 a second
// 普通預金 under another code, whose balance rows the import gave to account 1.
ConversionState makeState() {
  ConversionState s;
  const std::pair<const char*, const char*> standard[] = {
      {"A01", "現金"}, {"B02", "普通預金"}, {"C03", "売上高"}, {"D04", "当座預金"}};
  for (auto [code, name] : standard) s.standardAccountCandidates.append({code, name, false});
  addAccount(s, "100", "現金");
  addAccount(s, "200", "普通預金", 2);
  addAccount(s, "300", "売上");
  addAccount(s, "400", "当座預金", 3);
  addAccount(s, "500", "普通預金");
  WorkAccount& cash = s.workAccounts[0];
  cash.ledraCode = "A01";
  cash.ledraName = "現金";
  cash.matched = true;
  cash.inUse = true;

  addBalance(s, &s.workAccounts[0]);
  addBalance(s, &s.workAccounts[1]);
  addBalance(s, &s.workAccounts[1]);
  addBalance(s, &s.workAccounts[2]);
  addBalance(s, nullptr);

  addSub(s, "普通預金", "A銀行", 2, "1");
  addSub(s, "普通預金", "B銀行", 2, "2");
  addSub(s, "当座預金", "A銀行", 3, "1");
  addSub(s, "不明", "X", 0, "9");
  addSubBalance(s, "A銀行", 2, "1");
  addSubBalance(s, "B銀行", 2, "2");
  addSubBalance(s, "A銀行", 3, "1");
  addSubBalance(s, "X", 0, "9");
  addSubBalance(s, "指定なし", 2, "999");

  return s;
}

// The combo's choices for makeState: all, then the two unmapped parents.
SubAccountLists makeLists() {
  SubAccountLists l;
  l.parentChoices.append({"全て表示", "全て表示", 1});
  l.parentChoices.append({"", "", 2});
  l.parentChoices.append({"", "", 3});
  return l;
}

// Inside a batch the operations reach the same rows through its index as they do by looking
// through the tables: the two 普通預金 keep apart, and so do 売上 and an account sharing its code
// under another name; the unlinked row and group 0 stay untouched.
TEST(MappingBatch, ReachesExactlyTheRowsTheTablesDo) {
  const std::vector<std::pair<const char*, std::function<void(ConversionState&, Platform&)>>>
      changes = {
          {"codes",
           [](ConversionState& s, Platform&) {
             (void)assignStandardAccount(s, 1, "B02", "普通預金");
             (void)assignStandardAccount(s, 4, "D04", "当座預金");
             (void)assignStandardAccount(s, 5, "C03", "売上高");
             (void)clearStandardAccount(s, 0);
           }},
          {"validity",
           [](ConversionState& s, Platform& p) {
             (void)setAccountValid(s, p, 1, false);
             (void)setAccountValid(s, p, 2, false);
             (void)setAccountValid(s, p, 1, true);
           }},
          {"sub-account codes",
           [](ConversionState& s, Platform&) {
             (void)decideSubAccountRowCode(s, 0, "7");
             (void)decideSubAccountRowCode(s, 2, "8");
             (void)decideSubAccountRowCode(s, 3, "6");
           }},
      };
  for (const auto& [what, change] : changes) {
    SCOPED_TRACE(what);
    const auto build = [] {
      ConversionState s = makeState();
      addAccount(s, "300", "雑収入");
      return s;
    };
    ConversionState looked = build(), indexed = build();
    ScriptedPlatform p;
    change(looked, p);
    {
      const MappingBatch batch(indexed);
      change(indexed, p);
    }
    EXPECT_TRUE(snapshot(indexed) == snapshot(looked));
    EXPECT_FALSE(snapshot(looked) == snapshot(build()));
  }
}

TEST(DecideAccountCode, NormalisesConfirmsAndCarriesTheMappingToLinkedRows) {
  ConversionState s = makeState();
  ScriptedPlatform p;
  MappingResult r = decideAccountCode(s, p, 1, " b0\u30002 ");
  EXPECT_EQ(r.outcome, MappingOutcome::Applied);

  ASSERT_EQ(p.messages.size(), 1u);
  EXPECT_EQ(p.messages[0].text, "勘定科目候補( 普通預金 )\r\nが存在します。適用しますか？");
  EXPECT_EQ(p.messages[0].title, "注意");
  EXPECT_EQ(p.messages[0].buttons, MsgButtons::OkCancel);

  const WorkAccount& a = s.workAccounts[1];
  EXPECT_EQ(a.ledraCode, "B02");
  EXPECT_EQ(a.ledraName, "普通預金");
  EXPECT_TRUE(a.matched);
  for (int i : {1, 2}) {
    EXPECT_EQ(AccountLinks(s).ledraCodeOf(s.workAccountBalances[i]), "B02");
    EXPECT_EQ(AccountLinks(s).ledraNameOf(s.workAccountBalances[i]), "普通預金");
    EXPECT_TRUE(AccountLinks(s).matchedOf(s.workAccountBalances[i]));
  }
  for (int i : {0, 1}) {
    EXPECT_EQ(AccountLinks(s).parentLedraCodeOf(s.workSubAccounts[i]), "B02");
    EXPECT_EQ(AccountLinks(s).parentLedraNameOf(s.workSubAccounts[i]), "普通預金");
  }
  for (int i : {0, 1, 4})
    EXPECT_EQ(AccountLinks(s).parentLedraCodeOf(s.workSubAccountBalances[i]), "B02");
  // Another group, the unlinked row and the unlinked sub-account stay as they were.
  EXPECT_EQ(AccountLinks(s).parentLedraCodeOf(s.workSubAccounts[2]), "");
  EXPECT_EQ(AccountLinks(s).parentLedraCodeOf(s.workSubAccounts[3]), "");
  EXPECT_EQ(AccountLinks(s).parentLedraCodeOf(s.workSubAccountBalances[2]), "");
  EXPECT_EQ(AccountLinks(s).ledraCodeOf(s.workAccountBalances[4]), "");
}

TEST(DecideAccountCode, AnAccountSharingAnotherOnesNameLeavesThatOnesBalanceRows) {
  ConversionState s = makeState();
  ScriptedPlatform p;
  EXPECT_TRUE(decideAccountCode(s, p, 4, "B02").applied());
  EXPECT_EQ(s.workAccounts[4].ledraCode, "B02");
  EXPECT_EQ(AccountLinks(s).ledraCodeOf(s.workAccountBalances[1]), "");
  EXPECT_EQ(AccountLinks(s).ledraCodeOf(s.workAccountBalances[2]), "");
  EXPECT_EQ(AccountLinks(s).parentLedraCodeOf(s.workSubAccounts[0]), "");
}

TEST(DecideAccountCode, RefusalsAndCancelChangeNothing) {
  struct Case {
    const char* name;
    int32_t account;
    const char* typed;
    MsgResult answer;
    MappingOutcome outcome;
    MappingRefusal refusal;
    const char* text;
    const char* title;
  };
  const Case cases[] = {
      {"used by another account", 2, "A01", MsgResult::Ok, MappingOutcome::Refused,
       MappingRefusal::CodeInUse, "指定した勘定科目Code(A01)は既に使用済みです。\r\n", "エラー"},
      {"used by the account itself", 0, "a01", MsgResult::Ok, MappingOutcome::Refused,
       MappingRefusal::CodeInUse, "指定した勘定科目Code(A01)は既に使用済みです。\r\n", "エラー"},
      {"no standard account", 2, "zz9", MsgResult::Ok, MappingOutcome::Refused,
       MappingRefusal::NoCandidate, "勘定科目候補が存在しません。", "登録不可"},
      {"confirmation declined", 2, "C03", MsgResult::Cancel, MappingOutcome::Cancelled,
       MappingRefusal::None, "勘定科目候補( 売上高 )\r\nが存在します。適用しますか？", "注意"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ConversionState s = makeState();
    const Snapshot before = snapshot(s);
    ScriptedPlatform p;
    p.messageAnswers.push_back(c.answer);
    MappingResult r = decideAccountCode(s, p, c.account, c.typed);
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_EQ(r.refusal, c.refusal);
    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_EQ(p.messages[0].text, c.text);
    EXPECT_EQ(p.messages[0].title, c.title);
    EXPECT_TRUE(snapshot(s) == before);
  }
}

TEST(DecideAccountCode, EmptyCodeClearsWithoutAQuestion) {
  ConversionState s = makeState();
  ScriptedPlatform p;
  EXPECT_TRUE(decideAccountCode(s, p, 0, " \u3000").applied());
  EXPECT_TRUE(p.messages.empty());
  EXPECT_EQ(s.workAccounts[0].ledraCode, "");
  EXPECT_EQ(s.workAccounts[0].ledraName, "");
  EXPECT_FALSE(s.workAccounts[0].matched);
  EXPECT_EQ(AccountLinks(s).ledraCodeOf(s.workAccountBalances[0]), "");
  EXPECT_FALSE(AccountLinks(s).matchedOf(s.workAccountBalances[0]));
}

TEST(ClearStandardAccount, EmptiesTheSubAccountGroupToo) {
  ConversionState s = makeState();
  ASSERT_TRUE(assignStandardAccount(s, 3, "D04", "当座預金").applied());
  EXPECT_EQ(AccountLinks(s).parentLedraNameOf(s.workSubAccounts[2]), "当座預金");
  EXPECT_EQ(AccountLinks(s).parentLedraNameOf(s.workSubAccountBalances[2]), "当座預金");
  ASSERT_TRUE(clearStandardAccount(s, 3).applied());
  EXPECT_EQ(AccountLinks(s).parentLedraCodeOf(s.workSubAccounts[2]), "");
  EXPECT_EQ(AccountLinks(s).parentLedraNameOf(s.workSubAccounts[2]), "");
  EXPECT_EQ(AccountLinks(s).parentLedraCodeOf(s.workSubAccountBalances[2]), "");
  EXPECT_FALSE(s.workAccounts[3].matched);
}

TEST(ClearStandardAccount, AnInvalidatedAccountStaysMatched) {
  ConversionState s = makeState();
  ScriptedPlatform p;
  ASSERT_TRUE(assignStandardAccount(s, 2, "C03", "売上高").applied());
  ASSERT_TRUE(setAccountValid(s, p, 2, false).applied());
  ASSERT_TRUE(decideAccountCode(s, p, 2, "").applied());
  EXPECT_EQ(s.workAccounts[2].ledraCode, "");
  EXPECT_TRUE(s.workAccounts[2].matched);
  EXPECT_EQ(AccountLinks(s).ledraCodeOf(s.workAccountBalances[3]), "");
  EXPECT_TRUE(AccountLinks(s).matchedOf(s.workAccountBalances[3]));
}

TEST(EnterAccountCode, DecidesOnlyWhenTheTextDiffersFromTheStoredCode) {
  ConversionState s = makeState();
  ScriptedPlatform p;
  // The stored code again: nothing to decide, no message.
  EXPECT_EQ(enterAccountCode(s, p, 0, "A 01").outcome, MappingOutcome::Unchanged);
  EXPECT_TRUE(p.messages.empty());
  // Lower case differs before Enter upper-cases it, so the decision runs and finds it used.
  EXPECT_EQ(enterAccountCode(s, p, 0, "a01").refusal, MappingRefusal::CodeInUse);
  // An empty box clears at once.
  EXPECT_TRUE(enterAccountCode(s, p, 0, "").applied());
  EXPECT_EQ(s.workAccounts[0].ledraCode, "");
  EXPECT_TRUE(enterAccountCode(s, p, 2, "c03").applied());
  EXPECT_EQ(s.workAccounts[2].ledraCode, "C03");
}

TEST(SetAccountValid, KeepsTheMatchedRuleOnAccountAndBalanceRows) {
  ConversionState s = makeState();
  ScriptedPlatform p;
  ASSERT_TRUE(setAccountValid(s, p, 2, false).applied());
  EXPECT_FALSE(s.workAccounts[2].valid);
  EXPECT_TRUE(s.workAccounts[2].matched);
  EXPECT_FALSE(AccountLinks(s).validOf(s.workAccountBalances[3]));
  EXPECT_TRUE(AccountLinks(s).matchedOf(s.workAccountBalances[3]));

  ASSERT_TRUE(toggleAccountValid(s, p, 2).applied());
  EXPECT_TRUE(s.workAccounts[2].valid);
  EXPECT_FALSE(s.workAccounts[2].matched);
  EXPECT_TRUE(AccountLinks(s).validOf(s.workAccountBalances[3]));
  EXPECT_FALSE(AccountLinks(s).matchedOf(s.workAccountBalances[3]));
  EXPECT_TRUE(p.messages.empty());
}

TEST(SetAccountValid, AnAccountInUseCannotBeInvalidated) {
  ConversionState s = makeState();
  ScriptedPlatform p;
  const Snapshot before = snapshot(s);
  MappingResult r = setAccountValid(s, p, 0, false);
  EXPECT_EQ(r.refusal, MappingRefusal::AccountInUse);
  ASSERT_EQ(p.messages.size(), 1u);
  EXPECT_EQ(p.messages[0].text, "使用中の勘定科目は無効にできません。");
  EXPECT_EQ(p.messages[0].title, "エラー");
  EXPECT_TRUE(snapshot(s) == before);

  // An in-use account that is invalid (from an older state) can still be made valid.
  s.workAccounts[0].valid = false;
  EXPECT_TRUE(setAccountValid(s, p, 0, true).applied());
  EXPECT_TRUE(s.workAccounts[0].valid);
}

TEST(ChooseParentAccount, ListsTheChosenParentsSubAccountsOrAll) {
  ConversionState s = makeState();
  s.workAccounts[1].ledraCode = "B02";  // the parent of group 2
  SubAccountLists l = makeLists();
  ASSERT_TRUE(chooseParentAccount(s, l, 1).applied());
  EXPECT_EQ(rowsOf(l.entries),
            (std::vector<SubAccountIndexEntry>{{"1", "A銀行", 0}, {"2", "B銀行", 1}}));
  EXPECT_EQ(l.parentName, "普通預金");
  EXPECT_EQ(l.parentCode, "B02");

  ASSERT_TRUE(chooseParentAccount(s, l, -1).applied());
  EXPECT_EQ(l.entries.count(), 4);
  EXPECT_EQ(l.entries[3].subAccountRow, 3);
  EXPECT_EQ(l.parentName, "全て表示");
  EXPECT_EQ(l.parentCode, "全て表示");

  const Snapshot before = snapshot(s, l);
  EXPECT_EQ(chooseParentAccount(s, l, 3).refusal, MappingRefusal::NoSuchChoice);
  EXPECT_TRUE(snapshot(s, l) == before);
}

TEST(DecideSubAccountCode, StoresTheCodeInTheSubAccountAndItsOwnBalanceRowsOnly) {
  ConversionState s = makeState();
  SubAccountLists l = makeLists();
  ASSERT_TRUE(chooseParentAccount(s, l, 1).applied());
  // Both parents are unmapped, so their sub-accounts share an empty parent code; the code of
  // 普通預金's A銀行 must not reach 当座預金's A銀行.
  ASSERT_TRUE(decideSubAccountCode(s, l, 0, " 1\u30000 ").applied());
  EXPECT_EQ(s.workSubAccounts[0].newSubCode, "10");
  EXPECT_EQ(l.entries[0].newSubCode, "10");
  EXPECT_EQ(s.workSubAccountBalances[0].newSubCode, "10");
  EXPECT_EQ(s.workSubAccounts[2].newSubCode, "1");
  EXPECT_EQ(s.workSubAccountBalances[2].newSubCode, "1");
  EXPECT_EQ(s.workSubAccountBalances[1].newSubCode, "2");

  // Leaving the box keeps the letters as typed; Enter upper-cases them; empty is accepted.
  ASSERT_TRUE(decideSubAccountCode(s, l, 1, "ab").applied());
  EXPECT_EQ(s.workSubAccounts[1].newSubCode, "ab");
  ASSERT_TRUE(enterSubAccountCode(s, l, 1, "ab").applied());
  EXPECT_EQ(s.workSubAccounts[1].newSubCode, "AB");
  EXPECT_EQ(s.workSubAccountBalances[1].newSubCode, "AB");
  ASSERT_TRUE(enterSubAccountCode(s, l, 1, "").applied());
  EXPECT_EQ(s.workSubAccounts[1].newSubCode, "");
  // A typed code is held as the files will hold it, so that two codes the output would write
  // alike also clash here.
  ASSERT_TRUE(enterSubAccountCode(s, l, 1, "A\U0001F600〜").applied());
  EXPECT_EQ(s.workSubAccounts[1].newSubCode, "A?～");
  EXPECT_EQ(s.workSubAccountBalances[1].newSubCode, "A?～");

  EXPECT_EQ(decideSubAccountCode(s, l, 2, "5").refusal, MappingRefusal::NoSuchSubAccount);
  // The command line and the reuse name the sub-account's row; no listing is involved.
  ASSERT_TRUE(enterSubAccountRowCode(s, 2, "c 3").applied());
  EXPECT_EQ(s.workSubAccounts[2].newSubCode, "C3");
  EXPECT_EQ(s.workSubAccountBalances[2].newSubCode, "C3");
  EXPECT_EQ(enterSubAccountRowCode(s, 4, "5").refusal, MappingRefusal::NoSuchSubAccount);
}

TEST(DecideSubAccountCode, FollowsTheParentsCurrentMapping) {
  ConversionState s = makeState();
  SubAccountLists l = makeLists();
  ASSERT_TRUE(chooseParentAccount(s, l, 2).applied());
  // The parent is mapped after it was chosen in the combo.
  ASSERT_TRUE(assignStandardAccount(s, 3, "D04", "当座預金").applied());
  ASSERT_TRUE(decideSubAccountCode(s, l, 0, "7").applied());
  EXPECT_EQ(s.workSubAccountBalances[2].newSubCode, "7");
}

TEST(SetSubAccountCode, ChoosesTheParentAndEntersTheCode) {
  ConversionState s = makeState();
  ASSERT_TRUE(setSubAccountCode(s, "400", "A銀行", "x 1").applied());
  EXPECT_EQ(s.workSubAccounts[2].newSubCode, "X1");
  EXPECT_EQ(s.workSubAccountBalances[2].newSubCode, "X1");
  EXPECT_EQ(s.workSubAccounts[0].newSubCode, "1");
}

TEST(SetSubAccountCode, RefusalsLeaveTheListingAsItWas) {
  struct Case {
    const char* parent;
    const char* sub;
    MappingRefusal refusal;
  };
  const Case cases[] = {
      {"999", "A銀行", MappingRefusal::NoSuchAccount},
      {"300", "A銀行", MappingRefusal::NoSuchChoice},
      {"200", "C銀行", MappingRefusal::NoSuchSubAccount},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.parent + std::string("/") + c.sub);
    ConversionState s = makeState();
    const Snapshot before = snapshot(s);
    EXPECT_EQ(setSubAccountCode(s, c.parent, c.sub, "5").refusal, c.refusal);
    EXPECT_TRUE(snapshot(s) == before);
  }
}

TEST(Lookups, TakeTheFirstMatch) {
  ConversionState s = makeState();
  addAccount(s, "200", "重複");
  EXPECT_EQ(findAccountBySourceCode(s, "200"), 1);
  EXPECT_EQ(findAccountBySourceCode(s, "201"), std::nullopt);
  EXPECT_EQ(findSubAccountRow(s, "400", "A銀行"), 2);
  ConversionState none = makeState();
  ScriptedPlatform p;
  EXPECT_EQ(decideAccountCode(none, p, 5, "C03").refusal, MappingRefusal::NoSuchAccount);
  EXPECT_TRUE(p.messages.empty());
}

}  // namespace
}  // namespace ledra
