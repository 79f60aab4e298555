#include "wizard/mapping_presenter.hpp"

#include <algorithm>
#include <exception>

#include "base/text.hpp"
#include "matching/mapping_operations.hpp"
#include "matching/mapping_reuse.hpp"
#include "matching/sub_account_lists.hpp"
#include "matching/typed_code.hpp"
#include "matching/wheel_scroll.hpp"
#include "platform/platform.hpp"
#include "state/conversion_state.hpp"
#include "state/work_state.hpp"
#include "wizard/conv_select_presenter.hpp"
#include "wizard/step_flow.hpp"

namespace ledra {

MappingPresenter::MappingPresenter(ConversionState& state, Platform& platform,
                                   std::function<bool()> updateNextButton)
    : state_(state), platform_(platform), updateNextButton_(std::move(updateNextButton)) {}

void MappingPresenter::guarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    // Reported instead of ending the program; the panels stay usable.
    redrawBusy_ = subRedrawBusy_ = false;
    platform_.message(std::string(kMsgHandlerFailed) + "\r\n" + e.what(), "エラー");
  }
}

void MappingPresenter::updateNext() {
  if (!readiness_.refresh(state_)) return;  // no mapping changed since the last time
  // The choices name each parent by its code, which the change may have given or taken.
  view_.subAccounts.parentChoices = refillParentAccountChoices(state_, subLists_);
  if (updateNextButton_) updateNextButton_();
}

void MappingPresenter::show() {
  // The tables may have been loaded anew: what could be undone belonged to the old ones.
  readiness_.invalidate();
  history_.reset(state_);
  guarded([&] {
    // The panel starts with every sub-account of the tables just loaded.
    rebuildSubAccountLists(state_, subLists_);
    suggestionIndex_.emplace(state_);
    const auto n = static_cast<size_t>(state_.workAccounts.count());
    suggested_.assign(n, std::nullopt);
    // An account mapped now is ranked only if its code is cleared later.
    suggestionKnown_.assign(n, false);
    for (AccountSuggestions& a : suggestUnmatched(state_, *suggestionIndex_, 1)) {
      const auto i = static_cast<size_t>(a.account);
      suggestionKnown_[i] = true;
      if (!a.suggestions.empty()) suggested_[i] = a.suggestions.front();
    }
    usedStale_ = true;
  });
  filter_ = AccountFilter::All;
  view_.accounts.filter = filter_;
  redrawAccounts(0);
}

void MappingPresenter::setVisibleRows(int32_t rows) {
  rows = std::max(rows, kPanelRows);
  if (rows == visibleRows_) return;
  visibleRows_ = rows;
  const auto size = static_cast<size_t>(rows);
  view_.accounts.rows.resize(size);
  view_.subAccounts.rows.resize(size);
  view_.departments.rows.resize(size);
  // Each panel is drawn again at its place, pulled back within the new range.
  switch (view_.visiblePanel) {
    case PanelKind::Accounts:
      redrawAccounts(view_.accounts.scrollValue);
      break;
    case PanelKind::SubAccounts:
      redrawSubAccounts(false);
      break;
    case PanelKind::Departments:
      redrawDepartments();
      break;
    case PanelKind::None:
      break;
  }
}

void MappingPresenter::pressRowKey(int32_t row, RowKey key) {
  if (!view_.mainEnabled || row < 0 || row >= visibleRows_) return;
  switch (view_.visiblePanel) {
    case PanelKind::Accounts: {
      const AccountPanelView& v = view_.accounts;
      const RowPosition to =
          moveRow({v.scrollValue, row}, v.scrollMax, visibleRows_, currentView_.count(), key);
      scrollAccountsTo(to.top, to.row);
      break;
    }
    case PanelKind::SubAccounts: {
      // Leaving the row decides what was typed in it, as the focus leaving it does.
      decideSubAccountCode(row);
      SubAccountPanelView& v = view_.subAccounts;
      const RowPosition to =
          moveRow({v.scrollValue, row}, v.scrollMax, visibleRows_, subLists_.entries.count(), key);
      if (to.top != v.scrollValue) scrollSubAccounts(to.top);
      v.focusedRow = focusedSubRow_ = to.row;
      ++v.focusSerial;
      break;
    }
    case PanelKind::Departments: {
      DepartmentPanelView& v = view_.departments;
      const RowPosition to = moveRow({v.scrollValue, row}, v.scrollMax, visibleRows_,
                                     state_.workDepartments.count(), key);
      if (to.top != v.scrollValue) scrollDepartments(to.top);
      v.focusedRow = to.row;
      ++v.focusSerial;
      break;
    }
    case PanelKind::None:
      break;
  }
}

