#pragma once

#include <string>

namespace ledra {

// The system's reason for an errno, in Japanese for the errors a user meets (missing file,
// permission, full disk, ...), followed by the system's own text so nothing is hidden.
std::string systemReason(int err);

}  // namespace ledra
