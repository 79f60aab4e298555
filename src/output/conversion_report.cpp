#include "output/conversion_report.hpp"

#include <algorithm>

#include "state/conversion_state.hpp"

namespace ledra {

ConversionReport::ConversionReport(std::vector<ReportAccount> accounts)
    : accounts_(std::move(accounts)), totals_(accounts_.size()) {
  byCode_.reserve(accounts_.size());
  for (size_t i = 0; i < accounts_.size(); ++i) {
    byCode_.try_emplace(accounts_[i].code, i);
    totals_[i].row.account = i;
  }
}

std::optional<size_t> ConversionReport::find(std::string_view code) const {
  const auto it = byCode_.find(code);
  if (it == byCode_.end()) return std::nullopt;
  return it->second;
}

void ConversionReport::journalLine(const ReportPlace& place, const JournalSideFacts& debit,
                                   const JournalSideFacts& credit, std::string_view dropReason) {
  const bool written = dropReason.empty();
  side(place, ReportSide::Debit, debit, written);
  side(place, ReportSide::Credit, credit, written);
  if (!written) dropped_.push_back({place, debit, credit, std::string(dropReason)});
}

void ConversionReport::side(const ReportPlace& place, ReportSide which, const JournalSideFacts& s,
                            bool written) {
  const bool debit = which == ReportSide::Debit;
  if (s.own) {
    Totals& t = totals_[*s.own];
    t.inJournal = true;
    (debit ? t.row.sourceDebit : t.row.sourceCredit) += s.amount;
    if (!written) {
      ++t.causes.droppedLines;
      t.causes.droppedAmount -= s.amount;
    }
  }
  if (!written) return;

  if (s.writtenAs) {
    Totals& t = totals_[*s.writtenAs];
    t.inJournal = true;
    // The service books nothing under an account it was never given.
    if (accounts_[*s.writtenAs].ledraCode.empty()) {
      ++t.causes.uncounted;
    } else {
      (debit ? t.row.writtenDebit : t.row.writtenCredit) += s.writtenAmount;
      if (s.taxAdded != 0) {
        ++t.causes.taxLines;
        t.causes.taxAmount += s.taxAdded;
      }
    }
  }
  if (s.taxAdded != 0) taxAdded_.push_back({place, which, s});

  // A side written empty (no amount, a continuation line) is no move; one written with an
  // amount but no account always is.
  const bool withoutAccount = !s.writtenAs && s.writtenAmount != 0;
  if ((s.writtenAs && s.writtenAs != s.own) || withoutAccount) {
    moved_.push_back({place, which, s});
    if (s.writtenAs && !accounts_[*s.writtenAs].ledraCode.empty()) {
      Causes& c = totals_[*s.writtenAs].causes;
      ++c.movedIn;
      c.movedInAmount += s.amount;
    }
    if (s.own) {
      Causes& c = totals_[*s.own].causes;
      ++c.movedOut;
      c.movedOutAmount -= s.amount;
    }
  }
}

void ConversionReport::openingImported(size_t account, int64_t amount) {
  Totals& t = totals_[account];
  t.row.openingImported += amount;
  if (amount != 0) t.hasOpening = true;
}

void ConversionReport::openingWritten(size_t account, int64_t amount) {
  Totals& t = totals_[account];
  if (amount != 0) t.hasOpening = true;
  if (accounts_[account].ledraCode.empty()) return;
  t.row.openingWritten += amount;
}

void ConversionReport::textCut(const ReportPlace& place, std::string_view field,
                               std::string_view before, std::string_view after) {
  cuts_.push_back({place, std::string(field), std::string(before), std::string(after)});
}

void ConversionReport::questionMarks(const ReportPlace& place, std::string_view field,
                                     std::string_view original) {
  replaced_.push_back({place, std::string(field), std::string(original)});
}

std::vector<ReconciliationRow> ConversionReport::rows() const {
  std::vector<ReconciliationRow> out;
  for (const Totals& t : totals_)
    if (t.inJournal || t.hasOpening) out.push_back(t.row);
  return out;
}

int64_t ConversionReport::differingAccounts() const {
  return std::count_if(totals_.begin(), totals_.end(), [](const Totals& t) {
    return (t.inJournal || t.hasOpening) && t.row.difference() != 0;
  });
}

std::vector<ReportAccount> reportAccounts(const ConversionState& state) {
  std::vector<ReportAccount> out;
  out.reserve(static_cast<size_t>(state.workAccounts.count()));
  for (const WorkAccount& a : state.workAccounts) {
    if (a.valid) {
      out.push_back({a.sourceCode, a.sourceName, a.ledraCode, a.ledraName});
    } else {
      out.push_back({a.sourceCode, a.sourceName, {}, {}});
    }
  }
  return out;
}

}  // namespace ledra
