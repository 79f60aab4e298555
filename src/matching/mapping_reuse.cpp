#include "matching/mapping_reuse.hpp"

#include <unordered_map>
#include <unordered_set>

#include "base/text.hpp"
#include "matching/mapping_operations.hpp"
#include "state/conversion_state.hpp"

namespace ledra {
namespace {

std::string subKey(std::string_view parentName, std::string_view subName) {
  return removeBlanks(parentName) + '\x1f' + removeBlanks(subName);
}

std::string groupCodeKey(int32_t group, std::string_view code) {
  return std::to_string(group) + '\x1f' + std::string(code);
}

void reuseAccounts(ConversionState& state, Platform& platform, const ConversionState& other,
                   ReuseSummary& summary) {
  std::unordered_map<std::string, int32_t> otherByName;
  for (int32_t i = 0; i < other.workAccounts.count(); ++i)
    otherByName.try_emplace(removeBlanks(other.workAccounts[i].sourceName), i);
  std::unordered_map<std::string_view, int32_t> candidates;
  for (int32_t i = 0; i < state.standardAccountCandidates.count(); ++i)
    candidates.try_emplace(state.standardAccountCandidates[i].ledraCode, i);
  std::unordered_set<std::string> used;
  for (const WorkAccount& a : state.workAccounts)
    if (!a.ledraCode.empty()) used.insert(a.ledraCode);

  for (int32_t i = 0; i < state.workAccounts.count(); ++i) {
    const WorkAccount& here = state.workAccounts[i];
    if (!here.valid || !here.ledraCode.empty()) continue;
    auto found = otherByName.find(removeBlanks(here.sourceName));
    if (found == otherByName.end()) continue;
    const WorkAccount& there = other.workAccounts[found->second];
    const std::string label = "勘定科目 " + here.sourceCode + " " + here.sourceName + ": ";
    if (!there.valid) {
      if (here.inUse) {
        summary.refused.push_back(label + std::string(kMsgAccountInUse));
        continue;
      }
      if (setAccountValid(state, platform, i, false).applied()) ++summary.invalidations;
      continue;
    }
    const std::string code = toUpperLatin(removeBlanks(there.ledraCode));
    if (code.empty()) continue;
    auto candidate = candidates.find(code);
    if (candidate == candidates.end()) {
      summary.refused.push_back(label + "コード(" + code + ")はこのデータの候補にありません。");
      continue;
    }
    if (used.contains(code)) {
      summary.refused.push_back(label + "コード(" + code + ")は既に使用済みです。");
      continue;
    }
    const std::string name = state.standardAccountCandidates[candidate->second].ledraName;
    if (assignStandardAccount(state, i, code, name).applied()) {
      used.insert(code);
      ++summary.accounts;
    }
  }
}

void reuseSubAccounts(ConversionState& state, const ConversionState& other, ReuseSummary& summary) {
  std::unordered_map<std::string, int32_t> otherByName;
  for (int32_t i = 0; i < other.workSubAccounts.count(); ++i) {
    const WorkSubAccount& s = other.workSubAccounts[i];
    // Only a code someone chose there is a decision; the import's own code is not.
    if (s.newSubCode.empty() || s.newSubCode == s.listedCode()) continue;
    otherByName.try_emplace(subKey(s.parentName(), s.subAccountName), i);
  }
  std::unordered_map<std::string, int32_t> codesInGroup;
  for (const WorkSubAccount& s : state.workSubAccounts)
    if (s.subAccountGroupNo != 0) ++codesInGroup[groupCodeKey(s.subAccountGroupNo, s.newSubCode)];

  for (int32_t row = 0; row < state.workSubAccounts.count(); ++row) {
    const WorkSubAccount& here = state.workSubAccounts[row];
    // A sub-account under no account of this state cannot be given a code on the screen.
    if (here.subAccountGroupNo == 0) continue;
    if (!here.newSubCode.empty() && here.newSubCode != here.listedCode()) continue;
    auto found = otherByName.find(subKey(here.parentName(), here.subAccountName));
    if (found == otherByName.end()) continue;
    const std::string code =
        toUpperLatin(removeBlanks(other.workSubAccounts[found->second].newSubCode));
    if (code.empty() || code == here.newSubCode) continue;
    const std::string key = groupCodeKey(here.subAccountGroupNo, code);
    if (codesInGroup[key] > 0) {
      summary.refused.push_back("補助科目 " + here.parentName() + "/" + here.subAccountName +
                                ": コード(" + code + ")は既に使用済みです。");
      continue;
    }
    const std::string before = groupCodeKey(here.subAccountGroupNo, here.newSubCode);
    if (enterSubAccountRowCode(state, row, code).applied()) {
      --codesInGroup[before];
      ++codesInGroup[groupCodeKey(here.subAccountGroupNo, state.workSubAccounts[row].newSubCode)];
      ++summary.subAccounts;
    }
  }
}

}  // namespace

std::vector<std::string> ReuseSummary::lines() const {
  std::vector<std::string> out;
  out.push_back("勘定科目コードを割り当てました: " + std::to_string(accounts) + "件");
  out.push_back("補助科目コードを割り当てました: " + std::to_string(subAccounts) + "件");
  out.push_back("勘定科目を無効にしました: " + std::to_string(invalidations) + "件");
  if (!refused.empty()) {
    out.push_back("割り当てられなかったもの: " + std::to_string(refused.size()) + "件");
    for (const std::string& line : refused) out.push_back("  " + line);
  }
  return out;
}

ReuseSummary reuseMappings(ConversionState& state, Platform& platform,
                           const ConversionState& other) {
  ReuseSummary summary;
  const MappingBatch batch(state);
  reuseAccounts(state, platform, other, summary);
  reuseSubAccounts(state, other, summary);
  return summary;
}

}  // namespace ledra
