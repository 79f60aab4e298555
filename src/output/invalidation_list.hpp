#pragma once

#include "state/step_result.hpp"

namespace ledra {

struct ConversionState;
class OutputTarget;
class Platform;

// Writes 無効化一覧.txt to out: one line "code","name" per invalidated account, in table order;
// an empty file when there is none. Fails without a message.
StepResult writeInvalidationList(const ConversionState& state, Platform& platform,
                                 OutputTarget& out);

}  // namespace ledra
