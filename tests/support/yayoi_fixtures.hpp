#pragma once

#include <array>
#include <string>
#include <vector>

#include "import/report_kind.hpp"

namespace ledra {
struct ConversionState;
class Platform;
}  // namespace ledra

// Small 弥生会計 report files for tests: header block, title row and data rows, written as
// CP932 with CR LF. Rows are given as UTF-8 fields from column 1 (the row marker) on.
//
//   YayoiCompany c = sampleYayoiCompany();
//   c.accounts.push_back(accountRow({"[損益計算書]", "雑収入"}, "800"));
//   auto paths = c.writeTo(dir.path());
//   importYayoiCompany(state, platform, paths);   // kinds 4, 0, 1, 2, 3
namespace ledra::testing {

using ReportRow = std::vector<std::string>;

// The five reports, numbered as the importer's kind.
enum class YayoiReport {
  AccountList = 0,         // 勘定科目一覧表
  AccountBalances = 1,     // 科目残高試算表
  SubAccountList = 2,      // 補助科目一覧表
  SubAccountBalances = 3,  // 補助残高一覧表
  DepartmentList = 4,      // 部門一覧表
};

ReportKind yayoiKind(YayoiReport report);
std::string yayoiFileName(YayoiReport report);  // "勘定科目一覧表.txt", ...
std::string yayoiTitle(YayoiReport report);     // 帳票名 of the header block

inline const std::string kDetail = "[明細行]";
inline const std::string kTotal = "[合計行]";

// Row builders: the columns the converter reads are filled, the others left empty.
// Account list (18 columns): headings and name in columns 2-7 (at most six), code in 10.
ReportRow accountRow(const std::vector<std::string>& headingsAndName, const std::string& code);
// Trial balance (10 columns): 2 department, 4 section ("[貸借対照表]", ...), 5 account,
// 6-9 amounts, 10 ratio.
ReportRow balanceRow(const std::string& department, const std::string& section,
                     const std::string& account, const std::string& opening,
                     const std::string& marker = kDetail);
// Sub-account list (11 columns): 2 parent account, 3 sub-account name, 6 code.
ReportRow subAccountRow(const std::string& parent, const std::string& name,
                        const std::string& code);
// Sub-account balances (11 columns): 2 department, 5 account, 6 sub-account, 7-10 amounts,
// 11 ratio.
ReportRow subBalanceRow(const std::string& department, const std::string& account,
                        const std::string& subAccount, const std::string& opening);
// Department list (12 columns): 2 company, 3-7 levels (at most five), 8 display name (the
// deepest level, or the company when there is none).
ReportRow departmentRow(const std::string& company, const std::vector<std::string>& levels);

// One line of a report: text fields in double quotes, numbers and empty fields bare.
std::string reportLine(const ReportRow& row);
// The whole file as lines: header block, "[表題行]" row, then the rows.
std::vector<std::string> yayoiReportLines(YayoiReport report, const std::vector<ReportRow>& rows,
                                          const std::string& company = "テスト商事");
void writeYayoiReport(const std::string& path, YayoiReport report,
                      const std::vector<ReportRow>& rows,
                      const std::string& company = "テスト商事");

// The five reports of one company.
struct YayoiCompany {
  std::string name = "テスト商事";
  std::vector<ReportRow> accounts;
  std::vector<ReportRow> balances;
  std::vector<ReportRow> subAccounts;
  std::vector<ReportRow> subBalances;
  std::vector<ReportRow> departments;

  // Writes every report (an empty table gives a header-only file) into folder under its
  // offered name; returns the paths indexed by kind.
  std::array<std::string, 5> writeTo(const std::string& folder) const;
};

// One department (the company itself), accounts 現金 100, 普通預金 131 (sub-accounts
// 東西銀行 001 and 南北銀行 002), 売上高 500, 仕入高 600, with opening balances on the
// balance sheet accounts.
YayoiCompany sampleYayoiCompany();

// Imports the reports in the run's order (4, 0, 1, 2, 3); stops at the first failure.
bool importYayoiCompany(ConversionState& state, Platform& platform,
                        const std::array<std::string, 5>& paths);

}  // namespace ledra::testing
