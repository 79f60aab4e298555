#pragma once

#include <string>

#include "state/step_result.hpp"

namespace ledra {

struct ConversionState;

// The ブルーリターンＡ basic-information file: byte 208 says whether consumption tax is kept,
// byte 178 whether it is the simplified method ('0' means not). Fails, with the settings
// unchanged, when the file cannot be read or is too short to hold byte 208.
StepResult readBlueSettings(ConversionState& state, const std::string& path);

}  // namespace ledra
