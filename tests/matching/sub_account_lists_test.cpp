#include "matching/sub_account_lists.hpp"

#include <gtest/gtest.h>

#include "state/conversion_state.hpp"

namespace ledra {
namespace {

void addParent(ConversionState& s, const std::string& name, const std::string& code,
               int32_t group) {
  WorkAccount& a = s.workAccounts.append();
  a.sourceName = name;
  a.ledraCode = code;
  a.ledraName = code.empty() ? "" : name;
  a.subAccountGroupNo = group;
}

TEST(RefillParentAccountChoices, OneItemPerParentInAccountOrder) {
  ConversionState s;
  addParent(s, "普通預金", "112", 2);
  addParent(s, "現金", "111", 0);  // no sub-account names it
  addParent(s, "売掛金", "", 3);
  addParent(s, "当座預金", "113", 4);
  // Sub-accounts in another order, two under one parent, one under an unknown account.
  for (const char* parent : {"当座預金", "普通預金", "売掛金", "普通預金", "不明"})
    s.workSubAccounts.append().col(2) = parent;
  SubAccountLists l;
  l.parentChoices.append({"古い", "古い", 9});

  const std::vector<std::string> items = refillParentAccountChoices(s, l);
  EXPECT_EQ(items, (std::vector<std::string>{"全て表示", "112：普通預金", "勘定科目未設定",
                                             "113：当座預金"}));
  EXPECT_EQ(parentAccountChoiceTexts(l), items);
  ASSERT_EQ(l.parentChoices.count(), 4);
  EXPECT_EQ(l.parentChoices[0], (ParentAccountChoice{"全て表示", "全て表示", 1}));
  EXPECT_EQ(l.parentChoices[2], (ParentAccountChoice{"", "", 3}));
  EXPECT_EQ(s.lastErrorLocation, "");
}

TEST(RefillParentAccountChoices, OverflowKeepsTheItemsSoFarAndRecordsItsTag) {
  ConversionState s;
  // Every account a parent: with "全て表示" first, the last one no longer fits.
  for (int32_t i = 0; i < kAccountCapacity; ++i) {
    const std::string name = "科目" + std::to_string(i);
    addParent(s, name, "C" + std::to_string(i), i + 2);
    s.workSubAccounts.append().col(2) = name;
  }
  SubAccountLists l;
  const std::vector<std::string> items = refillParentAccountChoices(s, l);
  EXPECT_EQ(items.size(), static_cast<size_t>(kAccountCapacity));
  EXPECT_EQ(items.back(), "C1999：科目1999");
  EXPECT_EQ(l.parentChoices.count(), kAccountCapacity);
  EXPECT_EQ(s.lastErrorLocation, "P3:0009");
}

}  // namespace
}  // namespace ledra
