// Each 弥生会計 report's row pass and classification; the first byte picks the report.
#include "fuzz_support.hpp"
#include "import/report_import.hpp"
#include "state/conversion_state.hpp"

using namespace ledra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const auto kind = static_cast<ReportKind>(data[0] % 5);
  const std::string path = fuzz::inputFile(data + 1, size - 1, "report.txt");
  fuzz::QuietPlatform platform;
  ConversionState state;
  (void)importReport(state, platform, path, kind);
  return 0;
}
