#pragma once

#include <string>

namespace ledra {

struct ConversionState;
class Platform;

// Writes shiwake.csv from the journal file (source file 5), read again line by line: one
// 33-field record per detail line, with the service's accounts, sub-accounts, departments
// and tax codes. Renumbers the vouchers first. Lines of a slip whose accounts are not both
// processed and valid in the balance rows are left out; their number is kept in
// droppedJournalLines. False on any failure, with the earlier file left in place and the
// reason in lastErrorDetail.
bool writeJournalFile(ConversionState& state, Platform& platform);

// The lines that name the first dropped journal lines (file line and reason each) and how many
// more there are, each line after CR LF; empty when none was dropped.
std::string droppedJournalLinesDetail(const ConversionState& state);

// Replaces the voucher numbers by 1, 2, 3, ...: adjacent lines that share a voucher number
// and a calendar month (not the year) share a new number.
void renumberVouchers(ConversionState& state);

}  // namespace ledra
