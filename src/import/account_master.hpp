#pragma once

#include <string>

#include "state/step_result.hpp"

namespace ledra {

struct ConversionState;
class Platform;

// Loads the service's chart of accounts into StandardAccounts, rebuilds the candidates and
// takes the user code and name. Fails, naming file, line and reason, on a missing file, a
// short line, too many accounts or a user code no file name can carry.
StepResult loadStandardAccountMaster(ConversionState& state, const std::string& path,
                                     Platform* progress = nullptr);

}  // namespace ledra
