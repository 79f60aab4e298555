#include "matching/mapping_history.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "matching/mapping_operations.hpp"
#include "state/account_links.hpp"
#include "support/fixtures.hpp"

namespace ledra {
namespace {

// 現金 (no sub-accounts) and 普通預金 (group 2, two banks), each with a balance row, and two
// standard accounts.
ConversionState makeState() {
  ConversionState s;
  for (auto [code, name] : {std::pair{"100", "現金"}, std::pair{"131", "普通預金"}}) {
    StandardAccount& standard = s.standardAccounts.append();
    standard.ledraCode = std::string("L") + code;
    standard.ledraName = name;
    WorkAccount& a = s.workAccounts.append();
    a.sourceCode = code;
    a.sourceName = name;
    a.valid = a.selected = true;
    WorkAccountBalance& b = s.workAccountBalances.append();
    b.accountSourceCode = code;
    b.accountSourceName = name;
  }
  s.workAccounts[1].hasSubAccounts = true;
  s.workAccounts[1].subAccountGroupNo = 2;
  for (const char* bank : {"東西銀行", "南北銀行"}) {
    WorkSubAccount& sub = s.workSubAccounts.append();
    sub.subAccountName = bank;
    sub.subAccountGroupNo = 2;
    WorkSubAccountBalance& sb = s.workSubAccountBalances.append();
    sb.subAccountName = bank;
    sb.subAccountGroupNo = 2;
  }
  return s;
}

using testing::rowsOf;

// Every table a mapping change may write.
struct MappingRows {
  std::vector<StandardAccount> standard;
  std::vector<WorkAccount> accounts;
  std::vector<WorkAccountBalance> balances;
  std::vector<WorkSubAccount> subAccounts;
  std::vector<WorkSubAccountBalance> subBalances;
  bool operator==(const MappingRows&) const = default;
};

MappingRows rowsOf(const ConversionState& s) {
  return {rowsOf(s.standardAccounts), rowsOf(s.workAccounts), rowsOf(s.workAccountBalances),
          rowsOf(s.workSubAccounts), rowsOf(s.workSubAccountBalances)};
}

struct Change {
  const char* what;
  std::function<void(ConversionState&)> make;
};

const std::vector<Change> kChanges = {
    {"a code", [](ConversionState& s) { (void)assignStandardAccount(s, 1, "L131", "普通預金"); }},
    {"a cleared code",
     [](ConversionState& s) {
       (void)assignStandardAccount(s, 0, "L100", "現金");
       (void)clearStandardAccount(s, 0);
     }},
    {"無効",
     [](ConversionState& s) {
       s.workAccounts[0].valid = false;
       s.workAccounts[0].matched = true;
     }},
    {"a sub-account code",
     [](ConversionState& s) {
       s.workSubAccounts[1].newSubCode = "7";
       s.workSubAccountBalances[1].newSubCode = "7";
     }},
    {"a taken standard account", [](ConversionState& s) { s.standardAccounts[1].taken = true; }},
    // Each field a mapping change can alter, alone.
    {"valid", [](ConversionState& s) { s.workAccounts[1].valid = !s.workAccounts[1].valid; }},
    {"matched", [](ConversionState& s) { s.workAccounts[1].matched = !s.workAccounts[1].matched; }},
    {"name", [](ConversionState& s) { s.workAccounts[1].ledraName = "x"; }},
    {"sub balance code", [](ConversionState& s) { s.workSubAccountBalances[0].newSubCode = "x"; }},
};

TEST(MappingHistory, EveryChangeIsUndoneAndRedoneExactly) {
  for (const Change& change : kChanges) {
    SCOPED_TRACE(change.what);
    ConversionState s = makeState();
    (void)assignStandardAccount(s, 0, "L100", "現金");  // an earlier step stays put
    MappingHistory history;
    history.reset(s);
    const MappingRows before = rowsOf(s);
    change.make(s);
    const MappingRows after = rowsOf(s);
    ASSERT_TRUE(history.record(s));
    EXPECT_FALSE(history.record(s)) << "nothing changed since";

    ASSERT_TRUE(history.undo(s));
    EXPECT_TRUE(rowsOf(s) == before);
    EXPECT_FALSE(history.undo(s));
    ASSERT_TRUE(history.redo(s));
    EXPECT_TRUE(rowsOf(s) == after);
    EXPECT_FALSE(history.redo(s));
  }
}

TEST(MappingHistory, StepsUndoInTurnAndANewChangeEndsRedo) {
  ConversionState s = makeState();
  MappingHistory history;
  history.reset(s);
  (void)assignStandardAccount(s, 0, "L100", "現金");
  ASSERT_TRUE(history.record(s));
  (void)assignStandardAccount(s, 1, "L131", "普通預金");
  ASSERT_TRUE(history.record(s));

  ASSERT_TRUE(history.undo(s));
  EXPECT_EQ(s.workAccounts[0].ledraCode, "L100");
  EXPECT_EQ(s.workAccounts[1].ledraCode, "");
  EXPECT_EQ(AccountLinks(s).ledraCodeOf(s.workAccountBalances[1]), "");
  ASSERT_TRUE(history.undo(s));
  EXPECT_EQ(s.workAccounts[0].ledraCode, "");

  ASSERT_TRUE(history.redo(s));
  EXPECT_EQ(s.workAccounts[0].ledraCode, "L100");
  s.workSubAccounts[0].newSubCode = "1";
  EXPECT_FALSE(history.redo(s)) << "a change after the undo ends what can be redone";
  EXPECT_EQ(s.workAccounts[1].ledraCode, "");
  EXPECT_EQ(s.workSubAccounts[0].newSubCode, "1");
}

TEST(MappingHistory, AChangeNotYetRecordedIsTheOneUndone) {
  ConversionState s = makeState();
  MappingHistory history;
  history.reset(s);
  (void)assignStandardAccount(s, 0, "L100", "現金");
  ASSERT_TRUE(history.undo(s));
  EXPECT_EQ(s.workAccounts[0].ledraCode, "");
  EXPECT_EQ(AccountLinks(s).ledraCodeOf(s.workAccountBalances[0]), "");
  ASSERT_TRUE(history.redo(s));
  EXPECT_EQ(AccountLinks(s).ledraCodeOf(s.workAccountBalances[0]), "L100");
}

TEST(MappingHistory, ResetForgetsEverything) {
  ConversionState s = makeState();
  MappingHistory history;
  history.reset(s);
  (void)assignStandardAccount(s, 0, "L100", "現金");
  ASSERT_TRUE(history.record(s));
  history.reset(s);
  EXPECT_FALSE(history.undo(s));
  EXPECT_EQ(s.workAccounts[0].ledraCode, "L100");
}

}  // namespace
}  // namespace ledra
