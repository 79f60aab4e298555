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

void drawAccountView(const ConversionState& state, const AccountView& currentView, int32_t topRow,
                     AccountPanelView& view) {
  const int32_t n = currentView.count();
  view.scrollValue = topRow;
  const auto shown = static_cast<int32_t>(view.rows.size());
  for (int32_t r = 0; r < shown; ++r) {
    AccountRowView& row = view.rows[static_cast<size_t>(r)];
    const int32_t k = topRow + r;
    if (k < 0 || k >= n) {
      row = AccountRowView{};
      continue;
    }
    const int32_t index = currentView[k];
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
    row.state = a.matched ? RowState::Done : RowState::NeedsAttention;
    row.suggestedCode.clear();  // the caller knows the suggestions
    row.suggestedName.clear();
  }
  const int32_t m = remainingAccounts(state);
  view.accountsRemain = m > 0;
  view.remainingCaption = remainingCaption(m, state.allView.count());
  view.scrollMax = panelScrollMax(n, shown);
}

int32_t findInCurrentView(const ConversionState& state, const AccountView& currentView,
                          std::string_view text, int32_t from) {
  const int32_t n = currentView.count();
  if (text.empty() || n == 0) return -1;
  from = from < 0 || from >= n ? 0 : from;  // past the end: round to the start
  for (int32_t k = 0; k < n; ++k) {
    const int32_t position = (from + k) % n;
    const WorkAccount& a = state.workAccounts[currentView[position]];
    for (const std::string* field : {&a.sourceCode, &a.sourceName, &a.ledraCode, &a.ledraName})
      if (field->find(text) != std::string::npos) return position;
  }
  return -1;
}

}  // namespace ledra
