#include "output/account_file.hpp"

#include <string>
#include <string_view>
#include <vector>

#include "output/output_common.hpp"
#include "platform/platform.hpp"
#include "state/conversion_state.hpp"

namespace ledra {

namespace {

constexpr std::string_view kFileName = "kanjyo.csv";

// Byte widths of source columns 2 to 18, in file order.
constexpr int kColumnWidths[] = {42, 42, 42, 42, 42, 42, 80, 80, 80, 62, 20, 8, 12, 40, 4, 42, 4};

std::vector<std::string> accountRecord(const WorkAccount& account) {
  std::vector<std::string> fields;
  fields.reserve(19);
  int column = 2;
  for (int width : kColumnWidths) fields.push_back(fitBytes(account.col(column++), width));
  fields.push_back(fitBytes(account.ledraName, 42));
  fields.push_back(fitBytes(account.ledraCode, 6));
  return fields;
}

}  // namespace

StepResult writeAccountFile(const ConversionState& state, Platform& platform, OutputTarget& out) {
  return writeServiceFile(state, platform, out, kFileName, [&](ServiceCsvFile& file) {
    const auto& accounts = state.workAccounts;
    beginWriterProgress(platform, kFileName, accounts.count());
    for (int32_t i = 0; i < accounts.count(); ++i) {
      const WorkAccount& account = accounts[i];
      if (account.selected && account.valid) file.record(accountRecord(account));
      platform.progressSetValue(i);
    }
  });
}

}  // namespace ledra
