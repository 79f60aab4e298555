#pragma once

#include <string>
#include <vector>

namespace ledra {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Runs one command line (without the program name). Returns the exit status.
int runCommandLine(const std::vector<std::string>& args);

std::string usageText();

}  // namespace ledra
