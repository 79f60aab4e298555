#pragma once

#include <string>

namespace ledra {

// Runs the archiver on its command line ("-r  -9 \"name.zip\" \"base\" @list").
// Returns 0 on success, a non-zero error code otherwise.
int runZipCommand(const std::string& commandLine);

}  // namespace ledra
