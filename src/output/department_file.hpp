#pragma once

#include "state/step_result.hpp"

namespace ledra {

struct ConversionState;
class OutputTarget;
class Platform;

// Writes busho.csv: one record per department. With only the business as a whole there is
// nothing to write and no file is made (an old busho.csv stays). On any failure, with
// the earlier file left in place.
StepResult writeDepartmentFile(const ConversionState& state, Platform& platform, OutputTarget& out);

}  // namespace ledra
