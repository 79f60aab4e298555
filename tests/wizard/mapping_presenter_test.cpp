#include "wizard/mapping_presenter.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "state/account_links.hpp"
#include "state/conversion_state.hpp"
#include "state/work_state.hpp"
#include "support/scripted_platform.hpp"
#include "wizard/main_presenter.hpp"
#include "wizard/step_flow.hpp"

namespace ledra {
namespace {

// 0 100 現金 (A01, in use), 1 200 普通預金 (group 2: A銀行 "1", B銀行 "2"), 2 300 売上,
// 3 400 当座預金 (D04, group 3: C銀行 "1"), then `extra` unmatched accounts X0, X1, …
class Mapping : public ::testing::Test {
 protected:
  void build(int extra = 0) {
    state.screenState = Screen::Mapping;
    state.sourcePackage = SourcePackage::Yayoi;
    for (auto [code, name] : {std::pair{"A01", "現金"}, {"B02", "普通預金"}, {"D04", "当座預金"}})
      state.standardAccountCandidates.append({code, name});
    account("100", "現金", 0, "A01").inUse = true;
    account("200", "普通預金", 2);
    account("300", "売上", 0);
    account("400", "当座預金", 3, "D04");
    for (int i = 0; i < extra; ++i) account("X" + std::to_string(i), "雑", 0);
    for (const WorkAccount& a : state.workAccounts) {
      WorkAccountBalance& b = state.workAccountBalances.append();
      b.accountSourceCode = a.sourceCode;
      b.accountSourceName = a.sourceName;
    }
    for (auto [name, group, code] :
         {std::tuple{"A銀行", 2, "1"}, {"B銀行", 2, "2"}, {"C銀行", 3, "1"}}) {
      WorkSubAccount& s = state.workSubAccounts.append();
      s.col(2) = group == 2 ? "普通預金" : "当座預金";
      s.subAccountName = name;
      s.subAccountGroupNo = group;
      s.newSubCode = code;
    }
    WorkSubAccountBalance& sb = state.workSubAccountBalances.append();
    sb.subAccountName = "A銀行";
    sb.subAccountGroupNo = 2;
    mapping.show();
  }
  WorkAccount& account(std::string code, std::string name, int32_t group, std::string ledra = "") {
    WorkAccount& a = state.workAccounts.append();
    a.sourceCode = std::move(code);
    a.sourceName = a.ledraName = std::move(name);
    a.ledraCode = std::move(ledra);
    if (a.ledraCode.empty()) a.ledraName.clear();
    a.valid = true;
    a.matched = !a.ledraCode.empty();
    a.hasSubAccounts = group != 0;
    a.subAccountGroupNo = group;
    state.allView.append(state.workAccounts.count() - 1);
    return a;
  }
  void type(int32_t r, const std::string& text) {  // typed into row r's code box, then Enter
    mapping.changeAccountCode(r, text);
    mapping.pressEnterInAccountCode(r);
  }
  const AccountPanelView& accounts() const { return mapping.view().accounts; }
  const SubAccountPanelView& subs() const { return mapping.view().subAccounts; }

