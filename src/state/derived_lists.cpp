#include "state/derived_lists.hpp"

#include <string_view>
#include <unordered_set>

#include "state/conversion_state.hpp"

namespace ledra {

namespace {

std::string choiceText(const ParentAccountChoice& c) {
  if (c.ledraCode.empty() && c.ledraName.empty()) return "勘定科目未設定";
  return c.ledraCode + "：" + c.ledraName;
}

}  // namespace

void rebuildDerivedLists(ConversionState& state) {
  rebuildStandardAccountCandidates(state);
  rebuildSubAccountLists(state);
}

void rebuildStandardAccountCandidates(ConversionState& state) {
  state.standardAccountCandidates.clear();
  for (const StandardAccount& a : state.standardAccounts) {
    if (a.ledraCode.empty() || a.ledraName.empty()) continue;
    state.standardAccountCandidates.append({a.ledraCode, a.ledraName, false});
  }
}

void rebuildSubAccountLists(ConversionState& state) {
  refillParentAccountChoices(state);
  listAllSubAccounts(state);
}

void listAllSubAccounts(ConversionState& state) {
  state.subAccountIndex.clear();
  for (int32_t i = 0; i < state.workSubAccounts.count(); ++i) {
    const WorkSubAccount& s = state.workSubAccounts[i];
    state.subAccountIndex.append({s.newSubCode, s.subAccountName, i});
  }
  state.subAccountParentName = std::string(kAllSubAccountsChoice);
  state.subAccountParentCode = std::string(kAllSubAccountsChoice);
}

std::vector<std::string> refillParentAccountChoices(ConversionState& state) {
  const std::string all(kAllSubAccountsChoice);
  std::vector<std::string> items;
  try {
    state.groupCounter = 1;
    state.parentAccountChoices.clear();
    state.parentAccountChoices.append({all, all, 1});
    items.push_back(all);

    // Views into the sub-account table, which the refill does not change.
    std::unordered_set<std::string_view> parentNames;
    parentNames.reserve(static_cast<size_t>(state.workSubAccounts.count()));
    for (const WorkSubAccount& s : state.workSubAccounts) parentNames.insert(s.col(2));

    for (const WorkAccount& a : state.workAccounts) {
      if (!parentNames.contains(a.sourceName)) continue;
      const ParentAccountChoice& c =
          state.parentAccountChoices.append({a.ledraCode, a.ledraName, a.subAccountGroupNo});
      items.push_back(choiceText(c));
      ++state.groupCounter;
    }
  } catch (const CapacityError&) {
    state.recordError(kLocationParentChoices,
                      {"", 0, "所属勘定科目の選択肢が多すぎます（2001件まで）"});
  }
  return items;
}

std::vector<std::string> parentAccountChoiceTexts(const ConversionState& state) {
  std::vector<std::string> items;
  items.reserve(static_cast<size_t>(state.parentAccountChoices.count()));
  for (int32_t i = 0; i < state.parentAccountChoices.count(); ++i)
    items.push_back(i == 0 ? std::string(kAllSubAccountsChoice)
                           : choiceText(state.parentAccountChoices[i]));
  return items;
}

}  // namespace ledra
