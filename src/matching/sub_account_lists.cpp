#include "matching/sub_account_lists.hpp"

#include <unordered_set>

namespace ledra {

namespace {

std::string choiceText(const ParentAccountChoice& c) {
  if (c.ledraCode.empty() && c.ledraName.empty()) return "勘定科目未設定";
  return c.ledraCode + "：" + c.ledraName;
}

}  // namespace

void rebuildSubAccountLists(ConversionState& state, SubAccountLists& lists) {
  refillParentAccountChoices(state, lists);
  listAllSubAccounts(state, lists);
}

void listAllSubAccounts(const ConversionState& state, SubAccountLists& lists) {
  lists.entries.clear();
  for (int32_t i = 0; i < state.workSubAccounts.count(); ++i) {
    const WorkSubAccount& s = state.workSubAccounts[i];
    lists.entries.append({s.newSubCode, s.subAccountName, i});
  }
  lists.parentName = std::string(kAllSubAccountsChoice);
  lists.parentCode = std::string(kAllSubAccountsChoice);
}

std::vector<std::string> refillParentAccountChoices(ConversionState& state,
                                                    SubAccountLists& lists) {
  const std::string all(kAllSubAccountsChoice);
  std::vector<std::string> items;
  try {
    lists.parentChoices.clear();
    lists.parentChoices.append({all, all, 1});
    items.push_back(all);

    // Views into the sub-account table, which the refill does not change.
    std::unordered_set<std::string_view> parentNames;
    parentNames.reserve(static_cast<size_t>(state.workSubAccounts.count()));
    for (const WorkSubAccount& s : state.workSubAccounts) parentNames.insert(s.parentName());

    for (const WorkAccount& a : state.workAccounts) {
      if (!parentNames.contains(a.sourceName)) continue;
      const ParentAccountChoice& c =
          lists.parentChoices.append({a.ledraCode, a.ledraName, a.subAccountGroupNo});
      items.push_back(choiceText(c));
    }
  } catch (const CapacityError&) {
    // The choices so far stay; the tag says where the list stopped.
    state.lastErrorLocation = kLocationParentChoices;
  }
  return items;
}

std::vector<std::string> parentAccountChoiceTexts(const SubAccountLists& lists) {
  std::vector<std::string> items;
  items.reserve(static_cast<size_t>(lists.parentChoices.count()));
  for (int32_t i = 0; i < lists.parentChoices.count(); ++i)
    items.push_back(i == 0 ? std::string(kAllSubAccountsChoice)
                           : choiceText(lists.parentChoices[i]));
  return items;
}

void refreshListedCodes(const ConversionState& state, SubAccountLists& lists) {
  for (SubAccountIndexEntry& e : lists.entries) {
    if (e.subAccountRow < 0 || e.subAccountRow >= state.workSubAccounts.count()) continue;
    e.newSubCode = state.workSubAccounts[e.subAccountRow].newSubCode;
  }
}

}  // namespace ledra
