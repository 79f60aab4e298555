#include "support/yayoi_fixtures.hpp"

#include "import/report_import.hpp"
#include "support/fixtures.hpp"

namespace ledra::testing {

namespace {

int index(YayoiReport report) { return static_cast<int>(report); }

constexpr int kTitleColumns[] = {18, 9, 11, 11, 12};

bool looksNumeric(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (!(c == '-' || c == '.' || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

ReportRow sized(int n) {
  ReportRow row(static_cast<size_t>(n));
  row[0] = kDetail;
  return row;
}

}  // namespace

ReportKind yayoiKind(YayoiReport report) { return static_cast<ReportKind>(index(report)); }

std::string yayoiFileName(YayoiReport report) {
  static const char* const kNames[] = {"勘定科目一覧表.txt", "科目残高試算表.txt",
                                       "補助科目一覧表.txt", "補助残高一覧表.txt",
                                       "部門一覧表.txt"};
  return kNames[index(report)];
}

std::string yayoiTitle(YayoiReport report) {
  static const char* const kTitles[] = {"勘定科目一覧表", "残高試算表(月次・期間)",
                                        "補助科目一覧表", "補助残高一覧表(月次・期間)",
                                        "部門一覧表"};
  return kTitles[index(report)];
}

ReportRow accountRow(const std::vector<std::string>& headingsAndName, const std::string& code) {
  ReportRow row = sized(18);
  for (size_t i = 0; i < headingsAndName.size() && i < 6; ++i) row[1 + i] = headingsAndName[i];
  row[9] = code;
  return row;
}

ReportRow balanceRow(const std::string& department, const std::string& section,
                     const std::string& account, const std::string& opening,
                     const std::string& marker) {
  return {marker, department, "", section, account, opening, "0", "0", opening, "0.00"};
}

ReportRow subAccountRow(const std::string& parent, const std::string& name,
                        const std::string& code) {
  ReportRow row = sized(11);
  row[1] = parent;
  row[2] = name;
  row[5] = code;
  return row;
}

ReportRow subBalanceRow(const std::string& department, const std::string& account,
                        const std::string& subAccount, const std::string& opening) {
  return {kDetail, department, "", "", account, subAccount, opening, "0", "0", opening, "0.00"};
}

ReportRow departmentRow(const std::string& company, const std::vector<std::string>& levels) {
  ReportRow row = sized(12);
  row[1] = company;
  for (size_t i = 0; i < levels.size() && i < 5; ++i) row[2 + i] = levels[i];
  row[7] = company;
  for (const std::string& level : levels) {
    if (!level.empty()) row[7] = level;
  }
  return row;
}

std::string reportLine(const ReportRow& row) {
  std::string line;
  for (size_t i = 0; i < row.size(); ++i) {
    if (i > 0) line += ',';
    if (row[i].empty() || looksNumeric(row[i])) {
      line += row[i];
    } else {
      line += '"' + row[i] + '"';
    }
  }
  return line;
}

std::vector<std::string> yayoiReportLines(YayoiReport report, const std::vector<ReportRow>& rows,
                                          const std::string& company) {
  std::vector<std::string> lines = {
      reportLine({"帳票名", yayoiTitle(report)}),
      reportLine({"書式名", "標準"}),
      reportLine({"事業所名", company}),
      reportLine({"処理日時", "2026/12/08 10:20"}),
  };
  if (report == YayoiReport::AccountBalances || report == YayoiReport::SubAccountBalances) {
    lines.push_back(
        reportLine({"月次/期間", report == YayoiReport::SubAccountBalances ? "月次" : "期間"}));
    lines.push_back(reportLine({"集計期間", "2026/04/01", "2027/03/31"}));
    lines.push_back(reportLine({"税抜/税込", "税込"}));
  }
  ReportRow title = {"[表題行]"};
  for (int c = 2; c <= kTitleColumns[index(report)]; ++c)
    title.push_back("項目" + std::to_string(c));
  lines.push_back(reportLine(title));
  for (const ReportRow& row : rows) lines.push_back(reportLine(row));
  return lines;
}

void writeYayoiReport(const std::string& path, YayoiReport report,
                      const std::vector<ReportRow>& rows, const std::string& company) {
  writeCp932Lines(path, yayoiReportLines(report, rows, company));
}

std::array<std::string, 5> YayoiCompany::writeTo(const std::string& folder) const {
  const std::vector<ReportRow>* tables[] = {&accounts, &balances, &subAccounts, &subBalances,
                                            &departments};
  std::array<std::string, 5> paths;
  for (int k = 0; k < 5; ++k) {
    const auto report = static_cast<YayoiReport>(k);
    paths[static_cast<size_t>(k)] = folder + "/" + yayoiFileName(report);
    writeYayoiReport(paths[static_cast<size_t>(k)], report, *tables[k], name);
  }
  return paths;
}

YayoiCompany sampleYayoiCompany() {
  YayoiCompany c;
  const std::string bs = "[貸借対照表]";
  const std::string pl = "[損益計算書]";
  c.departments = {departmentRow(c.name, {})};
  c.accounts = {
      accountRow({bs, "[資産の部]", "[流動資産]", "現金"}, "100"),
      accountRow({bs, "[資産の部]", "[流動資産]", "普通預金"}, "131"),
      accountRow({pl, "[売上高]", "売上高"}, "500"),
      accountRow({pl, "[売上原価]", "仕入高"}, "600"),
  };
  c.balances = {
      balanceRow("", bs, "現金", "50000"),
      balanceRow("", bs, "普通預金", "1200000"),
      balanceRow("", pl, "売上高", "0"),
      balanceRow("", pl, "仕入高", "0"),
  };
  c.subAccounts = {
      subAccountRow("普通預金", "東西銀行", "001"),
      subAccountRow("普通預金", "南北銀行", "002"),
  };
  c.subBalances = {
      subBalanceRow("", "普通預金", "東西銀行", "700000"),
      subBalanceRow("", "普通預金", "南北銀行", "500000"),
  };
  return c;
}

bool importYayoiCompany(ConversionState& state, Platform& platform,
                        const std::array<std::string, 5>& paths) {
  for (int k : {4, 0, 1, 2, 3}) {
    if (!importReport(state, platform, paths[static_cast<size_t>(k)], static_cast<ReportKind>(k)))
      return false;
  }
  return true;
}

}  // namespace ledra::testing
