#include "state/account_links.hpp"

#include <gtest/gtest.h>

#include <string>

#include "state/conversion_state.hpp"

namespace ledra {
namespace {

WorkAccount& account(ConversionData& d, const char* code, const char* name, const char* ledra,
                     int32_t group = 0) {
  WorkAccount& a = d.workAccounts.append();
  a.sourceCode = code;
  a.sourceName = name;
  a.ledraCode = ledra;
  a.ledraName = *ledra ? std::string("名") + ledra : "";
  a.valid = true;
  a.matched = *ledra != '\0';
  a.hasSubAccounts = group != 0;
  a.subAccountGroupNo = group;
  return a;
}

TEST(AccountLinks, ABalanceRowFollowsTheFirstAccountOfItsCodeAndName) {
  ConversionData d;
  account(d, "100", "現金", "111");
  account(d, "100", "現金", "999");  // the same code and name again: not this one
  account(d, "200", "現金", "222");  // the same name under another code
  account(d, "100", "普通", "333");  // the same code under another name
  d.workAccounts[0].valid = false;
  struct Case {
    const char* code;
    const char* name;
    const char* ledraCode;
    bool valid;
  } cases[] = {
      {"100", "現金", "111", false}, {"200", "現金", "222", true},
      {"100", "普通", "333", true},  {"", "", "", false},  // a row no account claimed
      {"300", "現金", "", false},
  };
  for (const Case& c : cases) {
    WorkAccountBalance& row = d.workAccountBalances.append();
    row.accountSourceCode = c.code;
    row.accountSourceName = c.name;
  }
  const AccountLinks links(d);
  for (int32_t i = 0; i < d.workAccountBalances.count(); ++i) {
    const Case& c = cases[i];
    const WorkAccountBalance& row = d.workAccountBalances[i];
    SCOPED_TRACE(std::string(c.code) + "/" + c.name);
    EXPECT_EQ(links.ledraCodeOf(row), c.ledraCode);
    EXPECT_EQ(links.ledraNameOf(row), *c.ledraCode ? std::string("名") + c.ledraCode : "");
    EXPECT_EQ(links.validOf(row), c.valid);
    EXPECT_EQ(links.matchedOf(row), *c.ledraCode != '\0');
  }
}

TEST(AccountLinks, ASubAccountRowFollowsTheAccountOfItsGroup) {
  ConversionData d;
  account(d, "100", "普通預金", "131", 2);
  account(d, "200", "当座預金", "", 3);  // a parent not mapped yet
  account(d, "300", "現金", "111");      // no sub-accounts: nobody's parent
  WorkAccount& lost = account(d, "400", "定期預金", "141", 4);
  lost.hasSubAccounts = false;  // a group number without sub-accounts is no parent either
  const AccountLinks links(d);
  const std::pair<int32_t, const char*> cases[] = {{2, "131"}, {3, ""},  {0, ""},   {4, ""},
                                                   {5, ""},    {-1, ""}, {1000, ""}};
  for (auto [group, code] : cases) {
    SCOPED_TRACE(group);
    WorkSubAccount sub;
    sub.subAccountGroupNo = group;
    WorkSubAccountBalance row;
    row.subAccountGroupNo = group;
    EXPECT_EQ(links.parentLedraCodeOf(sub), code);
    EXPECT_EQ(links.parentLedraCodeOf(row), code);
    EXPECT_EQ(links.parentLedraNameOf(sub), *code ? std::string("名") + code : "");
  }
}

TEST(AccountLinks, AMappingChangeIsSeenWithoutNewLinks) {
  ConversionData d;
  account(d, "100", "普通預金", "131", 2);
  WorkAccountBalance& row = d.workAccountBalances.append();
  row.accountSourceCode = "100";
  row.accountSourceName = "普通預金";
  const AccountLinks links(d);
  ASSERT_EQ(links.ledraCodeOf(row), "131");
  d.workAccounts[0].ledraCode = "132";
  d.workAccounts[0].valid = false;
  EXPECT_EQ(links.ledraCodeOf(row), "132");
  EXPECT_FALSE(links.validOf(row));
  WorkSubAccountBalance sub;
  sub.subAccountGroupNo = 2;
  EXPECT_EQ(links.parentLedraCodeOf(sub), "132");
}

}  // namespace
}  // namespace ledra
