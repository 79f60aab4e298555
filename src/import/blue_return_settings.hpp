#pragma once

#include <string>

namespace ledra {

struct ConversionState;

inline constexpr const char* kLocationBlueSettings = "P3:0004";

// The ブルーリターンＡ basic-information file: byte 208 says whether consumption tax is kept,
// byte 178 whether it is the simplified method ('0' means not). False, with a detail recorded
// and the settings unchanged, when the file cannot be read or is too short to hold byte 208.
bool readBlueSettings(ConversionState& state, const std::string& path);

}  // namespace ledra
