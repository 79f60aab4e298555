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
  for (int32_t r = 0; r < kPanelRows; ++r) {
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
  view.scrollMax = panelScrollMax(n);
}

}  // namespace ledra
