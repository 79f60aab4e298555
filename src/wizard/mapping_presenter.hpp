#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "matching/account_view.hpp"
#include "matching/department_view.hpp"
#include "matching/mapping_history.hpp"
#include "matching/picker.hpp"
#include "matching/readiness.hpp"
#include "matching/sub_account_lists.hpp"
#include "matching/sub_account_view.hpp"
#include "matching/suggestions.hpp"

namespace ledra {

struct ConversionState;
class Platform;

// An unexpected error inside a handler (first line; the detail follows).
inline constexpr std::string_view kMsgHandlerFailed = "処理中にエラーが発生しました。";

// The mapping screen's three panels, chosen with B_ConvSelect(0..2) "勘定科目", "補助", "部門".
enum class PanelKind { None, Accounts, SubAccounts, Departments };

// The mapping screen F_3rdStep: which of the frames F_Conv, F_Hojo and F_Bumon is visible,
// the three panels, and whether the main form takes input (not while the picker is open).
struct MappingView {
  PanelKind visiblePanel = PanelKind::None;
  bool mainEnabled = true;
  AccountPanelView accounts;
  SubAccountPanelView subAccounts;
  DepartmentPanelView departments;
};

// The mapping screen's logic: owns the panels' positions, the account filter, the busy guards,
// the focused rows and the codes typed but not yet decided, and forwards each control event to
// the mapping operations the command line uses too. After every change that can affect
// readiness it calls updateNextButton (the main form's B_Next rule).
class MappingPresenter {
 public:
  MappingPresenter(ConversionState& state, Platform& platform,
                   std::function<bool()> updateNextButton = {});

  const MappingView& view() const { return view_; }
  // What the readiness rule found at the last mapping change.
  const Readiness& readiness() const { return readiness_; }
  PanelKind panelKind() const { return panelKind_; }

  // Entering the screen (after the import or a restore): all accounts, from the first row.
  void show();

  // The rows each panel shows: as many as the window has room for, never fewer than ten. The
  // rules for the last row (Enter, the wheel's range) follow.
  void setVisibleRows(int32_t rows);
  int32_t visibleRows() const { return visibleRows_; }

  // An arrow, page or Ctrl+Home/End key in row `row` of the visible panel: the focus moves
  // through the rows and the list scrolls as the wheel scrolls it.
  void pressRowKey(int32_t row, RowKey key);

  // --- account panel F_Conv
  // RedrawAccountView: the rows from view position topRow, the remaining count, the scroll
  // range; then the parent choices of the sub-account panel and the next button.
  void redrawAccounts(int32_t topRow);
  // VS_conv(0) or VS_conv(1) moved (change or scroll).
  void scrollAccounts(int32_t value);
  // R_KKS(i): the filter, back to the first row.
  void chooseFilter(AccountFilter filter);
  // B_ConvSelect(i).
  void showPanel(PanelKind panel);
  // T_N_KCode(r): click, text changed, Enter.
  void clickAccountCode(int32_t row);
  void changeAccountCode(int32_t row, std::string_view text);
  void pressEnterInAccountCode(int32_t row);
  // Ctrl+Enter in T_N_KCode(r): the row's suggestion is typed in and decided as with Enter.
  void acceptSuggestion(int32_t row);
  // The find box: the list scrolls to the first account whose code or name holds the text;
  // Enter goes on to the next one.
  void findAccount(std::string_view text);
  void findNextAccount();
  // C_TakeThisRec(r) click.
  void clickInvalid(int32_t row);
  // B_N_KK(r): opens the picker for the row's account; the main form waits.
  void openPicker(int32_t row);
  // The open picker (nullptr when closed); the GUI forwards the dialog's own events to it.
  PickerPresenter* picker() { return picker_ ? &*picker_ : nullptr; }
  bool pickerOpen() const { return picker_.has_value(); }
  // B_Exec "OK": the picker's decision, then the dialog closes and the panel redraws.
  void confirmPicker();
  // Enter in the picker: OK when a row is chosen, otherwise nothing.
  void pressEnterInPicker();
  // Op_Code(i) double-click: choose the row and confirm.
  void doubleClickPickerRow(int32_t row);
  // B_Cancel or the dialog closed: nothing changes.
  void closePicker();

