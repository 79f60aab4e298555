#pragma once

#include <string>

#include "state/step_result.hpp"

namespace ledra {

struct ConversionState;
class Journal;
class Platform;

inline constexpr const char* kLocationJournal = "P3:0011";

// Reads the journal in the 弥生会計 export layout (with its two header lines) or, for
// ブルーリターンＡ, the intermediate journal (without): every detail line becomes a typed entry
// of journal (when given), a JournalRows entry (position, date, voucher number), and the
// in-use mark of the accounts it names; accounts with an opening balance or sub-accounts are
// marked too. A malformed file shows the format message itself; a 弥生会計 file whose header
// is not the 汎用形式 仕訳日記帳 fails silently. The progress dialog is left shown for the
// caller.
StepResult importJournal(ConversionState& state, Platform& platform, const std::string& path,
                         Journal* journal = nullptr);

}  // namespace ledra
