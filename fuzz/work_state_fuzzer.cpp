// The work-state file: whatever is accepted saves, restores and saves again to the same bytes.
#include <cstdlib>
#include <string>

#include "fuzz_support.hpp"
#include "platform/cp932.hpp"
#include "state/conversion_state.hpp"
#include "state/work_state_format.hpp"

using namespace ledra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = decodeFileText(fuzz::asText(data, size));
  ConversionData first;
  std::string problem;
  if (!parseWorkState(text, first, &problem)) return 0;
  const std::optional<std::string> saved = workStateBytes(first, &problem);
  if (!saved) return 0;  // a value the file cannot carry, refused by the save
  ConversionData second;
  if (!parseWorkState(decodeFileText(*saved), second, &problem)) std::abort();
  const std::optional<std::string> again = workStateBytes(second, &problem);
  if (!again || *again != *saved) std::abort();
  return 0;
}