// ---------------------------------------------------------------- account panel

AccountRowView* MappingPresenter::accountRow(int32_t row) {
  if (row < 0 || row >= static_cast<int32_t>(view_.accounts.rows.size())) return nullptr;
  AccountRowView& r = view_.accounts.rows[static_cast<size_t>(row)];
  return r.showsAccount() ? &r : nullptr;
}

void MappingPresenter::redrawAccounts(int32_t topRow) {
  if (redrawBusy_) return;  // setting the controls raises their events, which redraw again
  guarded([&] {
    redrawBusy_ = true;
    // The list is taken anew only for a new filter, or when the tables were loaded anew.
    if (shownFilter_ != filter_ ||
        currentView_.count() != accountFilterView(state_, filter_).count()) {
      currentView_ = accountFilterView(state_, filter_);
      shownFilter_ = filter_;
    }
    view_.visiblePanel = PanelKind::Accounts;
    const int32_t top = std::clamp(topRow, 0, panelScrollMax(currentView_.count(), visibleRows_));
    drawAccountView(state_, currentView_, top, view_.accounts);
    suggestRows();
    accountCodeChanged_ = false;  // a code typed and not decided is dropped
    panelKind_ = PanelKind::Accounts;
    redrawBusy_ = false;
    updateNext();
    // With every account done, the count alone would not say why 変換 stays grey.
    view_.accounts.blockingLine =
        view_.accounts.accountsRemain ? std::string() : readiness_.subAccountBlockingLine();
  });
}

const std::optional<Suggestion>& MappingPresenter::suggestionFor(int32_t accountIndex) {
  static const std::optional<Suggestion> none;
  const auto i = static_cast<size_t>(accountIndex);
  if (!suggestionIndex_ || i >= suggested_.size() || !needsSuggestion(state_, accountIndex))
    return none;
  if (usedStale_) {
    usedCandidates_ = usedCandidates(state_);
    usedStale_ = false;
  }
  std::optional<Suggestion>& s = suggested_[i];
  const bool taken = s && static_cast<size_t>(s->candidate) < usedCandidates_.size() &&
                     usedCandidates_[static_cast<size_t>(s->candidate)];
  if (!suggestionKnown_[i] || taken) {
    // The account needs one it did not need before, or another account took its code.
    std::vector<Suggestion> best =
        suggestionIndex_->rank(state_.workAccounts[accountIndex].sourceName, 1, usedCandidates_);
    s = best.empty() ? std::nullopt : std::optional(best.front());
    suggestionKnown_[i] = true;
  }
  return s;
}

void MappingPresenter::suggestRows() {
  for (AccountRowView& row : view_.accounts.rows) {
    if (!row.showsAccount() || row.codeLocked || !row.ledraCode.text.empty()) continue;
    const std::optional<Suggestion>& s = suggestionFor(row.accountIndex);
    if (!s) continue;
    row.suggestedCode = s->ledraCode;
    row.suggestedName = s->ledraName;
    row.ledraCode.toolTip =
        "候補: " + s->ledraCode + " " + s->ledraName + "（Ctrl+Enterで割り当てます）";
    row.ledraName.toolTip = row.ledraCode.toolTip;
  }
}

void MappingPresenter::acceptSuggestion(int32_t row) {
  const AccountRowView* r = accountRow(row);
  if (r == nullptr || r->codeLocked || r->suggestedCode.empty()) return;
  const std::string code = r->suggestedCode;
  changeAccountCode(row, code);
  pressEnterInAccountCode(row);
}

