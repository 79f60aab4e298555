#include "matching/account_view.hpp"

#include <gtest/gtest.h>

#include "matching/department_view.hpp"
#include "matching/wheel_scroll.hpp"

namespace ledra {
namespace {

// n unmatched accounts "K0", "K1", …; the first pl of them in the profit-and-loss view.
ConversionState accounts(int32_t n, int32_t pl = 0) {
  ConversionState s;
  for (int32_t i = 0; i < n; ++i) {
    WorkAccount& a = s.workAccounts.append();
    a.sourceCode = "K" + std::to_string(i);
    a.valid = true;
    a.displayBalance = -1234;
    s.allView.append(i);
    (i < pl ? s.profitAndLossView : s.balanceSheetView).append(i);
  }
  return s;
}

TEST(AccountView, RowsBlankRowsAndScrollRange) {
  struct Case {
    int32_t count, top, max;
    const char* firstCode;
    const char* lastCode;  // row 9, "" when blank
  } cases[] = {
      {7, 0, 0, "K0", ""},
      {10, 0, 0, "K0", "K9"},
      {11, 1, 1, "K1", "K10"},
      {25, 15, 15, "K15", "K24"},
  };
  for (const Case& c : cases) {
    ConversionState s = accounts(c.count);
    buildCurrentView(s, AccountFilter::All);
    AccountPanelView v;
    drawAccountView(s, c.top, v);
    EXPECT_EQ(v.scrollMax, c.max) << c.count;
    EXPECT_EQ(v.rows[0].sourceCode.text, c.firstCode);
    EXPECT_EQ(v.rows[9].sourceCode.text, c.lastCode);
    for (const AccountRowView& row : v.rows) {
      // Every row with an account can be picked for and typed into; blank rows cannot.
      EXPECT_EQ(row.pickEnabled, row.showsAccount());
      EXPECT_EQ(row.codeLocked, !row.showsAccount());
      if (!row.showsAccount()) {
        EXPECT_FALSE(row.invalidEnabled || row.invalidTicked);
      }
    }
  }
}

TEST(AccountView, RowTextsColoursAndRemainingCount) {
  ConversionState s = accounts(3);
  s.workAccounts[0] = {};  // replaced below
  WorkAccount& a = s.workAccounts[0];
  a.sourceCode = "111";
  a.sourceName = "現金";
  a.ledraCode = "A01";
  a.ledraName = "現金";
  a.valid = a.matched = a.inUse = true;
  a.displayBalance = 1234567;
  s.workAccounts[1].valid = false;  // invalidated: ticked, and still red until matched
  buildCurrentView(s, AccountFilter::All);
  AccountPanelView v;
  drawAccountView(s, 0, v);

  const AccountRowView& r0 = v.rows[0];
  EXPECT_EQ(r0.sourceName, (TextBoxView{"現金", "現金"}));
  EXPECT_EQ(r0.ledraCode, (TextBoxView{"A01", "A01"}));
  EXPECT_EQ(r0.sourceBalance, (TextBoxView{"1,234,567", "1,234,567"}));
  EXPECT_EQ(r0.ledraBalance, r0.sourceBalance);
  EXPECT_EQ(r0.backColour, 16777152u);
  EXPECT_FALSE(r0.invalidEnabled);  // in use
  EXPECT_TRUE(v.rows[1].invalidEnabled && v.rows[1].invalidTicked);
  EXPECT_EQ(v.rows[2].backColour, 12632319u);
  EXPECT_EQ(v.rows[2].sourceBalance.text, "-1,234");
  EXPECT_EQ(v.remainingCaption, "マッチング科目残数：2/3");
  EXPECT_EQ(v.remainingColour, 255u);

  for (WorkAccount& w : s.workAccounts) w.matched = true;
  drawAccountView(s, 0, v);
  EXPECT_EQ(v.remainingCaption, "マッチング科目残数：0/3");
  EXPECT_EQ(v.remainingColour, 0u);
}

TEST(AccountView, FilterWithoutAccountsShowsBlankRowsAndCountsAll) {
  ConversionState s = accounts(12, 0);
  buildCurrentView(s, AccountFilter::All);
  AccountPanelView v;
  drawAccountView(s, 0, v);
  buildCurrentView(s, AccountFilter::ProfitAndLoss);
  drawAccountView(s, 0, v);
  for (const AccountRowView& row : v.rows) {
    EXPECT_FALSE(row.showsAccount());
    EXPECT_EQ(row.sourceCode.text, "");
    EXPECT_EQ(row.backColour, 12632319u);  // a blank row keeps the colour it had
  }
  EXPECT_EQ(v.scrollMax, 0);
  EXPECT_EQ(v.remainingCaption, "マッチング科目残数：12/12");
}

TEST(DepartmentView, BlankRowsAreCyanAndScrollRange) {
  for (auto [count, max] : {std::pair{4, 0}, std::pair{15, 5}}) {
    ConversionState s;
    for (int i = 0; i < count; ++i) {
      WorkDepartment& d = s.workDepartments.append();
      d.departmentCode = std::to_string(i + 1);
      d.col(8) = "部" + std::to_string(i);
      d.parentDepartmentName = "本社";
    }
    DepartmentPanelView v;
    drawDepartmentView(s, max, v);
    EXPECT_EQ(v.scrollMax, max);
    EXPECT_EQ(v.rows[0].code.text, std::to_string(max + 1));
    for (int r = 0; r < kPanelRows; ++r) {
      EXPECT_EQ(v.rows[r].backColour, 16777152u);
      EXPECT_EQ(v.rows[r].name.text.empty(), max + r >= count) << r;
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
      {2, 5, 1, 1},     // a fine step: one row
      {2, 5, 0, 2},     // no vertical delta
      {0, 0, -120, 0},  // a list that does not scroll
  };
  for (const Case& c : cases)
    EXPECT_EQ(wheelScroll(c.value, c.max, c.delta), c.expected) << c.value << " " << c.delta;
}

}  // namespace
}  // namespace ledra
