#pragma once

#include <string>

#include "import/report_kind.hpp"

namespace ledra {

struct ConversionState;
class Platform;

inline constexpr const char* kLocationReportImport = "P3:0001";
inline constexpr const char* kLocationReportRead = "P3:0003";
inline constexpr const char* kLocationReportRows = "P3:0005";

// Reads one 弥生会計 report (account list, trial balance, sub-account list, sub-account
// balances or department list) into its table, links it to what earlier
// reports brought and classifies it. False when the file is missing, is another report
// (its 帳票名 names a different title), or a row or the classification fails; the location
// tag and a detail (file, line, reason) are then recorded in the state.
bool importReport(ConversionState& state, Platform& platform, const std::string& path,
                  ReportKind kind);

}  // namespace ledra
