#include "matching/picker.hpp"

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "base/text.hpp"
#include "matching/mapping_operations.hpp"
#include "matching/suggestions.hpp"
#include "matching/wheel_scroll.hpp"
#include "state/conversion_state.hpp"

namespace ledra {

PickerPresenter::PickerPresenter(ConversionState& state, Platform& platform, int32_t accountIndex,
                                 std::string sourceName)
    : state_(state),
      platform_(platform),
      accountIndex_(accountIndex),
      sourceName_(std::move(sourceName)) {}

void PickerPresenter::load() {
  view_.scrollValue = 0;
  if (view_.autoCollect && suggestions_ != nullptr)
    listCandidates(pickerListWithSuggestions(state_, *suggestions_, sourceName_));
  else if (view_.autoCollect)
    list(firstChar(sourceName_), false);
  else
    list({}, true);
}

void PickerPresenter::setAutoCollect(bool ticked) {
  view_.autoCollect = ticked;
  load();
}

void PickerPresenter::setSearchText(std::string text) { view_.searchText = std::move(text); }

void PickerPresenter::search() { list(view_.searchText, false); }

void PickerPresenter::list(std::string_view needle, bool everything) {
  // Taken is worked out afresh from the accounts' codes at every listing.
  std::unordered_set<std::string_view> used;
  used.reserve(static_cast<size_t>(state_.workAccounts.count()));
  for (const WorkAccount& a : state_.workAccounts) used.insert(a.ledraCode);

  entries_.clear();
  for (const StandardAccountCandidate& c : state_.standardAccountCandidates) {
    // An empty text is contained in every name.
    if (!everything && c.ledraName.find(needle) == std::string::npos) continue;
    entries_.push_back({c.ledraCode, c.ledraName, used.contains(c.ledraCode)});
  }
  view_.scrollMax = panelScrollMax(static_cast<int32_t>(entries_.size()));
  // A shorter list pulls the scroll bar back within its range, as the control does.
  view_.scrollValue = std::clamp(view_.scrollValue, 0, view_.scrollMax);
  draw();
}

void PickerPresenter::listCandidates(const std::vector<int32_t>& candidates) {
  std::unordered_set<std::string_view> used;
  used.reserve(static_cast<size_t>(state_.workAccounts.count()));
  for (const WorkAccount& a : state_.workAccounts) used.insert(a.ledraCode);
  entries_.clear();
  for (int32_t i : candidates) {
    const StandardAccountCandidate& c = state_.standardAccountCandidates[i];
    entries_.push_back({c.ledraCode, c.ledraName, used.contains(c.ledraCode)});
  }
  view_.scrollMax = panelScrollMax(static_cast<int32_t>(entries_.size()));
  view_.scrollValue = std::clamp(view_.scrollValue, 0, view_.scrollMax);
  draw();
}

void PickerPresenter::draw() {
  const int32_t n = static_cast<int32_t>(entries_.size());
  for (int32_t i = 0; i < kPanelRows; ++i) {
    PickerRowView& row = view_.rows[static_cast<size_t>(i)];
    row = PickerRowView{};
    const int32_t k = view_.scrollValue + i;
    if (k >= n) continue;
    const PickerEntry& e = entries_[static_cast<size_t>(k)];
    if (e.ledraCode.empty()) continue;
    row.code = e.ledraCode;
    row.name = e.ledraName;
    row.enabled = !e.taken;
  }
}

void PickerPresenter::scrollTo(int32_t value) {
  view_.scrollValue = std::clamp(value, 0, view_.scrollMax);
  draw();
}

void PickerPresenter::wheel(int delta) {
  scrollTo(wheelScroll(view_.scrollValue, view_.scrollMax, delta));
}

void PickerPresenter::select(int32_t row) {
  if (row < 0 || row >= kPanelRows || !view_.rows[static_cast<size_t>(row)].enabled) return;
  view_.selectedRow = row;
}

void PickerPresenter::moveSelection(RowKey key) {
  const int32_t n = static_cast<int32_t>(entries_.size());
  const bool forward = key == RowKey::Down || key == RowKey::PageDown || key == RowKey::Last;
  auto free = [&](int32_t k) { return k >= 0 && k < n && !entries_[static_cast<size_t>(k)].taken; };
  // From `start` in the direction of the key, else back the other way: the nearest account
  // that can be chosen.
  auto nearest = [&](int32_t start, bool down) {
    for (int32_t k = start; k >= 0 && k < n; k += down ? 1 : -1)
      if (free(k)) return k;
    return -1;
  };
  const int32_t current = rowChosen(view_.selectedRow) ? view_.scrollValue + view_.selectedRow : -1;
  int32_t start = 0;
  switch (key) {
    case RowKey::Down:
      start = current < 0 ? view_.scrollValue : current + 1;
      break;
    case RowKey::Up:
      start = current < 0 ? view_.scrollValue + kPanelRows - 1 : current - 1;
      break;
    case RowKey::PageDown:
      start = (current < 0 ? view_.scrollValue : current) + kPanelRows;
      break;
    case RowKey::PageUp:
      start = (current < 0 ? view_.scrollValue : current) - kPanelRows;
      break;
    case RowKey::First:
      start = 0;
      break;
    case RowKey::Last:
      start = n - 1;
      break;
  }
  start = std::clamp(start, 0, std::max(n - 1, 0));
  int32_t target = nearest(start, forward);
  if (target < 0 && key != RowKey::Down && key != RowKey::Up) target = nearest(start, !forward);
  if (target < 0) {
    // Nothing further to choose: the list moves as the wheel would move it.
    const RowPosition at{view_.scrollValue, forward ? kPanelRows - 1 : 0};
    scrollTo(moveRow(at, view_.scrollMax, kPanelRows, n, key).top);
    return;
  }
  // Ctrl+Home and Ctrl+End go to the ends of the list, the other keys scroll only as far as
  // the choice needs.
  int32_t top = key == RowKey::First  ? 0
                : key == RowKey::Last ? view_.scrollMax
                                      : view_.scrollValue;
  if (target < top) top = target;
  if (target > top + kPanelRows - 1) top = target - (kPanelRows - 1);
  scrollTo(top);
  view_.selectedRow = target - view_.scrollValue;
}

bool PickerPresenter::rowChosen(int32_t row) const {
  return row >= 0 && view_.scrollValue + row < static_cast<int32_t>(entries_.size());
}

bool PickerPresenter::confirm() {
  // Nothing chosen, or the chosen row scrolled onto the blank rows past the end: nothing to
  // check and nothing to assign.
  if (!rowChosen(view_.selectedRow)) return false;
  const PickerEntry chosen = entries_[static_cast<size_t>(view_.scrollValue + view_.selectedRow)];
  if (refuseUsedCode(state_, platform_, chosen.ledraCode)) return false;
  return assignStandardAccount(state_, accountIndex_, chosen.ledraCode, chosen.ledraName).applied();
}

}  // namespace ledra
