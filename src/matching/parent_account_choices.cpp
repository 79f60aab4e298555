#include "matching/parent_account_choices.hpp"

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

std::vector<std::string> refillParentAccountChoices(ConversionState& state) {
  std::vector<std::string> items;
  try {
    state.groupCounter = 1;
    state.parentAccountChoices.clear();
    state.parentAccountChoices.append({kAllParentsChoice, kAllParentsChoice, 1});
    items.emplace_back(kAllParentsChoice);

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
    items.push_back(i == 0 ? std::string(kAllParentsChoice)
                           : choiceText(state.parentAccountChoices[i]));
  return items;
}

}  // namespace ledra
