#include "matching/account_view.hpp"

#include <gtest/gtest.h>

#include "matching/wheel_scroll.hpp"

namespace ledra {
namespace {

TEST(AccountView, RowsBlankRowsScrollRangeAndFilter) {
  struct Case {
    int32_t count;
    AccountFilter filter;
    int32_t top, max;
    const char* row0;
    const char* row9;  // "" when blank
  } cases[] = {
      {7, AccountFilter::All, 0, 0, "K0", ""},
      {11, AccountFilter::All, 1, 1, "K1", "K10"},
      {25, AccountFilter::All, 15, 15, "K15", "K24"},
      {12, AccountFilter::ProfitAndLoss, 0, 0, "", ""},  // no PL accounts
  };
  for (const Case& c : cases) {
    ConversionState s;
    for (int32_t i = 0; i < c.count; ++i) {
      WorkAccount& a = s.workAccounts.append();
      a.sourceCode = "K" + std::to_string(i);
      a.valid = true;
      s.allView.append(i);
      s.balanceSheetView.append(i);
    }
    buildCurrentView(s, c.filter);
    AccountPanelView v;
    drawAccountView(s, c.top, v);
    EXPECT_EQ(v.scrollMax, c.max) << c.count;
    EXPECT_EQ(v.rows[0].sourceCode.text, c.row0);
    EXPECT_EQ(v.rows[9].sourceCode.text, c.row9);
    // The count covers every account whatever the filter.
    EXPECT_EQ(v.remainingCaption,
              "マッチング科目残数：" + std::to_string(c.count) + "/" + std::to_string(c.count));
    for (const AccountRowView& row : v.rows) {
      // Every row with an account can be picked for and typed into; blank rows cannot.
      EXPECT_EQ(row.pickEnabled, row.showsAccount());
      EXPECT_EQ(row.codeLocked, !row.showsAccount());
      EXPECT_EQ(row.invalidEnabled, row.showsAccount());
    }
  }
}

TEST(WheelScroll, OneRowPerEventWithinTheRange) {
  struct Case {
    int32_t value, max;
    int delta;
    int32_t expected;
  } cases[] = {
      {0, 5, -120, 1},  // towards the user: down
      {3, 5, 120, 2},   // away: up
      {0, 5, 120, 0},   // at the top
      {5, 5, -120, 5},  // at the bottom
      {2, 5, -960, 3},  // a fast spin in one event: still one row
      {2, 5, 0, 2},     // no vertical delta
  };
  for (const Case& c : cases) EXPECT_EQ(wheelScroll(c.value, c.max, c.delta), c.expected);
}

}  // namespace
}  // namespace ledra
