#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ledra {

struct ConversionState;

inline constexpr const char* kLocationParentChoices = "P3:0009";

// The 所属勘定科目 combo's first item, which lists every sub-account.
inline constexpr std::string_view kAllSubAccountsChoice = "全て表示";

// Every list worked out from the saved data, as a restore needs them: the candidates with
// every Taken flag False, the parent choices, and every sub-account under "全て表示".
void rebuildDerivedLists(ConversionState& state);

// StandardAccountCandidates = the standard accounts with both a code and a name, in order.
void rebuildStandardAccountCandidates(ConversionState& state);

// The parent choices, then every sub-account listed under "全て表示".
void rebuildSubAccountLists(ConversionState& state);

// Lists every sub-account in SubAccountIndex under "全て表示", as choosing the combo's first
// item does.
void listAllSubAccounts(ConversionState& state);

// Rebuilds ParentAccountChoices: "全て表示" first, then one entry per account that some
// sub-account names as its parent, in account order. Returns the item texts of the
// 所属勘定科目 combo in the same order. When the table overflows, the tag is recorded and
// the items so far are returned.
std::vector<std::string> refillParentAccountChoices(ConversionState& state);

// The combo's item texts for the current ParentAccountChoices: code + "：" + name, or
// "勘定科目未設定" when both are empty; entry 0 reads "全て表示".
std::vector<std::string> parentAccountChoiceTexts(const ConversionState& state);

}  // namespace ledra
