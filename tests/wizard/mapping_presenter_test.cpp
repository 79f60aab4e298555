#include "wizard/mapping_presenter.hpp"

#include <gtest/gtest.h>

#include "wizard/main_presenter.hpp"

#include "state/conversion_state.hpp"
#include "support/scripted_platform.hpp"
#include "wizard/step_flow.hpp"

namespace ledra {
namespace {

using testing::ScriptedPlatform;

constexpr uint32_t kCyan = 16777152;
constexpr uint32_t kRed = 12632319;

// 0 100 現金 (A01, in use), 1 200 普通預金 (group 2: A銀行, B銀行), 2 300 売上,
// 3 400 当座預金 (D04, group 3: C銀行), then `extra` unmatched accounts X0, X1, …
class Mapping : public ::testing::Test {
 protected:
  void build(int extra = 0) {
    state.screenState = kScreenMapping;
    state.sourcePackage = SourcePackage::Yayoi;
    const std::pair<const char*, const char*> standard[] = {
        {"A01", "現金"}, {"B02", "普通預金"}, {"C03", "売上高"}, {"D04", "当座預金"}};
    for (auto [code, name] : standard) state.standardAccountCandidates.append({code, name});
    account("100", "現金", 0, "A01", "現金").inUse = true;
    account("200", "普通預金", 2);
    account("300", "売上", 0);
    account("400", "当座預金", 3, "D04", "当座預金");
    for (int i = 0; i < extra; ++i) account("X" + std::to_string(i), "雑" + std::to_string(i), 0);
    for (const WorkAccount& a : state.workAccounts) {
      WorkAccountBalance& b = state.workAccountBalances.append();
      b.accountSourceCode = a.sourceCode;
      b.accountSourceName = a.sourceName;
      b.ledraCode = a.ledraCode;
      b.accountValid = true;
    }
    sub("普通預金", "A銀行", 2, "1", "");
    sub("普通預金", "B銀行", 2, "2", "");
    sub("当座預金", "C銀行", 3, "1", "D04");
    WorkSubAccountBalance& sb = state.workSubAccountBalances.append();
    sb.subAccountName = "A銀行";
    sb.subAccountGroupNo = 2;
    sb.newSubCode = "1";
    for (const WorkSubAccount& s : state.workSubAccounts)
      state.subAccountIndex.append({s.newSubCode, s.subAccountName,
                                    static_cast<int32_t>(&s - state.workSubAccounts.begin())});
    mapping.show();
  }
  WorkAccount& account(std::string code, std::string name, int32_t group,
                       std::string ledraCode = "", std::string ledraName = "") {
    WorkAccount& a = state.workAccounts.append();
    a.sourceCode = std::move(code);
    a.sourceName = std::move(name);
    a.ledraCode = std::move(ledraCode);
    a.ledraName = std::move(ledraName);
    a.valid = true;
    a.matched = !a.ledraCode.empty();
    a.hasSubAccounts = group != 0;
    a.subAccountGroupNo = group;
    state.allView.append(state.workAccounts.count() - 1);
    return a;
  }
  void sub(const char* parent, const char* name, int32_t group, const char* code,
           const char* parentCode) {
    WorkSubAccount& s = state.workSubAccounts.append();
    s.col(2) = parent;
    s.subAccountName = name;
    s.subAccountGroupNo = group;
    s.newSubCode = code;
    s.parentLedraCode = parentCode;
  }
  // Types the text into row r's code box and presses Enter.
  void type(int32_t r, const std::string& text) {
    mapping.changeAccountCode(r, text);
    mapping.pressEnterInAccountCode(r);
  }
  const AccountPanelView& accounts() const { return mapping.view().accounts; }
  const SubAccountPanelView& subs() const { return mapping.view().subAccounts; }

