#pragma once

#include <cstdio>
#include <string>

namespace ledra {

class Platform;

// `report`: prints the 変換レポート.txt that the last conversion wrote into the state's output
// folder (outputFolder, when not empty, stands for it), in UTF-8 with LF line ends, without
// converting again. Says so and fails when there is none.
int runReportCommand(const std::string& statePath, const std::string& outputFolder,
                     Platform& platform, std::FILE* out = stdout);

}  // namespace ledra
