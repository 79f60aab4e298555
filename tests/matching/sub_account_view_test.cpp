#include "matching/sub_account_view.hpp"

#include <gtest/gtest.h>

#include "matching/department_view.hpp"
#include "state/conversion_state.hpp"

namespace ledra {
namespace {

TEST(PanelViews, FifteenSubAccountsScrollFiveFourDepartmentsLeaveSixBlankCyanRows) {
  ConversionState s;
  for (int i = 0; i < 15; ++i) {
    s.workSubAccounts.append().codeUnique = true;
    s.subAccountIndex.append({"", "補助" + std::to_string(i), i});
  }
  SubAccountPanelView sub;
  drawSubAccountView(s, 5, sub);
  EXPECT_EQ(sub.scrollMax, 5);
  EXPECT_EQ(sub.rows[9].name, (TextBoxView{"補助14", "補助14"}));

  for (int i = 0; i < 4; ++i) s.workDepartments.append().col(8) = "部" + std::to_string(i);
  DepartmentPanelView dept;
  drawDepartmentView(s, 0, dept);
  EXPECT_EQ(dept.scrollMax, 0);
  EXPECT_EQ(dept.rows[3].name.text, "部3");
  for (int r = 4; r < kPanelRows; ++r)
    EXPECT_EQ(dept.rows[r], (DepartmentRowView{{}, {}, {}, 16777152u}));
}

}  // namespace
}  // namespace ledra
