#pragma once

#include <string>

#include "state/step_result.hpp"

namespace ledra {

struct ConversionState;
class Platform;

// The one department of a ブルーリターンＡ company.
inline constexpr const char* kBlueDepartment = "事業所";

// Reads ブルーリターンＡ's account file (kcode.brf) into the five tables the 弥生会計 reports
// fill, in the same column places: an account line (a code of exactly three characters, no
// sub-account code, a name) gives an account and its balance row; a sub-account line (a
// sub-account code and a name) gives a sub-account and its balance row under the nearest
// account above. The first three lines are headings. Classification is left to the caller
// (kinds 4, 0, 1, 2, 3). Fails, naming file, line and reason, when the file cannot be read
// or a line cannot be taken.
StepResult importBlueAccounts(ConversionState& state, Platform& platform, const std::string& path);

}  // namespace ledra
