#include "matching/sub_account_view.hpp"

#include <gtest/gtest.h>

#include "matching/department_view.hpp"
#include "matching/readiness.hpp"
#include "matching/sub_account_lists.hpp"
#include "state/conversion_state.hpp"

namespace ledra {
namespace {

TEST(PanelViews, FifteenSubAccountsScrollFiveFourDepartmentsLeaveSixBlankRows) {
  ConversionState s;
  SubAccountLists lists;
  WorkAccount& parent = s.workAccounts.append();
  parent.ledraCode = "111";
  parent.hasSubAccounts = true;
  parent.subAccountGroupNo = 2;
  for (int i = 0; i < 15; ++i) {
    WorkSubAccount& row = s.workSubAccounts.append();
    row.subAccountGroupNo = 2;
    row.newSubCode = i == 8 || i == 14 ? "X" : std::to_string(i);
    lists.entries.append({"", "補助" + std::to_string(i), i});
  }
  Readiness readiness;
  readiness.refresh(s);
  SubAccountPanelView sub;
  drawSubAccountView(lists, readiness, 5, sub);
  EXPECT_EQ(sub.scrollMax, 5);
  EXPECT_EQ(sub.rows[9].name, (TextBoxView{"補助14", "補助14"}));
  EXPECT_EQ(sub.rows[0].state, RowState::Done);
  EXPECT_EQ(sub.rows[3].state, RowState::NeedsAttention);  // 8 and 14 share a code
  EXPECT_EQ(sub.rows[9].state, RowState::NeedsAttention);

  for (int i = 0; i < 4; ++i) s.workDepartments.append().col(8) = "部" + std::to_string(i);
  DepartmentPanelView dept;
  drawDepartmentView(s, 0, dept);
  EXPECT_EQ(dept.scrollMax, 0);
  EXPECT_EQ(dept.rows[3].name.text, "部3");
  EXPECT_EQ(dept.rows[3].state, RowState::Locked);
  for (int r = 4; r < kPanelRows; ++r) EXPECT_EQ(dept.rows[r], DepartmentRowView{});
}

}  // namespace
}  // namespace ledra
