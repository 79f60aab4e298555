#include "platform/archiver.hpp"

namespace ledra {

int runZipCommand(const std::string&) { return -1; }

}  // namespace ledra
