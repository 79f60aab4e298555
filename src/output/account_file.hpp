#pragma once

#include "state/step_result.hpp"

namespace ledra {

struct ConversionState;
class OutputTarget;
class Platform;

// Writes kanjyo.csv to out: one record per account that is selected and not invalidated. On
// any failure the earlier file stays in place.
StepResult writeAccountFile(const ConversionState& state, Platform& platform, OutputTarget& out);

}  // namespace ledra