void MappingPresenter::scrollAccountsTo(int32_t top, int32_t focusRow) {
  AccountPanelView& v = view_.accounts;
  if (top != v.scrollValue) scrollAccounts(top);
  v.focusedRow = focusRow;
  ++v.focusSerial;
}

void MappingPresenter::findAccount(std::string_view text) {
  view_.accounts.findText = std::string(text);
  findFrom(0);
}

void MappingPresenter::findNextAccount() { findFrom(view_.accounts.foundPosition + 1); }

void MappingPresenter::findFrom(int32_t position) {
  AccountPanelView& v = view_.accounts;
  const std::string text = removeBlanks(v.findText);
  const int32_t found = findInCurrentView(state_, currentView_, text, position);
  v.foundPosition = found;
  v.findMissed = found < 0 && !text.empty();
  if (found < 0) return;
  const int32_t top = std::min(found, v.scrollMax);
  if (top != v.scrollValue) scrollAccounts(top);
}

void MappingPresenter::scrollAccounts(int32_t value) {
  redrawAccounts(std::clamp(value, 0, view_.accounts.scrollMax));
}

void MappingPresenter::chooseFilter(AccountFilter filter) {
  filter_ = filter;
  view_.accounts.filter = filter;
  view_.accounts.foundPosition = -1;  // a position in the list of the other filter
  redrawAccounts(0);
}

void MappingPresenter::showPanel(PanelKind panel) {
  if (panel == panelKind_) return;
  switch (panel) {
    case PanelKind::Accounts:
      redrawAccounts(view_.accounts.scrollValue);
      break;
    case PanelKind::SubAccounts:
      redrawSubAccounts(true);
      break;
    case PanelKind::Departments:
      redrawDepartments();
      break;
    case PanelKind::None:
      return;
  }
  panelKind_ = panel;
}

void MappingPresenter::clickAccountCode(int32_t row) {
  if (row >= 0 && row < visibleRows_) view_.accounts.focusedRow = row;
}

void MappingPresenter::changeAccountCode(int32_t row, std::string_view text) {
  if (redrawBusy_) return;
  AccountRowView* r = accountRow(row);
  if (r == nullptr || r->codeLocked) return;
  r->ledraCode.text = cleanTypedCode(text);
  if (r->ledraCode.text.empty()) {
    // Deleting the code unmaps the account at once.
    accountCodeChanged_ = true;
    decideAccountCode(row, "");
    return;
  }
  accountCodeChanged_ = r->ledraCode.text != state_.workAccounts[r->accountIndex].ledraCode;
}

void MappingPresenter::pressEnterInAccountCode(int32_t row) {
  AccountRowView* r = accountRow(row);
  if (r == nullptr || r->codeLocked) return;
  const std::string typed = r->ledraCode.text;
  redrawBusy_ = true;
  r->ledraCode.text = toUpperLatin(typed);
  redrawBusy_ = false;
  // The decision's own redraw is left to the one below, which shows the same tables.
  if (accountCodeChanged_) decideAccountCode(row, typed, /*redraw=*/false);

  AccountPanelView& v = view_.accounts;
  int32_t top = v.scrollValue;
  if (row < visibleRows_ - 1) {
    v.focusedRow = row + 1;
  } else {
    if (top < v.scrollMax) ++top;
    v.focusedRow = row;
  }
  ++v.focusSerial;
  redrawAccounts(top);
}

void MappingPresenter::decideAccountCode(int32_t row, const std::string& typed, bool redraw) {
  if (!accountCodeChanged_ || redrawBusy_) return;
  // The command line's code entry, given the text as typed before Enter upper-cased it: it
  // decides only when that differs from the account's code (or is empty), so a lower-case
  // form of the row's own code is refused as used, as the box refuses it.
  if (const AccountRowView* r = accountRow(row))
    guarded([&] { ::ledra::enterAccountCode(state_, platform_, r->accountIndex, typed); });
  mappingChanged();
  // The redraw shows the outcome, refills the parent choices and re-evaluates B_Next.
  if (redraw) redrawAccounts(view_.accounts.scrollValue);
  accountCodeChanged_ = false;
}

