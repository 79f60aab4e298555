#include "output/balance_file.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/numbers.hpp"
#include "output/conversion_report.hpp"
#include "output/output_common.hpp"
#include "platform/platform.hpp"
#include "state/account_links.hpp"
#include "state/conversion_state.hpp"

namespace ledra {

namespace {

constexpr std::string_view kFileName = "zandaka.csv";

// The usual text of a single-precision number: seven significant digits at most, no trailing
// zeros, a decimal point only when needed, and plain digits below 1E+07 (a service import reads
// "100000", not "1e+05").
std::string ratioText(float value) {
  if (value == 0 || !std::isfinite(value)) return "0";  // also keeps "-0" out
  const double v = value;
  char buf[128];
  if (std::fabs(v) >= 1e7) {
    std::snprintf(buf, sizeof buf, "%.7G", v);
    return buf;
  }
  const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(v))));
  std::snprintf(buf, sizeof buf, "%.*f", std::max(0, 6 - magnitude), v);
  std::string text = buf;
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}

// Fields 1 to 10, the same for account and sub-account rows.
template <class Row>
std::vector<std::string> balanceFields(const Row& row, bool withDepartment) {
  std::vector<std::string> fields;
  fields.reserve(16);
  fields.push_back(withDepartment ? fitBytes(row.department(), 32) : std::string());
  fields.push_back(fitBytes(row.col(3), 8));
  fields.push_back(fitBytes(row.col(4), 42));
  fields.push_back(fitBytes(row.col(5), 42));
  fields.push_back(fitBytes(row.col(6), 42));
  fields.push_back(std::to_string(row.amount1));
  fields.push_back(std::to_string(row.amount2));
  fields.push_back(std::to_string(row.amount3));
  fields.push_back(std::to_string(row.amount4));
  fields.push_back(ratioText(row.ratio));
  return fields;
}

std::vector<std::string> accountBalanceRecord(const WorkAccountBalance& row,
                                              const AccountLinks& links, bool withDepartment) {
  std::vector<std::string> fields = balanceFields(row, withDepartment);
  fields.push_back(fitBytes(links.ledraNameOf(row), 42));
  fields.push_back(fitBytes(links.ledraCodeOf(row), 6));
  fields.push_back(row.subAccountGroupCode);
  fields.emplace_back();
  fields.emplace_back();
  fields.push_back(withDepartment ? fitBytes(row.departmentCode, 3) : std::string());
  return fields;
}

std::vector<std::string> subAccountBalanceRecord(const WorkSubAccountBalance& row,
                                                 const AccountLinks& links, bool withDepartment) {
  std::vector<std::string> fields = balanceFields(row, withDepartment);
  fields.push_back(fitBytes(links.parentLedraNameOf(row), 42));
  fields.push_back(fitBytes(links.parentLedraCodeOf(row), 6));
  fields.push_back(row.subAccountGroupCode);
  fields.push_back(fitBytes(row.subAccountName, 42));
  fields.push_back(fitBytes(row.newSubCode, 15));
  fields.push_back(withDepartment ? fitBytes(row.departmentCode, 3) : std::string());
  return fields;
}

}  // namespace

StepResult writeBalanceFile(ConversionState& state, Platform& platform, OutputTarget& out) {
  return writeBalanceFile(state, platform, out, nullptr);
}

StepResult writeBalanceFile(ConversionState& state, Platform& platform, OutputTarget& out,
                            ConversionReport* report) {
  return writeServiceFile(state, platform, out, kFileName, [&](ServiceCsvFile& file) {
    const auto& balances = state.workAccountBalances;
    auto& subBalances = state.workSubAccountBalances;
    const bool withDepartment = state.workDepartments.count() != 1;
    const AccountLinks links(state);
    beginWriterProgress(platform, kFileName,
                        int64_t{balances.count()} + int64_t{subBalances.count()});

    for (int32_t i = 0; i < balances.count(); ++i) {
      const WorkAccountBalance& row = balances[i];
      // Accounts with sub-accounts carry their balances through the sub-account rows.
      const bool written = !row.departmentCode.empty() && !row.accountHasSubAccounts &&
                           row.processed && links.validOf(row);
      if (written) {
        file.record(accountBalanceRecord(row, links, withDepartment));
      }
      // The rows the file is built from: one per department (the row without one is the
      // account's total over them).
      if (report && !row.departmentCode.empty()) {
        if (const std::optional<size_t> a = report->find(row.accountSourceCode)) {
          report->openingImported(*a, row.amount1);
          if (written) report->openingWritten(*a, row.amount1);
        }
      }
      platform.progressSetValue(i);
    }

    if (!subBalances.empty()) {
      // Validity of the service account by name; the last account of a name decides.
      std::unordered_map<std::string_view, bool> validByName;
      validByName.reserve(static_cast<size_t>(state.workAccounts.count()));
      for (const WorkAccount& account : state.workAccounts)
        validByName[account.ledraName] = account.valid;

      // The source account of a sub-account row, by its name; the last account of a name.
      std::unordered_map<std::string_view, size_t> accountBySourceName;
      if (report) {
        for (int32_t i = 0; i < state.workAccounts.count(); ++i)
          accountBySourceName[state.workAccounts[i].sourceName] = static_cast<size_t>(i);
      }
      // A parent name that no account carries keeps the previous row's validity.
      bool parentValid = false;
      for (int32_t i = 0; i < subBalances.count(); ++i) {
        WorkSubAccountBalance& row = subBalances[i];
        if (auto it = validByName.find(links.parentLedraNameOf(row)); it != validByName.end())
          parentValid = it->second;
        if (!row.departmentCode.empty() && parentValid) {
          // The service needs a code for the balance kept without a sub-account.
          if (row.subAccountName.empty()) row.newSubCode = "999";
          file.record(subAccountBalanceRecord(row, links, withDepartment));
          if (report) {
            if (auto it = accountBySourceName.find(row.parentName());
                it != accountBySourceName.end())
              report->openingWritten(it->second, row.amount1);
          }
        }
        platform.progressSetValue(int64_t{i} + balances.count());
      }
    }
  });
}

}  // namespace ledra
