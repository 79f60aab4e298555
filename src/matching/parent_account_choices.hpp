#pragma once

#include <string>
#include <vector>

namespace ledra {

struct ConversionState;

inline constexpr const char* kLocationParentChoices = "P3:0009";

inline constexpr const char* kAllParentsChoice = "全て表示";

// Rebuilds ParentAccountChoices: "全て表示" first, then one entry per account that some
// sub-account names as its parent, in account order. Returns the item texts of the
// 所属勘定科目 combo in the same order. When the table overflows, the tag is recorded and
// the items so far are returned.
std::vector<std::string> refillParentAccountChoices(ConversionState& state);

// The combo's item texts for the current ParentAccountChoices: code + "：" + name, or
// "勘定科目未設定" when both are empty; entry 0 reads "全て表示".
std::vector<std::string> parentAccountChoiceTexts(const ConversionState& state);

}  // namespace ledra
