#include "state/conversion_state.hpp"

#include <gtest/gtest.h>

#include "state/derived_lists.hpp"

namespace ledra {
namespace {

TEST(GroupCode, TwoCharacterCodes) {
  struct Case {
    int32_t n;
    const char* code;
  } cases[] = {{0, "00"},  {7, "07"},   {9, "09"},   {10, "10"}, {12, "12"},
               {35, "35"}, {100, "A0"}, {105, "A5"}, {359, "Z9"}};
  for (const auto& c : cases) EXPECT_EQ(subAccountGroupCode(c.n), c.code) << c.n;
  EXPECT_FALSE(subAccountGroupCode(360));
  EXPECT_FALSE(subAccountGroupCode(-1));
}

TEST(Tables, CapacityIsEnforcedAndEntriesStay) {
  ConversionState s;
  for (int i = 0; i < kDepartmentCapacity; ++i) s.workDepartments.append().departmentCode = "x";
  EXPECT_EQ(s.workDepartments.count(), 101);
  EXPECT_THROW(s.workDepartments.append(), CapacityError);
  EXPECT_EQ(s.workDepartments.count(), 101);
  EXPECT_THROW(s.workDepartments[101], StepError);
  EXPECT_THROW(s.workDepartments.resize(102), CapacityError);
}

TEST(Tables, AppendAfterClearStartsFresh) {
  ConversionState s;
  s.workAccounts.append().ledraCode = "111";
  s.workAccounts.clear();
  EXPECT_EQ(s.workAccounts.append().ledraCode, "");
  EXPECT_EQ(s.workAccounts[0].subAccountGroupCode, "00");
}

TEST(Candidates, OnlyEntriesWithCodeAndName) {
  ConversionState s;
  s.standardAccounts.append({"", "", "111", "現金", "", true});
  s.standardAccounts.append({"", "", "", "名前だけ", "", false});
  s.standardAccounts.append({"", "", "222", "", "", false});
  s.standardAccounts.append({"", "", "333", "普通預金", "", false});
  rebuildStandardAccountCandidates(s);
  ASSERT_EQ(s.standardAccountCandidates.count(), 2);
  EXPECT_EQ(s.standardAccountCandidates[0], (StandardAccountCandidate{"111", "現金", false}));
  EXPECT_EQ(s.standardAccountCandidates[1].ledraCode, "333");
}

TEST(ErrorDetail, Describes) {
  EXPECT_EQ((ErrorDetail{"a.txt", 12, "列が足りません"}).describe(),
            "a.txt 12行目: 列が足りません");
  EXPECT_EQ((ErrorDetail{"", 0, "理由"}).describe(), "理由");
  EXPECT_EQ(ErrorDetail{}.describe(), "");
}

}  // namespace
}  // namespace ledra
