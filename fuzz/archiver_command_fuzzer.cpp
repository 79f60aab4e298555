// The archiver's command line and list file. The parser is internal to the archiver, so its
// source is compiled in here; nothing is ever packed.
#include "../src/platform/archiver.cpp"  // NOLINT(bugprone-suspicious-include)
#include "fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = ledra::fuzz::asText(data, size);
  if (auto cmd = ledra::parseCommand(text)) {
    if (cmd->archive.empty() || cmd->baseFolder.empty() || cmd->listFile.empty()) std::abort();
  }
  for (const std::string& name : ledra::listedNames(text)) ledra::safeMemberName(name);
  return 0;
}
