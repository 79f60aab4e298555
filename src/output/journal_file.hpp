#pragma once

#include <string>

#include "state/step_result.hpp"

namespace ledra {

struct ConversionState;
class ConversionReport;
class Journal;
class OutputTarget;
class Platform;

// Writes shiwake.csv to out from the journal's typed entries, as the import read them: one
// 33-field record per entry, with the service's accounts, sub-accounts, departments and tax
// codes. Renumbers the vouchers first. Lines of a slip whose accounts are not both processed
// and valid in the balance rows are left out, each listed in droppedJournalLines with its
// journal line and reason. On any failure the earlier file stays in place. A report, when
// given, is told of every line, its sums, and every description cut.
StepResult writeJournalFile(ConversionState& state, Platform& platform, const Journal& journal,
                            OutputTarget& out, ConversionReport* report = nullptr);

// The lines that name the first dropped journal lines (file line and reason each) and how many
// more there are, each line after CR LF; empty when none was dropped.
std::string droppedJournalLinesDetail(const ConversionState& state);

// Replaces the voucher numbers by 1, 2, 3, ...: adjacent lines that share a voucher number
// and a calendar month (not the year) share a new number.
void renumberVouchers(ConversionState& state);

}  // namespace ledra
