#include "matching/picker.hpp"

#include <gtest/gtest.h>

#include "state/conversion_state.hpp"
#include "support/scripted_platform.hpp"

namespace ledra {
namespace {

using testing::ScriptedPlatform;

std::vector<std::string> listedCodes(const PickerView& v) {
  std::vector<std::string> out;
  for (const PickerRowView& r : v.rows)
    if (!r.code.empty()) out.push_back(r.code);
  return out;
}

class Picker : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::pair<const char*, const char*> standard[] = {
        {"A01", "現金"},   {"B02", "売上高"}, {"C03", "売掛金"},     {"D04", "買掛金"},
        {"E05", "仕入高"}, {"F06", "前受金"}, {"G07", "商品売買益"}, {"H08", "雑収入"},
        {"I09", "雑損失"}, {"J10", "預り金"}, {"K11", "未払金"},     {"L12", "前払費用"}};
    for (auto [code, name] : standard) state.standardAccountCandidates.append({code, name});
    for (const char* name : {"売上", "現金"}) {
      WorkAccount& a = state.workAccounts.append();
      a.sourceName = name;
      a.valid = true;
    }
    state.workAccounts[1].ledraCode = "A01";  // 現金 is taken
    state.workAccounts[1].ledraName = "現金";
  }
  ConversionState state;
  ScriptedPlatform platform;
  PickerPresenter picker{state, platform, 0, "売上"};
};

TEST_F(Picker, ListsEverythingTwelveEntriesScrollTwo) {
  picker.load();
  const PickerView& v = picker.view();
  EXPECT_EQ(v.caption, "Ledra　勘定科目選択");
  EXPECT_EQ(v.scrollMax, 2);
  EXPECT_EQ(v.rows[0], (PickerRowView{"A01", false, "現金"}));  // taken
  EXPECT_EQ(v.rows[1], (PickerRowView{"B02", true, "売上高"}));
  picker.scrollTo(2);
  EXPECT_EQ(listedCodes(v).front(), "C03");
  EXPECT_EQ(listedCodes(v).back(), "L12");
  picker.wheel(-120);  // at the bottom already
  EXPECT_EQ(v.scrollValue, 2);
}

TEST_F(Picker, AutoDetectAndSearchNarrowTheList) {
  picker.load();
  picker.setAutoCollect(true);  // 売 from 売上
  EXPECT_EQ(listedCodes(picker.view()), (std::vector<std::string>{"B02", "C03", "G07"}));
  EXPECT_EQ(picker.view().scrollMax, 0);
  picker.setSearchText("雑");
  picker.search();
  EXPECT_EQ(listedCodes(picker.view()), (std::vector<std::string>{"H08", "I09"}));
  picker.setSearchText("");
  picker.search();
  EXPECT_EQ(listedCodes(picker.view()).size(), 10u);
  EXPECT_EQ(picker.view().scrollMax, 2);
}

TEST_F(Picker, TheChoiceBelongsToTheRowAndATakenCodeIsRefused) {
  picker.load();
  picker.select(0);  // disabled: A01 is taken
  EXPECT_EQ(picker.view().selectedRow, -1);
  EXPECT_FALSE(picker.confirm());  // nothing chosen: no check, no message
  EXPECT_TRUE(platform.messages.empty());

  picker.select(1);
  picker.scrollTo(1);  // row 1 now shows C03
  EXPECT_TRUE(picker.confirm());
  EXPECT_EQ(state.workAccounts[0].ledraCode, "C03");
  EXPECT_EQ(state.workAccounts[0].ledraName, "売掛金");
  EXPECT_TRUE(state.workAccounts[0].matched);

  PickerPresenter again{state, platform, 1, "現金"};
  again.load();
  again.scrollTo(1);
  again.select(2);    // D04
  again.scrollTo(0);  // row 2 now shows C03, which account 0 has
  EXPECT_FALSE(again.confirm());
  EXPECT_EQ(platform.messageTexts(),
            (std::vector<std::string>{"指定した勘定科目Code(C03)は既に使用済みです。\r\n"}));
  EXPECT_EQ(platform.lastMessage().title, "エラー");
  EXPECT_EQ(state.workAccounts[1].ledraCode, "A01");
}

}  // namespace
}  // namespace ledra
