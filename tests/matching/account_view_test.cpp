#include "matching/account_view.hpp"

#include <gtest/gtest.h>

#include "matching/typed_code.hpp"
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
    AccountPanelView v;
    drawAccountView(s, accountFilterView(s, c.filter), c.top, v);
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

TEST(AccountView, ATallerPanelDrawsMoreRowsAndAShorterListLeavesBlankRows) {
  ConversionState s;
  for (int32_t i = 0; i < 25; ++i) {
    WorkAccount& a = s.workAccounts.append();
    a.sourceCode = "K" + std::to_string(i);
    a.matched = i < 20;
    s.allView.append(i);
  }
  AccountPanelView v;
  v.rows.resize(15);
  drawAccountView(s, s.allView, 10, v);
  EXPECT_EQ(v.scrollMax, 10);
  EXPECT_EQ(v.rows[14].sourceCode.text, "K24");
  EXPECT_EQ(v.rows[9].state, RowState::Done);             // K19
  EXPECT_EQ(v.rows[14].state, RowState::NeedsAttention);  // K24
  EXPECT_TRUE(v.accountsRemain);
  AccountView shorter;
  for (int32_t i = 0; i < 3; ++i) shorter.append(i);
  drawAccountView(s, shorter, 0, v);
  EXPECT_FALSE(v.rows[14].showsAccount());
  EXPECT_EQ(v.rows[14].state, RowState::Blank);
  EXPECT_EQ(v.rows[9].state, RowState::Blank);
  EXPECT_EQ(v.scrollMax, 0);
}

TEST(TypedCode, BlanksGoFullWidthLettersAndDigitsFold) {
  const std::pair<const char*, const char*> cases[] = {
      {"6 31", "631"},
      {"a bc", "abc"},
      {"１", "1"},
      {"Ａ　１２ｂ", "A12b"},
      {"０９ＡＺａｚ", "09AZaz"},
      {"－＃ｱ", "－＃ｱ"},  // only letters and digits fold
  };
  for (const auto& [typed, kept] : cases) EXPECT_EQ(cleanTypedCode(typed), kept) << typed;
}

TEST(MoveRow, KeysMoveTheFocusAndScrollAtTheEdgesByTheWheelRule) {
  // 25 entries shown ten at a time: max 15.
  struct Case {
    RowPosition at;
    RowKey key;
    RowPosition expected;
  } cases[] = {
      {{0, 3}, RowKey::Down, {0, 4}},       {{0, 9}, RowKey::Down, {1, 9}},
      {{15, 9}, RowKey::Down, {15, 9}},     {{4, 0}, RowKey::Up, {3, 0}},
      {{0, 0}, RowKey::Up, {0, 0}},         {{0, 2}, RowKey::PageDown, {10, 2}},
      {{10, 2}, RowKey::PageDown, {15, 7}}, {{15, 9}, RowKey::PageDown, {15, 9}},
      {{12, 1}, RowKey::PageUp, {2, 1}},    {{3, 5}, RowKey::PageUp, {0, 0}},
      {{7, 4}, RowKey::First, {0, 0}},      {{2, 4}, RowKey::Last, {15, 9}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(moveRow(c.at, 15, 10, 25, c.key), c.expected)
        << c.at.top << "/" << c.at.row << " key " << static_cast<int>(c.key);
  // Four entries: the focus stops at the last one and nothing scrolls.
  EXPECT_EQ(moveRow({0, 3}, 0, 10, 4, RowKey::Down), (RowPosition{0, 3}));
  EXPECT_EQ(moveRow({0, 0}, 0, 10, 4, RowKey::Last), (RowPosition{0, 3}));
  EXPECT_EQ(moveRow({0, 0}, 0, 10, 4, RowKey::PageDown), (RowPosition{0, 3}));
}

}  // namespace
}  // namespace ledra
