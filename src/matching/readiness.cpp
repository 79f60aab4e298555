#include "matching/readiness.hpp"

#include <string_view>
#include <unordered_map>

#include "matching/account_view.hpp"
#include "state/account_links.hpp"
#include "state/conversion_state.hpp"

namespace ledra {
namespace {

std::vector<bool> codesUnique(const ConversionData& data, const AccountLinks& links) {
  const auto& subs = data.workSubAccounts;
  const int32_t n = subs.count();
  std::vector<bool> unique(static_cast<size_t>(n), true);
  // Rows are compared only within runs of consecutive rows under the same parent code: every
  // row that shares its code with another row of its run clashes. An empty parent code marks
  // a row, except the last row of the table, which is only ever the later row of a pair.
  std::unordered_map<std::string_view, int32_t> counts;  // reused: runs are short and many
  int32_t runStart = 0;
  while (runStart < n) {
    const std::string& parent = links.parentLedraCodeOf(subs[runStart]);
    int32_t runEnd = runStart + 1;
    while (runEnd < n && links.parentLedraCodeOf(subs[runEnd]) == parent) ++runEnd;
    if (parent.empty()) {
      for (int32_t i = runStart; i < runEnd; ++i)
        if (i < n - 1) unique[static_cast<size_t>(i)] = false;
    } else if (runEnd - runStart > 1) {
      counts.clear();
      for (int32_t i = runStart; i < runEnd; ++i) ++counts[subs[i].newSubCode];
      for (int32_t i = runStart; i < runEnd; ++i)
        if (counts[subs[i].newSubCode] > 1) unique[static_cast<size_t>(i)] = false;
    }
    runStart = runEnd;
  }
  return unique;
}

}  // namespace

std::vector<bool> subAccountCodesUnique(const ConversionData& data) {
  return codesUnique(data, AccountLinks(data));
}

namespace {

bool everyAccountMatched(const ConversionData& data) {
  for (const auto& a : data.workAccounts)
    if (!a.matched) return false;
  return true;
}

}  // namespace

bool mappingComplete(const ConversionData& data) {
  if (!everyAccountMatched(data)) return false;
  for (bool unique : subAccountCodesUnique(data))
    if (!unique) return false;
  return true;
}

bool Readiness::refresh(const ConversionData& data) {
  if (!stale_) return false;
  const AccountLinks links(data);
  unique_ = codesUnique(data, links);
  bool noParent = false, clash = false;
  for (int32_t i = 0; i < data.workSubAccounts.count(); ++i) {
    if (unique_[static_cast<size_t>(i)]) continue;
    (links.parentLedraCodeOf(data.workSubAccounts[i]).empty() ? noParent : clash) = true;
  }
  complete_ = !noParent && !clash && everyAccountMatched(data);
  blockingLine_ = clash      ? std::string(kBlockedBySubCodeClash)
                  : noParent ? std::string(kBlockedBySubParent)
                             : std::string();
  stale_ = false;
  return true;
}

}  // namespace ledra