  // --- sub-account panel F_Hojo
  // RedrawSubAccountView: at the saved position (keepPosition) or the scroll bar's.
  void redrawSubAccounts(bool keepPosition);
  void scrollSubAccounts(int32_t value);
  // C_N_SKK choice.
  void chooseParent(int32_t choiceIndex);
  // T_N_HKCode(r): click, text changed, focus lost, a key pressed (enter: the Enter key).
  void clickSubCode(int32_t row);
  void changeSubCode(int32_t row, std::string_view text);
  void leaveSubCode(int32_t row);
  void pressSubCodeKey(int32_t row, bool enter);

  // --- department panel F_Bumon
  void redrawDepartments();
  void scrollDepartments(int32_t value);

  // B_Reuse: another client's saved work state is chosen, and its decisions are taken over
  // for what is still open here (one undo step), then a summary is shown.
  void reuseFromOtherState();

  // --- undo and redo (Ctrl+Z, Ctrl+Y): each decided change is one step. A code typed and not
  // yet decided is what undo takes back first. Nothing is saved until the user saves.
  bool canUndo() const { return history_.canUndo() || pendingEdit(); }
  bool canRedo() const { return history_.canRedo() && !pendingEdit(); }
  void undo();
  void redo();

  // --- mouse wheel over the main form: moves the visible panel one row. The middle button's
  // events are raised by the view too; nothing acts on them.
  void wheel(int delta);
  void middleButtonDown(float /*x*/, float /*y*/) {}
  void middleButtonUp(float /*x*/, float /*y*/) {}

 private:
  AccountRowView* accountRow(int32_t row);
  SubAccountRowView* subAccountRow(int32_t row);
  void decideAccountCode(int32_t row, const std::string& typed, bool redraw = true);
  void decideSubAccountCode(int32_t row);
  // After a mapping changed: the readiness rule, the parent choices and B_Next are worked out
  // again. A redraw that changed nothing (a scroll, a filter) keeps what they were.
  // Each change also becomes one undo step.
  void mappingChanged() {
    readiness_.invalidate();
    usedStale_ = true;
    history_.record(state_);
  }
  // A code typed into the focused row and not yet decided.
  bool pendingEdit() const;
  void stepHistory(bool back);
  // Draws the visible panel again after the tables changed under it.
  void redrawVisiblePanel();
  void updateNext();
  // Puts each shown account's best suggestion into its row, from what was ranked before.
  void suggestRows();
  const std::optional<Suggestion>& suggestionFor(int32_t accountIndex);
  void scrollAccountsTo(int32_t top, int32_t focusRow);
  void findFrom(int32_t position);
  void guarded(const std::function<void()>& action);

  ConversionState& state_;
  Platform& platform_;
  std::function<bool()> updateNextButton_;
  MappingView view_;

  PanelKind panelKind_ = PanelKind::None;
  int32_t visibleRows_ = kPanelRows;
  AccountFilter filter_ = AccountFilter::All;
  AccountView currentView_;                   // the accounts the panel lists, in order
  std::optional<AccountFilter> shownFilter_;  // the filter currentView_ was built for
  Readiness readiness_;
  MappingHistory history_;
  // Suggestions are ranked once when the screen is entered and again only for an account
  // whose suggestion a change made stale (its code was taken, or its own code cleared).
  std::optional<SuggestionIndex> suggestionIndex_;
  std::vector<std::optional<Suggestion>> suggested_;  // by account
  std::vector<bool> suggestionKnown_;                 // by account
  std::vector<bool> usedCandidates_;
  bool usedStale_ = true;
  bool redrawBusy_ = false;
  bool accountCodeChanged_ = false;
  std::optional<PickerPresenter> picker_;

  // What the sub-account panel lists: its parent choices and the chosen parent's entries.
  SubAccountLists subLists_;
  bool subRedrawBusy_ = false;
  int32_t subTopRow_ = 0;
  int32_t subFilterIndex_ = 0;
  bool subCodeChanged_ = false;
  int32_t focusedSubRow_ = 0;
};

}  // namespace ledra
