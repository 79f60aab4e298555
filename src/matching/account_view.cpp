#include "matching/account_view.hpp"

#include <algorithm>

#include "base/numbers.hpp"

namespace ledra {

const AccountView& accountFilterView(const ConversionState& state, AccountFilter filter) {
  switch (filter) {
    case AccountFilter::ProfitAndLoss:
      return state.profitAndLossView;
    case AccountFilter::BalanceSheet:
      return state.balanceSheetView;
    case AccountFilter::All:
      break;
  }
  return state.allView;
}

void buildCurrentView(ConversionState& state, AccountFilter filter) {
  const AccountView& chosen = accountFilterView(state, filter);
  state.currentView.clear();
  for (int32_t entry : chosen) state.currentView.append(entry);
}

int32_t remainingAccounts(const ConversionState& state) {
  const int32_t n = std::min(state.allView.count(), state.workAccounts.count());
  int32_t m = 0;
  for (int32_t i = 0; i < n; ++i)
    if (!state.workAccounts[i].matched) ++m;
  return m;
}

std::string remainingCaption(int32_t remaining, int32_t total) {
  return std::string(kRemainingCaptionPrefix) + std::to_string(remaining) + "/" +
         std::to_string(total);
}

void drawAccountView(const ConversionState& state, int32_t topRow, AccountPanelView& view) {
  const int32_t n = state.currentView.count();
  view.scrollValue = topRow;
  const auto shown = static_cast<int32_t>(view.rows.size());
  for (int32_t r = 0; r < shown; ++r) {
    AccountRowView& row = view.rows[static_cast<size_t>(r)];
    const int32_t k = topRow + r;
    if (k < 0 || k >= n) {
      const uint32_t colour = row.backColour;
      row = AccountRowView{};
      row.backColour = colour;
      continue;
    }
    const int32_t index = state.currentView[k];
    const WorkAccount& a = state.workAccounts[index];
    row.accountIndex = index;
    row.sourceCode.set(a.sourceCode);
    row.sourceName.set(a.sourceName);
    row.invalidEnabled = !a.inUse;
    row.invalidTicked = !a.inUse && !a.valid;
    // Every row that shows an account can be picked for and typed into, including a row
    // that was blank at an earlier redraw.
    row.pickEnabled = true;
    row.codeLocked = false;
    row.ledraCode.set(a.ledraCode);
    row.ledraName.set(a.ledraName);
    row.sourceBalance.set(numberFormat(a.displayBalance));
    row.ledraBalance = row.sourceBalance;
    row.backColour = a.matched ? kColourDone : kColourAttention;
  }
  const int32_t m = remainingAccounts(state);
  view.remainingColour = m > 0 ? kColourRemaining : kColourNoneRemaining;
  view.remainingCaption = remainingCaption(m, state.allView.count());
  view.scrollMax = panelScrollMax(n, shown);
}

std::string subAccountBlockingLine(const ConversionState& state) {
  bool noParent = false, clash = false;
  for (const WorkSubAccount& s : state.workSubAccounts) {
    if (s.codeUnique) continue;
    (s.parentLedraCode.empty() ? noParent : clash) = true;
  }
  if (clash) return std::string(kBlockedBySubCodeClash);
  if (noParent) return std::string(kBlockedBySubParent);
  return {};
}

int32_t findInCurrentView(const ConversionState& state, std::string_view text, int32_t from) {
  const int32_t n = state.currentView.count();
  if (text.empty() || n == 0) return -1;
  from = from < 0 || from >= n ? 0 : from;  // past the end: round to the start
  for (int32_t k = 0; k < n; ++k) {
    const int32_t position = (from + k) % n;
    const WorkAccount& a = state.workAccounts[state.currentView[position]];
    for (const std::string* field : {&a.sourceCode, &a.sourceName, &a.ledraCode, &a.ledraName})
      if (field->find(text) != std::string::npos) return position;
  }
  return -1;
}

}  // namespace ledra
