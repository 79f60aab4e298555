#pragma once

#include <string>

namespace ledra {

struct ConversionState;
class Platform;

inline constexpr const char* kLocationSplit = "P3:0002";
inline constexpr const char* kLocationStripQuotes = "P3:0007";
inline constexpr const char* kLocationMaster = "P3:0010";

// Loads the service's chart of accounts into StandardAccounts, rebuilds the candidates and
// takes the user code and name. False on a missing file, a short line or too many accounts;
// the location tag and a detail are then recorded in the state.
bool loadStandardAccountMaster(ConversionState& state, const std::string& path,
                               Platform* progress = nullptr);

}  // namespace ledra
