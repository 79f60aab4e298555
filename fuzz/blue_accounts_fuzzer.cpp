// ブルーリターンＡ's account file (kcode.brf) and the classification of what it gave.
#include "fuzz_support.hpp"
#include "import/blue_return_accounts.hpp"

using namespace ledra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const ConversionState withMaster = fuzz::withExampleMaster(SourcePackage::BlueReturn);
  ConversionState state = withMaster;
  const std::string path = fuzz::inputFile(data, size, "kcode.brf");
  fuzz::QuietPlatform platform;
  if (importBlueAccounts(state, platform, path)) fuzz::classifyAll(state, platform);
  return 0;
}
