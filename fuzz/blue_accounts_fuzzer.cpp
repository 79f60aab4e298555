// ブルーリターンＡ's account file (kcode.brf) and the classification of what it gave.
#include "fuzz_support.hpp"
#include "import/account_master.hpp"
#include "import/blue_return_accounts.hpp"
#include "import/classification.hpp"
#include "state/conversion_state.hpp"

using namespace ledra;

namespace {

const ConversionState& withMaster() {
  static const ConversionState state = [] {
    ConversionState s;
    loadStandardAccountMaster(s, std::string(LEDRA_SOURCE_DIR) + "/examples/ledra_master.csv",
                              nullptr);
    s.sourcePackage = SourcePackage::BlueReturn;
    return s;
  }();
  return state;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ConversionState state = withMaster();
  const std::string path = fuzz::inputFile(data, size, "kcode.brf");
  fuzz::QuietPlatform platform;
  if (!importBlueAccounts(state, platform, path)) return 0;
  for (ReportKind kind :
       {ReportKind::DepartmentList, ReportKind::AccountList, ReportKind::TrialBalance,
        ReportKind::SubAccountList, ReportKind::SubAccountBalances})
    if (!classifyImport(state, platform, kind)) break;
  return 0;
}
