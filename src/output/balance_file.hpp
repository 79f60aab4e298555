#pragma once

#include "state/step_result.hpp"

namespace ledra {

class ConversionReport;
struct ConversionState;
class OutputTarget;
class Platform;

// Writes zandaka.csv: the carried-over account balances, then the sub-account balances of
// valid parents. A written sub-account row without a name gets the code "999", kept in the
// table. On any failure the earlier file stays in place.
StepResult writeBalanceFile(ConversionState& state, Platform& platform, OutputTarget& out);
// The same, telling the report each source account's opening balance as imported and as
// written.
StepResult writeBalanceFile(ConversionState& state, Platform& platform, OutputTarget& out,
                            ConversionReport* report);

}  // namespace ledra
