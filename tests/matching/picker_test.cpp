#include "matching/picker.hpp"

#include <gtest/gtest.h>

#include "state/conversion_state.hpp"
#include "support/scripted_platform.hpp"

namespace ledra {
namespace {

std::vector<std::string> listed(const PickerView& v) {
  std::vector<std::string> out;
  for (const PickerRowView& r : v.rows)
    if (!r.code.empty()) out.push_back(r.code);
  return out;
}

class Picker : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* names[] = {"現金",       "売上高", "売掛金", "買掛金", "仕入高", "前受金",
                           "商品売買益", "雑収入", "雑損失", "預り金", "未払金", "前払費用"};
    for (int i = 0; i < 12; ++i)
      state.standardAccountCandidates.append({"C" + std::to_string(10 + i), names[i]});
    state.workAccounts.append().sourceName = "売上";
    state.workAccounts.append().ledraCode = "C10";  // 現金 is taken
    picker.load();
  }
  ConversionState state;
  testing::ScriptedPlatform platform;
  PickerPresenter picker{state, platform, 0, "売上"};
};

TEST_F(Picker, ListingAutoDetectAndSearch) {
  const PickerView& v = picker.view();
  EXPECT_EQ(v.scrollMax, 2);  // twelve entries
  EXPECT_EQ(v.rows[0], (PickerRowView{"C10", false, "現金"}));
  EXPECT_EQ(v.rows[1], (PickerRowView{"C11", true, "売上高"}));
  picker.scrollTo(2);
  EXPECT_EQ(listed(v).front(), "C12");
  picker.setAutoCollect(true);  // 売 from 売上
  EXPECT_EQ(listed(v), (std::vector<std::string>{"C11", "C12", "C16"}));
  picker.setSearchText("");
  picker.search();
  EXPECT_EQ(listed(v).size(), 10u);
}

TEST_F(Picker, TheChoiceBelongsToTheRowAndATakenCodeIsRefused) {
  picker.select(0);  // disabled: taken
  EXPECT_FALSE(picker.confirm());
  EXPECT_TRUE(platform.messages.empty());
  picker.select(1);
  picker.scrollTo(1);  // row 1 now shows C12
  EXPECT_TRUE(picker.confirm());
  EXPECT_EQ(state.workAccounts[0].ledraName, "売掛金");

  PickerPresenter again{state, platform, 1, ""};
  again.load();
  again.scrollTo(1);
  again.select(2);    // C13
  again.scrollTo(0);  // row 2 now shows C12, which account 0 has
  EXPECT_FALSE(again.confirm());
  EXPECT_EQ(platform.messageTexts(),
            (std::vector<std::string>{"指定した勘定科目Code(C12)は既に使用済みです。\r\n"}));
  EXPECT_EQ(state.workAccounts[1].ledraCode, "C10");
}

TEST_F(Picker, KeysMoveTheChoiceOverTakenAccountsAndScrollToIt) {
  const PickerView& v = picker.view();
  auto chosen = [&] { return v.rows[static_cast<size_t>(v.selectedRow)].code; };
  picker.moveSelection(RowKey::Down);  // C10 is taken
  EXPECT_EQ(chosen(), "C11");
  picker.moveSelection(RowKey::Last);
  EXPECT_EQ(v.scrollValue, 2);
  EXPECT_EQ(v.selectedRow, 9);
  EXPECT_EQ(chosen(), "C21");
  picker.moveSelection(RowKey::First);
  picker.moveSelection(RowKey::Up);  // nothing above to choose
  EXPECT_EQ(v.scrollValue, 0);
  EXPECT_EQ(chosen(), "C11");
}

}  // namespace
}  // namespace ledra