  ConversionState state;
  ScriptedPlatform platform;
  bool ready = false;
  MappingPresenter mapping{state, platform, [this] { return ready = evaluateNextButton(state); }};
};

TEST_F(Mapping, InvalidatingTurnsTheRowCyanAndAnAccountInUseCannotBe) {
  build();
  EXPECT_EQ(accounts().remainingCaption, "マッチング科目残数：2/4");
  mapping.clickInvalid(2);
  EXPECT_EQ(accounts().rows[2].backColour, kCyan);
  EXPECT_TRUE(accounts().rows[2].invalidTicked);
  EXPECT_EQ(accounts().remainingCaption, "マッチング科目残数：1/4");
  EXPECT_FALSE(state.workAccountBalances[2].accountValid);
  EXPECT_TRUE(state.workAccountBalances[2].accountMatched);
  mapping.clickInvalid(2);
  EXPECT_EQ(accounts().rows[2].backColour, kRed);
  EXPECT_EQ(accounts().remainingCaption, "マッチング科目残数：2/4");

  EXPECT_FALSE(accounts().rows[0].invalidEnabled);
  mapping.clickInvalid(0);  // the box is disabled
  EXPECT_TRUE(state.workAccounts[0].valid);
}

TEST_F(Mapping, TypedCodeIsCleanedUpperCasedConfirmedAndSpread) {
  build();
  mapping.changeAccountCode(1, " b\u30000 2");
  EXPECT_EQ(accounts().rows[1].ledraCode.text, "b02");
  mapping.pressEnterInAccountCode(1);
  EXPECT_EQ(platform.messageTexts(),
            (std::vector<std::string>{"勘定科目候補( 普通預金 )\r\nが存在します。適用しますか？"}));
  EXPECT_EQ(state.workAccounts[1].ledraCode, "B02");
  EXPECT_EQ(state.workAccountBalances[1].ledraCode, "B02");
  EXPECT_EQ(state.workSubAccounts[0].parentLedraCode, "B02");
  EXPECT_EQ(state.workSubAccountBalances[0].parentLedraName, "普通預金");
  EXPECT_EQ(accounts().rows[1].ledraName.text, "普通預金");
  EXPECT_EQ(accounts().rows[1].backColour, kCyan);
  EXPECT_EQ(accounts().focusedRow, 2);
  EXPECT_EQ(subs().parentChoices,
            (std::vector<std::string>{"全て表示", "B02：普通預金", "D04：当座預金"}));
}

TEST_F(Mapping, CodeBoxRefusalsAndDeletion) {
  build();
  type(0, "A01");  // the row's own code: nothing to decide
  EXPECT_TRUE(platform.messages.empty());
  type(0, "a01");  // differs as typed: decided, and refused as used by the row itself
  EXPECT_EQ(platform.lastMessage().text, "指定した勘定科目Code(A01)は既に使用済みです。\r\n");

  type(2, "d04");
  EXPECT_EQ(platform.lastMessage().text, "指定した勘定科目Code(D04)は既に使用済みです。\r\n");
  EXPECT_EQ(platform.lastMessage().title, "エラー");
  EXPECT_EQ(state.workAccounts[2].ledraCode, "");
  EXPECT_EQ(accounts().rows[2].ledraCode.text, "");  // the refused text is gone

  type(2, "Z99");
  EXPECT_EQ(platform.lastMessage().text, "勘定科目候補が存在しません。");
  EXPECT_EQ(platform.lastMessage().title, "登録不可");

  const size_t shown = platform.messages.size();
  mapping.changeAccountCode(3, "");  // deleting unmaps at once, without a question
  EXPECT_EQ(platform.messages.size(), shown);
  EXPECT_EQ(state.workAccounts[3].ledraCode, "");
  EXPECT_FALSE(state.workAccounts[3].matched);
  EXPECT_EQ(state.workSubAccounts[2].parentLedraCode, "");
  EXPECT_EQ(accounts().rows[3].backColour, kRed);
}

TEST_F(Mapping, ARedrawDropsAnUndecidedCode) {
  build(20);
  mapping.changeAccountCode(2, "C03");
  mapping.scrollAccounts(1);
  mapping.scrollAccounts(0);
  EXPECT_EQ(accounts().rows[2].ledraCode.text, "");
  mapping.pressEnterInAccountCode(2);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(state.workAccounts[2].ledraCode, "");
}

TEST_F(Mapping, EnterOnTheLastRowScrollsUntilTheEnd) {
  build(8);  // 12 accounts: Max 2
  mapping.scrollAccounts(1);
  mapping.pressEnterInAccountCode(9);
  EXPECT_EQ(accounts().scrollValue, 2);
  mapping.pressEnterInAccountCode(9);
  EXPECT_EQ(accounts().scrollValue, 2);
  EXPECT_EQ(accounts().focusedRow, 9);
  mapping.chooseFilter(AccountFilter::BalanceSheet);
  EXPECT_EQ(accounts().scrollValue, 0);
  EXPECT_FALSE(accounts().rows[0].showsAccount());
}

TEST_F(Mapping, PickerOkSpreadsTheCodeAndCancelChangesNothing) {
  build();
  mapping.openPicker(2);
  ASSERT_TRUE(mapping.pickerOpen());
  EXPECT_FALSE(mapping.view().mainEnabled);
  mapping.picker()->select(1);  // B02
  mapping.closePicker();
  EXPECT_TRUE(mapping.view().mainEnabled);
  EXPECT_EQ(state.workAccounts[2].ledraCode, "");

  mapping.openPicker(1);
  mapping.doubleClickPickerRow(1);  // B02 for 普通預金
  EXPECT_FALSE(mapping.pickerOpen());
  EXPECT_EQ(state.workAccounts[1].ledraName, "普通預金");
  EXPECT_EQ(state.workAccountBalances[1].ledraCode, "B02");
  EXPECT_TRUE(state.workAccountBalances[1].accountMatched);
  EXPECT_EQ(state.workSubAccounts[1].parentLedraCode, "B02");
  EXPECT_EQ(accounts().rows[1].ledraCode.text, "B02");
  EXPECT_EQ(accounts().rows[1].backColour, kCyan);
  EXPECT_EQ(subs().parentChoices[1], "B02：普通預金");
}

TEST_F(Mapping, SubAccountsByParentAndAllLocked) {
  build();
  mapping.showPanel(PanelKind::SubAccounts);
  EXPECT_EQ(mapping.view().visiblePanel, PanelKind::SubAccounts);
  EXPECT_EQ(subs().parentChoiceIndex, 0);
  for (const SubAccountRowView& r : subs().rows) EXPECT_TRUE(r.codeLocked && r.nameLocked);
  EXPECT_EQ(subs().rows[2].name.text, "C銀行");

  mapping.chooseParent(2);  // D04：当座預金
  EXPECT_EQ(subs().scrollValue, 0);
  EXPECT_EQ(subs().rows[0].name.text, "C銀行");
  EXPECT_FALSE(subs().rows[0].codeLocked);
  EXPECT_TRUE(subs().rows[0].nameLocked);
  EXPECT_FALSE(subs().rows[1].showsSubAccount());
  EXPECT_EQ(subs().parentCaption, "弥生会計表記勘定科目\r\n当座預金");
}

TEST_F(Mapping, SubAccountCodesClashesAndFocus) {
  build();
  type(1, "B02");           // its sub-accounts get the parent code
  mapping.clickInvalid(2);  // 売上 out of the way
  EXPECT_TRUE(ready);
  mapping.showPanel(PanelKind::SubAccounts);
  mapping.chooseParent(1);

  mapping.clickSubCode(0);
  mapping.changeSubCode(0, "2");  // clashes with B銀行
  mapping.clickSubCode(1);        // decides row 0 before the focus moves
  EXPECT_EQ(state.workSubAccounts[0].newSubCode, "2");
  EXPECT_EQ(state.workSubAccountBalances[0].newSubCode, "2");
  EXPECT_EQ(subs().rows[0].backColour, kRed);
  EXPECT_EQ(subs().rows[1].backColour, kRed);
  EXPECT_FALSE(ready);

  mapping.changeSubCode(1, "");  // cleared at once
  EXPECT_EQ(state.workSubAccounts[1].newSubCode, "");
  mapping.changeSubCode(1, "b");
  mapping.pressSubCodeKey(1, true);
  EXPECT_EQ(state.workSubAccounts[1].newSubCode, "B");
  EXPECT_EQ(subs().rows[0].backColour, kCyan);
  EXPECT_EQ(subs().focusedRow, 2);
  EXPECT_TRUE(ready);
}

TEST_F(Mapping, WheelMovesTheVisiblePanelOneRow) {
  build(11);  // 15 accounts: Max 5
  mapping.wheel(-1200);
  EXPECT_EQ(accounts().scrollValue, 1);
  mapping.wheel(120);
  mapping.wheel(120);
  EXPECT_EQ(accounts().scrollValue, 0);
  for (int i = 0; i < 7; ++i) mapping.wheel(-120);
  EXPECT_EQ(accounts().scrollValue, 5);
  EXPECT_EQ(accounts().rows[9].sourceCode.text, "X10");

  mapping.showPanel(PanelKind::Departments);
  mapping.wheel(-120);  // no departments: nothing moves
  EXPECT_EQ(mapping.view().departments.scrollValue, 0);
  EXPECT_EQ(accounts().scrollValue, 5);
}

TEST_F(Mapping, ARestoredStartOpensOnTheAccountPanel) {
  build();
  state.subAccountIndex.clear();
  MainPresenter main{state, platform};
  ASSERT_TRUE(main.load(StartMode::Restored));
  const MappingView& v = main.mapping().view();
  EXPECT_EQ(v.visiblePanel, PanelKind::Accounts);
  EXPECT_EQ(v.accounts.rows[1].sourceName.text, "普通預金");
  EXPECT_EQ(v.accounts.remainingCaption, "マッチング科目残数：2/4");
  EXPECT_FALSE(main.view().nextEnabled);
  main.mapping().changeAccountCode(1, "B02");
  main.mapping().pressEnterInAccountCode(1);
  main.mapping().clickInvalid(2);
  EXPECT_TRUE(main.view().nextEnabled);
}

}  // namespace
}  // namespace ledra