void MappingPresenter::clickInvalid(int32_t row) {
  if (redrawBusy_) return;
  AccountRowView* r = accountRow(row);
  if (r == nullptr || !r->invalidEnabled) return;
  guarded([&] { toggleAccountValid(state_, platform_, r->accountIndex); });
  mappingChanged();
  view_.accounts.focusedRow = row;
  redrawAccounts(view_.accounts.scrollValue);
}

void MappingPresenter::openPicker(int32_t row) {
  AccountRowView* r = accountRow(row);
  if (r == nullptr || !r->pickEnabled || picker_) return;
  picker_.emplace(state_, platform_, r->accountIndex, r->sourceName.text);
  picker_->setSuggestions(suggestionIndex_ ? &*suggestionIndex_ : nullptr);
  view_.mainEnabled = false;
  guarded([&] { picker_->load(); });
}

void MappingPresenter::confirmPicker() {
  if (!picker_) return;
  guarded([&] { picker_->confirm(); });
  mappingChanged();
  closePicker();
  // Shows the new code and name in the row, refills the parent choices, updates B_Next.
  redrawAccounts(view_.accounts.scrollValue);
}

void MappingPresenter::pressEnterInPicker() {
  if (picker_ && picker_->hasChoice()) confirmPicker();
}

void MappingPresenter::doubleClickPickerRow(int32_t row) {
  if (!picker_ || row < 0 || row >= kPanelRows) return;
  if (!picker_->view().rows[static_cast<size_t>(row)].enabled) return;
  picker_->select(row);
  confirmPicker();
}

void MappingPresenter::closePicker() {
  picker_.reset();
  view_.mainEnabled = true;
}

// ---------------------------------------------------------------- sub-account panel

SubAccountRowView* MappingPresenter::subAccountRow(int32_t row) {
  if (row < 0 || row >= static_cast<int32_t>(view_.subAccounts.rows.size())) return nullptr;
  SubAccountRowView& r = view_.subAccounts.rows[static_cast<size_t>(row)];
  return r.showsSubAccount() ? &r : nullptr;
}

void MappingPresenter::redrawSubAccounts(bool keepPosition) {
  if (subRedrawBusy_) return;
  guarded([&] {
    subRedrawBusy_ = true;
    SubAccountPanelView& v = view_.subAccounts;
    view_.visiblePanel = PanelKind::SubAccounts;
    if (v.parentChoices.empty()) v.parentChoices = parentAccountChoiceTexts(subLists_);
    const int32_t wanted = keepPosition ? subTopRow_ : v.scrollValue;
    const int32_t top =
        std::clamp(wanted, 0, panelScrollMax(subLists_.entries.count(), visibleRows_));
    const bool known = subFilterIndex_ < static_cast<int32_t>(v.parentChoices.size());
    v.parentChoiceIndex = known ? subFilterIndex_ : -1;
    subTopRow_ = top;
    drawSubAccountView(subLists_, readiness_, top, v);
    v.parentCaption =
        subAccountParentCaption(packageName(state_.sourcePackage), subLists_.parentName);
    subRedrawBusy_ = false;
  });
}

void MappingPresenter::scrollSubAccounts(int32_t value) {
  view_.subAccounts.scrollValue = std::clamp(value, 0, view_.subAccounts.scrollMax);
  redrawSubAccounts(false);
}

void MappingPresenter::chooseParent(int32_t choiceIndex) {
  if (subRedrawBusy_) return;
  const int32_t i = std::max(choiceIndex, 0);
  bool chosen = false;
  guarded([&] { chosen = chooseParentAccount(state_, subLists_, i).applied(); });
  if (!chosen) return;
  subTopRow_ = 0;
  subFilterIndex_ = i;
  redrawSubAccounts(true);
}

void MappingPresenter::clickSubCode(int32_t row) {
  if (row < 0 || row >= visibleRows_) return;
  if (row != focusedSubRow_) decideSubAccountCode(focusedSubRow_);
  focusedSubRow_ = row;
  view_.subAccounts.focusedRow = row;
}

