// The service's account master.
#include "fuzz_support.hpp"
#include "import/account_master.hpp"
#include "state/conversion_state.hpp"

using namespace ledra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::inputFile(data, size, "master.csv");
  ConversionState state;
  (void)loadStandardAccountMaster(state, path, nullptr);
  return 0;
}
