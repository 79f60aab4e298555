#include "matching/sub_account_view.hpp"

#include "matching/readiness.hpp"
#include "matching/sub_account_lists.hpp"

namespace ledra {

void drawSubAccountView(const SubAccountLists& lists, const Readiness& readiness, int32_t top,
                        SubAccountPanelView& view) {
  const int32_t n = lists.entries.count();
  view.scrollValue = top;
  const auto shown = static_cast<int32_t>(view.rows.size());
  for (int32_t r = 0; r < shown; ++r) {
    SubAccountRowView& row = view.rows[static_cast<size_t>(r)];
    row = SubAccountRowView{};
    const int32_t e = top + r;
    if (e < 0 || e >= n) continue;
    const SubAccountIndexEntry& entry = lists.entries[e];
    row.code.set(entry.newSubCode);
    row.name.set(entry.subAccountName);
    if (entry.subAccountName.empty()) continue;
    row.entryIndex = e;
    row.codeLocked = false;
    row.state =
        readiness.codeUnique(entry.subAccountRow) ? RowState::Done : RowState::NeedsAttention;
  }
  const int32_t choice = view.parentChoiceIndex;
  const bool allListed = choice >= 0 && choice < static_cast<int32_t>(view.parentChoices.size()) &&
                         view.parentChoices[static_cast<size_t>(choice)] == kAllSubAccountsChoice;
  if (allListed)
    for (SubAccountRowView& row : view.rows) row.codeLocked = row.nameLocked = true;
  view.scrollMax = panelScrollMax(n, shown);
}

std::string subAccountParentCaption(const std::string& packageName, const std::string& parentName) {
  return packageName + "表記勘定科目\r\n" + parentName;
}

}  // namespace ledra