  ConversionState state;
  testing::ScriptedPlatform platform;
  bool ready = false;
  int evaluations = 0;
  MappingPresenter mapping{state, platform, [this] {
                             ++evaluations;
                             return ready = evaluateNextButton(state);
                           }};
};

TEST_F(Mapping, ScrollingKeepsTheReadinessFoundUntilAMappingChanges) {
  build(20);
  ASSERT_EQ(evaluations, 1);
  mapping.wheel(-120);
  mapping.wheel(-120);
  mapping.scrollAccounts(7);
  mapping.pressRowKey(9, RowKey::Down);
  mapping.chooseFilter(AccountFilter::BalanceSheet);
  mapping.chooseFilter(AccountFilter::All);
  mapping.showPanel(PanelKind::SubAccounts);
  mapping.wheel(-120);
  mapping.showPanel(PanelKind::Accounts);
  EXPECT_EQ(evaluations, 1);
  EXPECT_EQ(subs().parentChoices,
            (std::vector<std::string>{"全て表示", "勘定科目未設定", "D04：当座預金"}));
  mapping.scrollAccounts(0);
  type(1, "B02");
  EXPECT_EQ(evaluations, 2);
  EXPECT_EQ(subs().parentChoices,
            (std::vector<std::string>{"全て表示", "B02：普通預金", "D04：当座預金"}));
  mapping.clickInvalid(2);
  EXPECT_EQ(evaluations, 3);
}

TEST_F(Mapping, InvalidatingTurnsTheRowCyanAndAnAccountInUseCannotBe) {
  build();
  EXPECT_EQ(accounts().remainingCaption, "マッチング科目残数：2/4");
  EXPECT_TRUE(accounts().accountsRemain);
  mapping.clickInvalid(2);
  EXPECT_EQ(accounts().rows[2].state, RowState::Done);
  EXPECT_TRUE(accounts().rows[2].invalidTicked);
  EXPECT_EQ(accounts().remainingCaption, "マッチング科目残数：1/4");
  EXPECT_TRUE(AccountLinks(state).matchedOf(state.workAccountBalances[2]));
  mapping.clickInvalid(2);
  EXPECT_EQ(accounts().rows[2].state, RowState::NeedsAttention);
  EXPECT_FALSE(accounts().rows[0].invalidEnabled);
  mapping.clickInvalid(0);
  EXPECT_TRUE(state.workAccounts[0].valid);
}

TEST_F(Mapping, TypedCodeIsCleanedUpperCasedConfirmedAndSpread) {
  build();
  mapping.changeAccountCode(1, " b\u30000 2");
  EXPECT_EQ(accounts().rows[1].ledraCode.text, "b02");
  mapping.pressEnterInAccountCode(1);
  EXPECT_EQ(platform.messageTexts(),
            (std::vector<std::string>{"勘定科目候補( 普通預金 )\r\nが存在します。適用しますか？"}));
  EXPECT_EQ(AccountLinks(state).ledraCodeOf(state.workAccountBalances[1]), "B02");
  EXPECT_EQ(AccountLinks(state).parentLedraCodeOf(state.workSubAccounts[0]), "B02");
  EXPECT_EQ(accounts().rows[1].ledraName.text, "普通預金");
  EXPECT_EQ(accounts().rows[1].state, RowState::Done);
  EXPECT_EQ(accounts().focusedRow, 2);
  EXPECT_EQ(subs().parentChoices,
            (std::vector<std::string>{"全て表示", "B02：普通預金", "D04：当座預金"}));
}

TEST_F(Mapping, CodeBoxRefusalsDeletionAndPendingEdits) {
  build(20);
  type(0, "A01");  // the row's own code: nothing to decide
  EXPECT_TRUE(platform.messages.empty());
  type(2, "d04");
  EXPECT_EQ(platform.lastMessage().text, "指定した勘定科目Code(D04)は既に使用済みです。\r\n");
  EXPECT_EQ(platform.lastMessage().title, "エラー");
  EXPECT_EQ(accounts().rows[2].ledraCode.text, "");  // the refused text is gone

  const size_t shown = platform.messages.size();
  mapping.changeAccountCode(3, "");  // deleting unmaps at once, without a question
  EXPECT_EQ(platform.messages.size(), shown);
  EXPECT_FALSE(state.workAccounts[3].matched);
  EXPECT_EQ(AccountLinks(state).parentLedraCodeOf(state.workSubAccounts[2]), "");

  mapping.changeAccountCode(2, "D04");  // left undecided: a redraw drops it
  mapping.scrollAccounts(1);
  mapping.scrollAccounts(0);
  EXPECT_EQ(accounts().rows[2].ledraCode.text, "");
  mapping.pressEnterInAccountCode(2);
  EXPECT_EQ(platform.messages.size(), shown);
}

TEST_F(Mapping, PickerOkSpreadsTheCodeAndCancelChangesNothing) {
  build();
  mapping.openPicker(2);
  EXPECT_FALSE(mapping.view().mainEnabled);
  mapping.picker()->select(1);  // B02
  mapping.closePicker();
  EXPECT_TRUE(mapping.view().mainEnabled);
  EXPECT_EQ(state.workAccounts[2].ledraCode, "");

  mapping.openPicker(1);
  mapping.doubleClickPickerRow(1);  // B02 for 普通預金
  EXPECT_FALSE(mapping.pickerOpen());
  EXPECT_EQ(AccountLinks(state).ledraCodeOf(state.workAccountBalances[1]), "B02");
  EXPECT_TRUE(AccountLinks(state).matchedOf(state.workAccountBalances[1]));
  EXPECT_EQ(AccountLinks(state).parentLedraNameOf(state.workSubAccounts[1]), "普通預金");
  EXPECT_EQ(accounts().rows[1].ledraCode.text, "B02");
  EXPECT_EQ(subs().parentChoices[1], "B02：普通預金");
}

TEST_F(Mapping, SubAccountsByParentCodesAndClashes) {
  build();
  type(1, "B02");           // its sub-accounts get the parent code
  mapping.clickInvalid(2);  // 売上 out of the way
  EXPECT_TRUE(ready);
  mapping.showPanel(PanelKind::SubAccounts);
  EXPECT_EQ(subs().parentChoiceIndex, 0);  // 全て表示: every sub-account, all locked
  EXPECT_EQ(subs().rows[2].name.text, "C銀行");
  EXPECT_TRUE(subs().rows[0].codeLocked);
  mapping.chooseParent(1);
  EXPECT_EQ(subs().parentCaption, "弥生会計表記勘定科目\r\n普通預金");
  EXPECT_FALSE(subs().rows[1].codeLocked);
  EXPECT_FALSE(subs().rows[2].showsSubAccount());

  mapping.clickSubCode(0);
  mapping.changeSubCode(0, "2");  // clashes with B銀行
  mapping.clickSubCode(1);        // decides row 0 before the focus moves
  EXPECT_EQ(state.workSubAccountBalances[0].newSubCode, "2");
  EXPECT_EQ(subs().rows[0].state, RowState::NeedsAttention);
  EXPECT_EQ(subs().rows[1].state, RowState::NeedsAttention);
  EXPECT_FALSE(ready);
  mapping.changeSubCode(1, "");  // cleared at once
  EXPECT_EQ(state.workSubAccounts[1].newSubCode, "");
  mapping.changeSubCode(1, "b");
  mapping.pressSubCodeKey(1, true);
  EXPECT_EQ(state.workSubAccounts[1].newSubCode, "B");
  EXPECT_EQ(subs().rows[0].state, RowState::Done);
  EXPECT_TRUE(ready);
}

TEST_F(Mapping, EnterOnRowNineAndTheWheelScrollWithinTheList) {
  build(11);             // 15 accounts: Max 5
  mapping.wheel(-1200);  // one row, whatever the delta
  EXPECT_EQ(accounts().scrollValue, 1);
  for (int i = 0; i < 7; ++i) mapping.pressEnterInAccountCode(9);
  EXPECT_EQ(accounts().scrollValue, 5);
  EXPECT_EQ(accounts().focusedRow, 9);
  mapping.wheel(-120);
  EXPECT_EQ(accounts().rows[9].sourceCode.text, "X10");
  mapping.showPanel(PanelKind::Departments);
  mapping.wheel(120);  // only the visible panel moves
  mapping.showPanel(PanelKind::Accounts);
  EXPECT_EQ(accounts().scrollValue, 5);
  mapping.chooseFilter(AccountFilter::BalanceSheet);
  EXPECT_EQ(accounts().scrollValue, 0);
}

TEST_F(Mapping, KeysAndATallerPanelFollowTheLastVisibleRow) {
  build(21);  // 25 accounts
  mapping.setVisibleRows(15);
  EXPECT_EQ(accounts().rows.size(), 15u);
  EXPECT_EQ(accounts().scrollMax, 10);
  mapping.pressEnterInAccountCode(9);  // row 9 is no longer the last
  EXPECT_EQ(accounts().focusedRow, 10);
  EXPECT_EQ(accounts().scrollValue, 0);
  mapping.pressEnterInAccountCode(14);
  EXPECT_EQ(accounts().scrollValue, 1);
  EXPECT_EQ(accounts().focusedRow, 14);
  mapping.pressRowKey(14, RowKey::Down);
  EXPECT_EQ(accounts().scrollValue, 2);
  mapping.pressRowKey(3, RowKey::Up);
  EXPECT_EQ(accounts().focusedRow, 2);
  EXPECT_EQ(accounts().scrollValue, 2);
  mapping.pressRowKey(2, RowKey::Last);
  EXPECT_EQ(accounts().rows[14].sourceCode.text, "X20");
  EXPECT_EQ(accounts().focusedRow, 14);
  mapping.pressRowKey(14, RowKey::First);
  EXPECT_EQ(accounts().scrollValue, 0);
  EXPECT_EQ(accounts().focusedRow, 0);
  // Back to the design size: the list is pulled within the smaller range.
  mapping.scrollAccounts(10);
  mapping.setVisibleRows(4);
  EXPECT_EQ(accounts().rows.size(), 10u);
  EXPECT_EQ(accounts().scrollMax, 15);
  EXPECT_EQ(accounts().rows[9].sourceCode.text, "X15");
}

TEST_F(Mapping, SubAccountListScrollsOnEnterInTheLastRowAndANewChoiceStartsAtTheTop) {
  build();
  for (int i = 0; i < 12; ++i) {
    WorkSubAccount& s = state.workSubAccounts.append();
    s.col(2) = "当座預金";
    s.subAccountName = "D銀行" + std::to_string(i);
    s.subAccountGroupNo = 3;
    s.newSubCode = std::to_string(10 + i);
  }
  mapping.showPanel(PanelKind::SubAccounts);
  ASSERT_EQ(subs().parentChoices[2], "D04：当座預金");
  mapping.chooseParent(2);  // 13 sub-accounts: Max 3
  mapping.pressSubCodeKey(9, true);
  EXPECT_EQ(subs().scrollValue, 1);
  EXPECT_EQ(subs().focusedRow, 9);
  EXPECT_EQ(subs().rows[9].name.text, "D銀行9");
  mapping.chooseParent(2);
  EXPECT_EQ(subs().scrollValue, 0);
  EXPECT_EQ(subs().rows[0].name.text, "C銀行");
  mapping.pressRowKey(9, RowKey::PageDown);
  EXPECT_EQ(subs().scrollValue, 3);
  EXPECT_EQ(subs().rows[9].name.text, "D銀行11");
}

TEST_F(Mapping, ALineNamesWhatBlocksTheConversionOnceEveryAccountIsDone) {
  build();
  EXPECT_EQ(accounts().blockingLine, "");  // the count says it: 2 accounts remain
  mapping.clickInvalid(1);                 // 普通預金 out, its sub-accounts without a parent
  mapping.clickInvalid(2);
  EXPECT_EQ(accounts().remainingCaption, "マッチング科目残数：0/4");
  EXPECT_EQ(accounts().blockingLine, "所属勘定科目が未設定の補助科目があります（補助）");
  mapping.clickInvalid(1);
  type(1, "Ｂ０２");  // typed with an input method: folded to B02
  EXPECT_EQ(state.workAccounts[1].ledraCode, "B02");
  EXPECT_EQ(accounts().blockingLine, "");
  EXPECT_TRUE(ready);
  mapping.showPanel(PanelKind::SubAccounts);
  mapping.chooseParent(1);
  mapping.changeSubCode(0, "２");  // B銀行 has 2
  mapping.pressSubCodeKey(0, true);
  mapping.showPanel(PanelKind::Accounts);
  EXPECT_EQ(accounts().blockingLine, "補助科目コードが重複しています（補助）");
  EXPECT_FALSE(ready);
}

TEST_F(Mapping, TheFindBoxScrollsToTheFirstMatchAndEnterToTheNext) {
  build(21);  // X0 … X20 at positions 4 … 24
  mapping.findAccount("X1");
  EXPECT_EQ(accounts().scrollValue, 5);
  EXPECT_EQ(accounts().foundPosition, 5);
  mapping.findNextAccount();  // X10
  EXPECT_EQ(accounts().scrollValue, 14);
  mapping.findAccount("X20");
  EXPECT_EQ(accounts().scrollValue, 15);  // the end of the list
  EXPECT_EQ(accounts().foundPosition, 24);
  mapping.findNextAccount();  // round to the start: X20 again
  EXPECT_EQ(accounts().foundPosition, 24);
  mapping.findAccount("該当しない");
  EXPECT_TRUE(accounts().findMissed);
  EXPECT_EQ(accounts().scrollValue, 15);
  mapping.findAccount("普通");
  EXPECT_FALSE(accounts().findMissed);
  EXPECT_EQ(accounts().scrollValue, 1);
}

TEST_F(Mapping, AnUnexpectedErrorIsReportedAndThePanelStaysUsable) {
  build();
  state.balanceSheetView.append(99);  // no such account
  mapping.chooseFilter(AccountFilter::BalanceSheet);
  EXPECT_EQ(platform.lastMessage().text,
            "処理中にエラーが発生しました。\r\nindex 99 outside the table (count 4)");
  mapping.chooseFilter(AccountFilter::All);
  EXPECT_EQ(accounts().rows[3].sourceName.text, "当座預金");
}

TEST_F(Mapping, ARestoredStartOpensOnTheAccountPanel) {
  build();
  MainPresenter main{state, platform};
  ASSERT_TRUE(main.load(StartMode::Restored));
  EXPECT_EQ(main.mapping().view().accounts.rows[1].sourceName.text, "普通預金");
  EXPECT_FALSE(main.view().nextEnabled);
  main.mapping().clickInvalid(2);
  main.mapping().changeAccountCode(1, "B02");
  main.mapping().pressEnterInAccountCode(1);
  EXPECT_TRUE(main.view().nextEnabled);
}

// What the screen shows of the mapping, both panels: rows, colours, counts, readiness.
struct Shown {
  std::vector<AccountRowView> accounts;
  std::string remaining;
  std::string blocking;
  std::vector<SubAccountRowView> subAccounts;
  std::vector<std::string> parentChoices;
  bool ready = false;
  bool operator==(const Shown&) const = default;
};

struct UndoCase {
  const char* what;
  std::function<void(MappingPresenter&)> change;
  std::function<void(MappingPresenter&)> before = [](MappingPresenter&) {};  // moving there
};

TEST_F(Mapping, UndoAndRedoEveryKindOfChange) {
  const auto shown = [this] {
    const PanelKind was = mapping.view().visiblePanel;
    mapping.showPanel(PanelKind::Accounts);
    Shown s{accounts().rows, accounts().remainingCaption, accounts().blockingLine, {}, {}, ready};
    mapping.showPanel(PanelKind::SubAccounts);
    s.subAccounts = subs().rows;
    s.parentChoices = subs().parentChoices;
    mapping.showPanel(was);
    return s;
  };
  const std::vector<UndoCase> cases = {
      {"typed code",
       [](MappingPresenter& m) {
         m.changeAccountCode(1, "b02");
         m.pressEnterInAccountCode(1);
       }},
      {"picked code",
       [](MappingPresenter& m) {
         m.openPicker(1);
         m.doubleClickPickerRow(1);
       }},
      {"cleared code", [](MappingPresenter& m) { m.changeAccountCode(3, ""); }},
      {"無効", [](MappingPresenter& m) { m.clickInvalid(2); }},
      {"sub-account code",
       [](MappingPresenter& m) {
         m.changeSubCode(0, "7");
         m.pressSubCodeKey(0, true);
       },
       [](MappingPresenter& m) {
         m.showPanel(PanelKind::SubAccounts);
         m.chooseParent(1);  // 当座預金
         m.clickSubCode(0);
       }},
  };
  for (const UndoCase& c : cases) {
    SCOPED_TRACE(c.what);
    state = {};
    build();
    c.before(mapping);
    const Shown before = shown();
    const auto tables = [this] {
      return std::tuple{
          std::vector(state.workAccounts.begin(), state.workAccounts.end()),
          std::vector(state.workAccountBalances.begin(), state.workAccountBalances.end()),
          std::vector(state.workSubAccounts.begin(), state.workSubAccounts.end()),
          std::vector(state.workSubAccountBalances.begin(), state.workSubAccountBalances.end()),
          std::vector(state.standardAccounts.begin(), state.standardAccounts.end())};
    };
    const auto tablesBefore = tables();
    EXPECT_FALSE(mapping.canUndo());
    c.change(mapping);
    const Shown after = shown();
    ASSERT_NE(after, before);
    EXPECT_TRUE(mapping.canUndo());
    mapping.undo();
    EXPECT_EQ(shown(), before);
    EXPECT_TRUE(tables() == tablesBefore);
    EXPECT_FALSE(mapping.canUndo());
    EXPECT_TRUE(mapping.canRedo());
    mapping.redo();
    EXPECT_EQ(shown(), after);
    EXPECT_FALSE(mapping.canRedo());
  }
}

TEST_F(Mapping, UndoTakesBackAnUndecidedCodeFirstAndLeavesTheSavedStateAlone) {
  build();
  MainPresenter main{state, platform};
  ASSERT_TRUE(main.load(StartMode::Restored));
  MappingPresenter& m = main.mapping();
  m.clickInvalid(2);
  EXPECT_TRUE(main.hasUnsavedWork());
  m.changeAccountCode(1, "B0");  // typed, not decided
  EXPECT_FALSE(m.canRedo());
  m.undo();
  EXPECT_EQ(m.view().accounts.rows[1].ledraCode.text, "");
  EXPECT_TRUE(state.workAccounts[2].valid == false);
  m.undo();
  EXPECT_TRUE(state.workAccounts[2].valid);
  EXPECT_EQ(m.view().accounts.remainingCaption, accounts().remainingCaption);
  EXPECT_FALSE(main.hasUnsavedWork());  // back to what the file holds
  m.redo();
  EXPECT_TRUE(main.hasUnsavedWork());
  // A new change ends what could be redone.
  m.undo();
  m.changeAccountCode(3, "");
  EXPECT_FALSE(m.canRedo());
}

TEST_F(Mapping, TheBestSuggestionStandsInTheEmptyRowAndCtrlEnterTakesIt) {
  build();
  EXPECT_EQ(accounts().rows[1].suggestedCode, "B02");
  EXPECT_EQ(accounts().rows[1].suggestedName, "普通預金");
  EXPECT_EQ(accounts().rows[1].ledraCode.toolTip, "候補: B02 普通預金（Ctrl+Enterで割り当てます）");
  EXPECT_EQ(accounts().rows[2].suggestedCode, "");  // 売上: nothing alike
  EXPECT_EQ(accounts().rows[0].suggestedCode, "");  // mapped

  mapping.acceptSuggestion(1);
  EXPECT_EQ(state.workAccounts[1].ledraCode, "B02");
  EXPECT_EQ(accounts().rows[1].ledraCode.text, "B02");
  EXPECT_EQ(accounts().rows[1].suggestedCode, "");
  mapping.undo();
  EXPECT_EQ(accounts().rows[1].suggestedCode, "B02");

  // A cleared code is ranked when it is cleared; a code another account takes is not offered.
  mapping.changeAccountCode(3, "");
  EXPECT_EQ(accounts().rows[3].suggestedCode, "D04");
  type(1, "D04");
  ASSERT_EQ(state.workAccounts[1].ledraCode, "D04");
  EXPECT_NE(accounts().rows[3].suggestedCode, "D04");
}

TEST_F(Mapping, ThePickerListsTheSuggestionsFirstWhenAutoCollectIsTicked) {
  build();
  mapping.changeAccountCode(3, "");  // 当座預金
  mapping.openPicker(3);
  mapping.picker()->setAutoCollect(true);
  const auto& rows = mapping.picker()->view().rows;
  EXPECT_EQ(rows[0].code, "D04");
  EXPECT_EQ(rows[1].code, "B02");
  EXPECT_EQ(rows[2].code, "");
}

TEST_F(Mapping, ReuseFromAnotherSavedStateIsOneUndoStepWithASummary) {
  build();
  ConversionState other = state;
  other.workAccounts[1].ledraCode = "B02";
  other.workAccounts[1].ledraName = "普通預金";
  other.workAccounts[2].valid = false;              // 売上
  other.workAccounts[3].sourceName = "当座　預金";  // mapped here already
  other.workAccounts[3].ledraCode = "A01";
  const std::string file = platform.temp + "/other.dat";
  ASSERT_TRUE(saveWorkStateToFile(other, platform, file));
  platform.messages.clear();

  platform.openAnswers = {file};
  mapping.reuseFromOtherState();
  EXPECT_EQ(platform.lastMessage().text, "「" + file +
                                             "」の割当を引き継ぎました。\r\n"
                                             "勘定科目コードを割り当てました: 1件\r\n"
                                             "補助科目コードを割り当てました: 0件\r\n"
                                             "勘定科目を無効にしました: 1件");
  EXPECT_EQ(accounts().rows[1].ledraCode.text, "B02");
  EXPECT_TRUE(accounts().rows[2].invalidTicked);
  EXPECT_EQ(state.workAccounts[3].ledraCode, "D04");
  EXPECT_TRUE(ready);

  mapping.undo();
  EXPECT_EQ(accounts().rows[1].ledraCode.text, "");
  EXPECT_FALSE(accounts().rows[2].invalidTicked);
  EXPECT_FALSE(ready);
  EXPECT_FALSE(mapping.canUndo());

  // A file that is not a work state is named and changes nothing.
  const size_t shownBefore = platform.messages.size();
  platform.openAnswers = {platform.temp + "/missing.dat"};
  mapping.reuseFromOtherState();
  EXPECT_EQ(platform.messages.size(), shownBefore + 1);
  EXPECT_FALSE(mapping.canUndo());
}

TEST_F(Mapping, AfterAReuseThePanelListsEverySubAccountWithItsNewCode) {
  build();
  state.workSubAccounts[1].col(6) = "2";  // B銀行 still has the import's code
  ConversionState other = state;
  other.workSubAccounts[1].newSubCode = "B7";
  const std::string file = platform.temp + "/other.dat";
  ASSERT_TRUE(saveWorkStateToFile(other, platform, file));
  mapping.showPanel(PanelKind::SubAccounts);
  mapping.chooseParent(2);  // 当座預金: C銀行 alone
  ASSERT_EQ(subs().rows[0].name.text, "C銀行");

  platform.openAnswers = {file};
  mapping.reuseFromOtherState();
  EXPECT_EQ(subs().parentChoiceIndex, 0);
  EXPECT_EQ(subs().parentCaption, "弥生会計表記勘定科目\r\n全て表示");
  EXPECT_EQ(subs().rows[1].name.text, "B銀行");
  EXPECT_EQ(subs().rows[1].code.text, "B7");
  EXPECT_EQ(subs().rows[2].name.text, "C銀行");

  // Undo puts the old code back into the listed row too.
  mapping.undo();
  EXPECT_EQ(subs().rows[1].code.text, "2");
}

}  // namespace
}  // namespace ledra