void MappingPresenter::changeSubCode(int32_t row, std::string_view text) {
  if (subRedrawBusy_) return;
  SubAccountRowView* r = subAccountRow(row);
  if (r == nullptr || r->codeLocked) return;
  r->code.text = cleanTypedCode(text);
  if (r->code.text.empty()) {
    subCodeChanged_ = true;
    decideSubAccountCode(row);
    return;
  }
  const int32_t subRow = subLists_.entries[r->entryIndex].subAccountRow;
  subCodeChanged_ = r->code.text != state_.workSubAccounts[subRow].newSubCode;
}

void MappingPresenter::leaveSubCode(int32_t row) { decideSubAccountCode(row); }

void MappingPresenter::pressSubCodeKey(int32_t row, bool enter) {
  if (row < 0 || row >= visibleRows_) return;
  if (!enter) {
    subCodeChanged_ = true;
    return;
  }
  SubAccountPanelView& v = view_.subAccounts;
  SubAccountRowView& r = v.rows[static_cast<size_t>(row)];
  subRedrawBusy_ = true;
  r.code.text = toUpperLatin(r.code.text);
  subRedrawBusy_ = false;
  if (subCodeChanged_) decideSubAccountCode(row);
  if (row < visibleRows_ - 1) {
    v.focusedRow = row + 1;
  } else {
    if (v.scrollValue < v.scrollMax) ++v.scrollValue;
    v.focusedRow = row;
  }
  focusedSubRow_ = v.focusedRow;
  ++v.focusSerial;
  updateNext();
  redrawSubAccounts(false);
}

void MappingPresenter::decideSubAccountCode(int32_t row) {
  if (!subCodeChanged_ || subRedrawBusy_) return;
  const SubAccountRowView* r = subAccountRow(row);
  if (r != nullptr && !r->codeLocked) {
    // No duplicate check here: the readiness rule marks clashes.
    const std::string typed = r->code.text;
    guarded([&] { ::ledra::decideSubAccountCode(state_, subLists_, r->entryIndex, typed); });
    mappingChanged();
  }
  // The readiness rule marks the clashes that the redraw colours, so it runs first.
  updateNext();
  redrawSubAccounts(false);
  subCodeChanged_ = false;
}

// ---------------------------------------------------------------- department panel

void MappingPresenter::redrawDepartments() {
  view_.visiblePanel = PanelKind::Departments;
  DepartmentPanelView& v = view_.departments;
  const int32_t top =
      std::clamp(v.scrollValue, 0, panelScrollMax(state_.workDepartments.count(), visibleRows_));
  guarded([&] { drawDepartmentView(state_, top, v); });
}

void MappingPresenter::scrollDepartments(int32_t value) {
  view_.departments.scrollValue = std::clamp(value, 0, view_.departments.scrollMax);
  redrawDepartments();
}

// ---------------------------------------------------------------- reuse

void MappingPresenter::reuseFromOtherState() {
  if (!view_.mainEnabled || redrawBusy_ || subRedrawBusy_) return;
  FileDialogRequest request;
  request.title = "割当を引き継ぐ保存データを選択";
  request.filter = "保存データ(*.dat)|*.dat|すべてのファイル(*.*)|*.*";
  const std::string remembered = platform_.rememberedFolder(RememberedFolder::SavedState);
  if (!remembered.empty() && platform_.folderExists(remembered)) request.initialFolder = remembered;
  request.options.fileMustExist = request.options.pathMustExist = true;
  const std::optional<std::string> path = platform_.openFileDialog(request);
  if (!path || path->empty()) return;

  // Read apart from this state: a file that cannot be read is named and changes nothing.
  ConversionState other;
  other.baseFolder = state_.baseFolder;
  bool read = false;
  guarded([&] { read = restoreWorkStateFromFile(other, platform_, *path); });
  if (!read) return;

  accountCodeChanged_ = subCodeChanged_ = false;  // a code typed and not decided is dropped
  std::optional<ReuseSummary> summary;
  guarded([&] { summary = reuseMappings(state_, platform_, other); });
  // Every sub-account is listed again, with the codes the reuse gave.
  guarded([&] { listAllSubAccounts(state_, subLists_); });
  subFilterIndex_ = 0;
  subTopRow_ = 0;
  view_.subAccounts.scrollValue = 0;
  mappingChanged();
  redrawVisiblePanel();
  if (!summary) return;

  std::vector<std::string> lines = summary->lines();
  // A long list of refusals would outgrow the screen; the first of them tell the pattern.
  constexpr size_t kShownLines = 24;
  if (lines.size() > kShownLines) {
    const size_t more = lines.size() - kShownLines;
    lines.resize(kShownLines);
    lines.push_back("  ほか" + std::to_string(more) + "件");
  }
  std::string text = "「" + *path + "」の割当を引き継ぎました。";
  for (const std::string& line : lines) text += "\r\n" + line;
  platform_.message(text, "割当の引き継ぎ", MsgButtons::Ok, MsgIcon::Information);
}

