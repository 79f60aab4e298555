#pragma once

#include <string>

#include "import/report_kind.hpp"
#include "state/step_result.hpp"

namespace ledra {

struct ConversionState;
class Platform;

// Reads one 弥生会計 report (account list, trial balance, sub-account list, sub-account
// balances or department list) into its table, links it to what earlier
// reports brought and classifies it. Fails, naming file, line and reason, when the file is
// missing, is another report (its 帳票名 names a different title), or a row or the
// classification fails.
StepResult importReport(ConversionState& state, Platform& platform, const std::string& path,
                        ReportKind kind);

}  // namespace ledra
