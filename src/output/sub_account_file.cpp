#include "output/sub_account_file.hpp"

#include <string>
#include <string_view>
#include <vector>

#include "output/output_common.hpp"
#include "platform/platform.hpp"
#include "state/account_links.hpp"
#include "state/conversion_state.hpp"

namespace ledra {

namespace {

constexpr std::string_view kFileName = "hojokamoku.csv";

// Byte widths of source columns 2 to 11, in file order.
constexpr int kColumnWidths[] = {42, 42, 80, 80, 80, 20, 8, 12, 40, 4};

std::vector<std::string> subAccountRecord(const WorkSubAccount& sub, const AccountLinks& links) {
  std::vector<std::string> fields;
  fields.reserve(15);
  int column = 2;
  for (int width : kColumnWidths) fields.push_back(fitBytes(sub.col(column++), width));
  fields.push_back(fitBytes(links.parentLedraNameOf(sub), 42));
  fields.push_back(fitBytes(links.parentLedraCodeOf(sub), 6));
  fields.push_back(sub.subAccountGroupCode);
  fields.push_back(fitBytes(sub.subAccountName, 42));
  fields.push_back(fitBytes(sub.newSubCode, 15));
  return fields;
}

}  // namespace

StepResult writeSubAccountFile(const ConversionState& state, Platform& platform,
                               OutputTarget& out) {
  return writeServiceFile(state, platform, out, kFileName, [&](ServiceCsvFile& file) {
    const auto& subs = state.workSubAccounts;
    // An empty file leaves the dialog as the previous writer left it.
    if (!subs.empty()) beginWriterProgress(platform, kFileName, subs.count());
    const AccountLinks links(state);
    for (int32_t i = 0; i < subs.count(); ++i) {
      file.record(subAccountRecord(subs[i], links));
      platform.progressSetValue(i);
    }
  });
}

}  // namespace ledra
