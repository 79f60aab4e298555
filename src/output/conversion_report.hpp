#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/dates.hpp"

namespace ledra {

struct ConversionState;

inline constexpr std::string_view kReconciliationFileName = "照合表.csv";
inline constexpr std::string_view kConversionReportFileName = "変換レポート.txt";

enum class ReportSide { Debit, Credit };

// Where something happened: a file (shown by its name) and a 1-based line or record number.
struct ReportPlace {
  std::string file;
  int64_t number = 0;
  bool record = false;  // the number counts records, not lines
};

// One source account as the reconciliation shows it. An empty ledraCode means the account
// reaches the service under no code (invalidated): nothing written is counted for it.
struct ReportAccount {
  std::string code;
  std::string name;
  std::string ledraCode;
  std::string ledraName;
};

// The run's facts for the head of the report.
struct ReportRunFacts {
  DateTime when;
  std::string package;
  std::string userCode;
  std::vector<std::string> inputFiles;
  std::vector<std::pair<std::string, int64_t>> recordsWritten;  // output file, records
};

// One side of a journal detail line, as read and as written. Accounts are positions in the
// list the report was made with.
struct JournalSideFacts {
  std::string account;        // the account column as read, when it names no account
  std::optional<size_t> own;  // the account that column names, if any
  int64_t amount = 0;         // the amount column as read
  // The account whose Ledra code the record's side carries; none when the side went out
  // empty (no amount, a continuation line) or with no account code at all.
  std::optional<size_t> writtenAs;
  int64_t writtenAmount = 0;  // the side's amount in the record (0 when not written)
  int64_t taxAdded = 0;       // what 外税 added to the written amount
};

// One row of 照合表.csv. The difference is
// (written debit - source debit) + (written credit - source credit) + (written - imported opening).
struct ReconciliationRow {
  size_t account = 0;
  int64_t sourceDebit = 0;
  int64_t writtenDebit = 0;
  int64_t sourceCredit = 0;
  int64_t writtenCredit = 0;
  int64_t openingImported = 0;
  int64_t openingWritten = 0;
  int64_t difference() const {
    return (writtenDebit - sourceDebit) + (writtenCredit - sourceCredit) +
           (openingWritten - openingImported);
  }
};

// What a conversion did to every amount and text, collected while the writers write: the sums
// per source account, and every line left out, side moved, amount changed and text altered.
// Everything is answered from what was fed, in time linear in it.
class ConversionReport {
 public:
  explicit ConversionReport(std::vector<ReportAccount> accounts);

  ReportRunFacts& facts() { return facts_; }
  const ReportRunFacts& facts() const { return facts_; }
  const std::vector<ReportAccount>& accounts() const { return accounts_; }
  // The first account of that source code.
  std::optional<size_t> find(std::string_view code) const;

  // A journal detail line; its dropReason says in words why it was not written, empty when
  // it was.
  void journalLine(const ReportPlace& place, const JournalSideFacts& debit,
                   const JournalSideFacts& credit, std::string_view dropReason = {});
  // Opening balances, added up per account: as imported, and as zandaka.csv holds them.
  void openingImported(size_t account, int64_t amount);
  void openingWritten(size_t account, int64_t amount);
  // A text cut to its field's byte width.
  void textCut(const ReportPlace& place, std::string_view field, std::string_view before,
               std::string_view after);
  // A text holding characters CP932 lacks, written with "?" in their place.
  void questionMarks(const ReportPlace& place, std::string_view field, std::string_view original);

  // The rows of 照合表.csv without the total: every account that appears in the journal or
  // holds an opening balance, in the list's order.
  std::vector<ReconciliationRow> rows() const;
  int64_t differingAccounts() const;

  struct Dropped {
    ReportPlace place;
    JournalSideFacts debit, credit;
    std::string reason;
  };
  struct Moved {
    ReportPlace place;
    ReportSide side;
    JournalSideFacts facts;
  };
  struct TaxAdded {
    ReportPlace place;
    ReportSide side;
    JournalSideFacts facts;
  };
  struct Cut {
    ReportPlace place;
    std::string field, before, after;
  };
  struct Replaced {
    ReportPlace place;
    std::string field, original;
  };
  const std::vector<Dropped>& dropped() const { return dropped_; }
  const std::vector<Moved>& moved() const { return moved_; }
  const std::vector<TaxAdded>& taxAdded() const { return taxAdded_; }
  const std::vector<Cut>& cuts() const { return cuts_; }
  const std::vector<Replaced>& replaced() const { return replaced_; }

  // Per account, what the sections add to its difference.
  struct Causes {
    int64_t droppedLines = 0, droppedAmount = 0;  // source amounts of lines not written
    int64_t movedIn = 0, movedInAmount = 0;       // sides of other accounts written here
    int64_t movedOut = 0, movedOutAmount = 0;     // own sides written under another account
    int64_t taxLines = 0, taxAmount = 0;          // 外税 added to sides written here
    int64_t uncounted = 0, uncountedAmount = 0;   // written here, though it has no Ledra code
  };
  const Causes& causes(size_t account) const { return totals_[account].causes; }

 private:
  struct Totals {
    ReconciliationRow row;
    bool inJournal = false;
    bool hasOpening = false;
    Causes causes;
  };
  void side(const ReportPlace& place, ReportSide which, const JournalSideFacts& s, bool written);

  ReportRunFacts facts_;
  std::vector<ReportAccount> accounts_;
  std::vector<Totals> totals_;
  struct CodeHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::unordered_map<std::string, size_t, CodeHash, std::equal_to<>> byCode_;
  std::vector<Dropped> dropped_;
  std::vector<Moved> moved_;
  std::vector<TaxAdded> taxAdded_;
  std::vector<Cut> cuts_;
  std::vector<Replaced> replaced_;
};

// The report's accounts from the state's account list, in its order (so a row index of
// workAccounts is the account's position); an invalidated account has no Ledra code.
std::vector<ReportAccount> reportAccounts(const ConversionState& state);

// 照合表.csv and 変換レポート.txt as CP932 bytes, CR LF after every line.
std::string reconciliationBytes(const ConversionReport& report);
std::string conversionReportBytes(const ConversionReport& report);
// The same texts in UTF-8, one string per line (no line ends).
std::vector<std::string> reconciliationLines(const ConversionReport& report);
std::vector<std::string> conversionReportLines(const ConversionReport& report);

// The lines the success message adds: how many accounts differ (or that none does), then the
// two files, under the output folder when one is given.
std::vector<std::string> reportSummaryLines(const ConversionReport& report,
                                            const std::string& outputFolder = {});

}  // namespace ledra
