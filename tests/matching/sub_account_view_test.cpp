#include "matching/sub_account_view.hpp"

#include <gtest/gtest.h>

#include "state/conversion_state.hpp"

namespace ledra {
namespace {

TEST(SubAccountView, FifteenListedScrollFiveAndClashColours) {
  ConversionState s;
  for (int i = 0; i < 15; ++i) {
    WorkSubAccount& sub = s.workSubAccounts.append();
    sub.subAccountName = "補助" + std::to_string(i);
    sub.newSubCode = std::to_string(i);
    sub.codeUnique = i != 14;
    s.subAccountIndex.append({sub.newSubCode, sub.subAccountName, i});
  }
  SubAccountPanelView v;
  v.parentChoices = {"全て表示", "B02：普通預金"};
  v.parentChoiceIndex = 1;
  drawSubAccountView(s, 5, v);
  EXPECT_EQ(v.scrollMax, 5);
  EXPECT_EQ(v.rows[9].name, (TextBoxView{"補助14", "補助14"}));
  EXPECT_EQ(v.rows[9].backColour, 12632319u);
  EXPECT_EQ(v.rows[8].backColour, 16777152u);
  EXPECT_FALSE(v.rows[9].codeLocked);
  EXPECT_TRUE(v.rows[9].nameLocked);

  v.parentChoiceIndex = 0;  // "全て表示": nothing can be typed
  drawSubAccountView(s, 5, v);
  for (const SubAccountRowView& r : v.rows) EXPECT_TRUE(r.codeLocked);
  EXPECT_EQ(subAccountParentCaption("ブルーリターン", "全て表示"),
            "ブルーリターン表記勘定科目\r\n全て表示");
}

}  // namespace
}  // namespace ledra
