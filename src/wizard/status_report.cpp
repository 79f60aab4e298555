#include "wizard/status_report.hpp"

#include "state/account_links.hpp"
#include "state/conversion_state.hpp"
#include "wizard/step_flow.hpp"

namespace ledra {

std::string remainingCountCaption(const ConversionState& state) {
  const int32_t n = state.allView.count();
  int32_t m = 0;
  for (int32_t i = 0; i < n && i < state.workAccounts.count(); ++i)
    if (!state.workAccounts[i].matched) ++m;
  return "マッチング科目残数：" + std::to_string(m) + "/" + std::to_string(n);
}

StatusReport buildStatusReport(const ConversionState& state) {
  StatusReport r;
  r.ready = mappingComplete(state);
  r.remaining = remainingCountCaption(state);
  r.lines.push_back(r.remaining);
  for (const auto& a : state.workAccounts)
    if (!a.matched) r.lines.push_back("勘定科目未設定：" + a.sourceCode + " " + a.sourceName);
  const std::vector<bool> unique = subAccountCodesUnique(state);
  const AccountLinks links(state);
  for (int32_t i = 0; i < state.workSubAccounts.count(); ++i) {
    if (unique[static_cast<size_t>(i)]) continue;
    const WorkSubAccount& s = state.workSubAccounts[i];
    if (links.parentLedraCodeOf(s).empty())
      r.lines.push_back("補助科目の所属勘定科目未設定：" + s.parentName() + "/" + s.subAccountName);
    else
      r.lines.push_back("補助科目コード重複：" + s.parentName() + "/" + s.subAccountName + " (" +
                        s.newSubCode + ")");
  }
  return r;
}

}  // namespace ledra