// ---------------------------------------------------------------- undo and redo

bool MappingPresenter::pendingEdit() const {
  if (accountCodeChanged_) return true;
  if (!subCodeChanged_) return false;  // also set by keys that type nothing
  const auto rows = static_cast<int32_t>(view_.subAccounts.rows.size());
  if (focusedSubRow_ < 0 || focusedSubRow_ >= rows) return false;
  const SubAccountRowView& r = view_.subAccounts.rows[static_cast<size_t>(focusedSubRow_)];
  if (!r.showsSubAccount() || r.entryIndex < 0 || r.entryIndex >= subLists_.entries.count())
    return false;
  const int32_t subRow = subLists_.entries[r.entryIndex].subAccountRow;
  return r.code.text != state_.workSubAccounts[subRow].newSubCode;
}

void MappingPresenter::undo() { stepHistory(/*back=*/true); }
void MappingPresenter::redo() { stepHistory(/*back=*/false); }

void MappingPresenter::stepHistory(bool back) {
  if (!view_.mainEnabled || redrawBusy_ || subRedrawBusy_) return;
  if (pendingEdit()) {
    // The text typed and not decided is the latest change: undo drops it, redo waits for it
    // to be decided.
    if (back) {
      accountCodeChanged_ = subCodeChanged_ = false;
      redrawVisiblePanel();
    }
    return;
  }
  bool moved = false;
  guarded([&] { moved = back ? history_.undo(state_) : history_.redo(state_); });
  if (!moved) return;
  // The sub-account list keeps each code beside the row it lists.
  refreshListedCodes(state_, subLists_);
  readiness_.invalidate();
  usedStale_ = true;
  redrawVisiblePanel();
}

void MappingPresenter::redrawVisiblePanel() {
  switch (view_.visiblePanel) {
    case PanelKind::Accounts:
      redrawAccounts(view_.accounts.scrollValue);
      break;
    case PanelKind::SubAccounts:
      subCodeChanged_ = false;
      updateNext();
      redrawSubAccounts(false);
      break;
    case PanelKind::Departments:
      updateNext();
      redrawDepartments();
      break;
    case PanelKind::None:
      break;
  }
}

// ---------------------------------------------------------------- wheel

void MappingPresenter::wheel(int delta) {
  if (!view_.mainEnabled) return;  // the picker holds the input
  switch (view_.visiblePanel) {
    case PanelKind::Accounts: {
      const AccountPanelView& v = view_.accounts;
      const int32_t value = wheelScroll(v.scrollValue, v.scrollMax, delta);
      if (value != v.scrollValue) scrollAccounts(value);
      break;
    }
    case PanelKind::SubAccounts: {
      const SubAccountPanelView& v = view_.subAccounts;
      const int32_t value = wheelScroll(v.scrollValue, v.scrollMax, delta);
      if (value != v.scrollValue) scrollSubAccounts(value);
      break;
    }
    case PanelKind::Departments: {
      const DepartmentPanelView& v = view_.departments;
      const int32_t value = wheelScroll(v.scrollValue, v.scrollMax, delta);
      if (value != v.scrollValue) scrollDepartments(value);
      break;
    }
    case PanelKind::None:
      break;
  }
}

}  // namespace ledra
