#pragma once

#include <string>
#include <vector>

namespace ledra {

struct ConversionState;

struct StatusReport {
  std::string remaining;           // "マッチング科目残数：m/n"
  std::vector<std::string> lines;  // remaining first, then one line per blocking item
  bool ready = false;
};

// "マッチング科目残数：" + unmatched accounts + "/" + accounts listed.
std::string remainingCountCaption(const ConversionState& state);

// What still blocks the 変換 step: unmatched accounts and clashing sub-account codes.
// Re-evaluates the clash flags of the sub-accounts.
StatusReport buildStatusReport(const ConversionState& state);

}  // namespace ledra
