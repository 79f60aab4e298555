#pragma once

#include <string>

namespace ledra {

struct ConversionState;
class Platform;

inline constexpr const char* kLocationJournal = "P3:0011";

// Reads the journal: one JournalRows entry (position, date, voucher number) per detail line,
// and the in-use mark of every account that carries a journal line, an opening balance or
// sub-accounts. A malformed file shows the format message itself; a 弥生会計 file whose
// header is not the 汎用形式 仕訳日記帳 returns false silently. Either way the reason is in
// lastErrorDetail. The progress dialog is left shown for the caller. With keepText a
// successful read leaves the decoded text in heldJournalText for the journal writer.
bool importJournal(ConversionState& state, Platform& platform, const std::string& path,
                   bool keepText = false);

}  // namespace ledra
