#pragma once

#include "state/step_result.hpp"

namespace ledra {

struct ConversionState;
class OutputTarget;
class Platform;

// Writes hojokamoku.csv to out: one record per sub-account. On any failure the earlier file
// stays in place.
StepResult writeSubAccountFile(const ConversionState& state, Platform& platform, OutputTarget& out);

}  // namespace ledra
