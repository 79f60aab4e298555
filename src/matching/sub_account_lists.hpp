#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "state/conversion_state.hpp"

namespace ledra {

inline constexpr const char* kLocationParentChoices = "P3:0009";

// The 所属勘定科目 combo's first item, which lists every sub-account.
inline constexpr std::string_view kAllSubAccountsChoice = "全て表示";

// A sub-account the panel lists: its code as last decided, its name and its WorkSubAccounts row.
struct SubAccountIndexEntry {
  std::string newSubCode;
  std::string subAccountName;
  int32_t subAccountRow = 0;
  bool operator==(const SubAccountIndexEntry&) const = default;
};

// An item of the 所属勘定科目 combo: a parent account's mapping and its sub-account group.
struct ParentAccountChoice {
  std::string ledraCode;
  std::string ledraName;
  int32_t groupNo = 0;
  bool operator==(const ParentAccountChoice&) const = default;
};

// What the sub-account panel lists, worked out from the tables and never saved: the combo's
// parents, and the sub-accounts of the chosen one.
struct SubAccountLists {
  Table<SubAccountIndexEntry, kBalanceCapacity> entries;
  Table<ParentAccountChoice, kAccountCapacity> parentChoices;
  // The parent account whose sub-accounts the entries list ("全て表示" for all).
  std::string parentName;
  std::string parentCode;
};

// The lists as the screen starts with them: the parent choices, then every sub-account listed
// under "全て表示".
void rebuildSubAccountLists(ConversionState& state, SubAccountLists& lists);

// Lists every sub-account under "全て表示", as choosing the combo's first item does.
void listAllSubAccounts(const ConversionState& state, SubAccountLists& lists);

// Rebuilds the parent choices: "全て表示" first, then one entry per account that some
// sub-account names as its parent, in account order. Returns the item texts of the
// 所属勘定科目 combo in the same order. When the table overflows, the tag is recorded and
// the items so far are returned.
std::vector<std::string> refillParentAccountChoices(ConversionState& state, SubAccountLists& lists);

// The combo's item texts for the current parent choices: code + "：" + name, or
// "勘定科目未設定" when both are empty; entry 0 reads "全て表示".
std::vector<std::string> parentAccountChoiceTexts(const SubAccountLists& lists);

// Each listed entry takes its sub-account's code again (after the table changed under it).
void refreshListedCodes(const ConversionState& state, SubAccountLists& lists);

}  // namespace ledra
