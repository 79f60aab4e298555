#include "output/journal_file.hpp"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/dates.hpp"
#include "base/numbers.hpp"
#include "base/text.hpp"
#include "base/text_index.hpp"
#include "output/conversion_report.hpp"
#include "output/csv_record_writer.hpp"
#include "output/output_common.hpp"
#include "output/tax_conversion.hpp"
#include "platform/cp932.hpp"
#include "platform/platform.hpp"
#include "state/account_links.hpp"
#include "state/conversion_state.hpp"
#include "state/journal_entry.hpp"
#include "state/package_profile.hpp"

namespace ledra {

namespace {

constexpr std::string_view kFileName = "shiwake.csv";
constexpr size_t kDescriptionBytes = 62;
constexpr size_t kDroppedLinesNamed = 5;

// The lookups of one call, answered from indexes built once: each holds the entry a linear
// search would settle on (the last match, or the first where the first one counts).
struct Lookups {
  AccountLinks links;
  TextIndex lastAccount;  // by SourceName (弥生会計) or SourceCode (ブルーリターンＡ)
  TextIndex subAccount;  // 弥生会計: last by parent and own name; ブルーリターンＡ: first by name
  TextIndex lastDepartment;  // by MatchName
  TextIndex lastBalance;     // by its account's LedraName

  Lookups(const ConversionState& state, bool yayoi)
      : links(state),
        lastAccount(static_cast<size_t>(state.workAccounts.count()), TextIndex::Keep::Last),
        subAccount(static_cast<size_t>(state.workSubAccounts.count()),
                   yayoi ? TextIndex::Keep::Last : TextIndex::Keep::First),
        lastDepartment(static_cast<size_t>(state.workDepartments.count()), TextIndex::Keep::Last),
        lastBalance(static_cast<size_t>(state.workAccountBalances.count()), TextIndex::Keep::Last) {
    for (int32_t i = 0; i < state.workAccounts.count(); ++i) {
      const WorkAccount& a = state.workAccounts[i];
      lastAccount.put(yayoi ? a.sourceName : a.sourceCode, i);
    }
    for (int32_t i = 0; i < state.workSubAccounts.count(); ++i) {
      const WorkSubAccount& s = state.workSubAccounts[i];
      if (yayoi) {
        subAccount.put(s.parentName(), s.listedName(), i);
      } else {
        subAccount.put(s.listedName(), i);
      }
    }
    for (int32_t i = 0; i < state.workDepartments.count(); ++i)
      lastDepartment.put(state.workDepartments[i].matchName, i);
    for (int32_t i = 0; i < state.workAccountBalances.count(); ++i)
      lastBalance.put(links.ledraNameOf(state.workAccountBalances[i]), i);
  }
};

// The CP932 forms of one column of a state table, quotes doubled for the record, each made
// when a record first needs it. The strings are never touched again once made, so views of
// them stay valid.
class EncodedColumn {
 public:
  explicit EncodedColumn(int32_t rows) : texts_(static_cast<size_t>(rows)), made_(texts_.size()) {}
  std::string_view of(int32_t row, const std::string& text) {
    const auto r = static_cast<size_t>(row);
    if (!made_[r]) {
      texts_[r] = RecordWriter::escaped(encodeCp932(text));
      made_[r] = true;
    }
    return texts_[r];
  }

 private:
  std::vector<std::string> texts_;
  std::vector<bool> made_;
};

// What one side carries from line to line. The six record texts are CP932 with quotes doubled
// (views into EncodedColumns or a literal); the service name is also kept as text, for the
// balance lookup; the tax method is a view into the journal text. All outlive the writer's loop.
struct CarriedSide {
  std::string_view code;
  std::string_view name;
  std::string_view subCode;
  std::string_view subName;
  std::string_view departmentCode;
  std::string_view departmentName;
  std::string_view nameText;
  std::string_view method;
  std::optional<int32_t> account;  // the account the code and name come from
  bool processed = false;
  bool valid = false;
};

// The eleven record fields of one side: six CP932 texts, the line's description when
// `described`, and the tax values as text. The views last until the next line.
struct SideFields {
  std::string_view code, name, subCode, subName, departmentCode, departmentName;
  bool described = false;
  ConvertedTax tax;

  bool hasAmount() const { return !tax.amount.empty() && tax.amount != "0"; }
};

void writeSide(RecordWriter& record, const SideFields& s, std::string_view description) {
  for (std::string_view f :
       {s.code, s.name, s.subCode, s.subName, s.departmentCode, s.departmentName})
    record.escapedField(f);
  record.encodedField(s.described ? description : std::string_view());
  for (const std::string* f :
       {&s.tax.categoryCode, &s.tax.methodCode, &s.tax.amount, &s.tax.taxAmount})
    record.field(*f);
}

void writeEmptySide(RecordWriter& record) {
  record.quotedFields(R"(,"","","","","","","","","","0","0")");
}

// removeBlanks(text) == target, without building the text.
bool equalsWithoutBlanks(std::string_view text, std::string_view target) {
  size_t t = 0;
  for (size_t i = 0; i < text.size();) {
    if (text[i] == ' ') {
      ++i;
    } else if (text.compare(i, 3, "\xE3\x80\x80") == 0) {  // U+3000
      i += 3;
    } else {
      if (t == target.size() || text[i] != target[t]) return false;
      ++i;
      ++t;
    }
  }
  return t == target.size();
}

std::string_view colourCode(std::string_view mark, std::string_view previous) {
  if (mark == "赤") return "1";
  if (mark == "青") return "2";
  if (mark == "緑") return "3";
  if (mark == "黄") return "4";
  return previous;
}

// The slip number text of a ブルーリターンＡ line: the number with seven digits. A text that is
// no number, or one too large to be a slip number, stands as it is.
std::string blueSlipNumber(std::string_view text) {
  const auto value = parseStrictNumber(text);
  if (!value) return std::string(text);
  const auto number = toInt32Rounded(*value);
  if (!number) return std::string(text);
  return zeroPad(*number, 7);
}

class JournalWriter {
 public:
  JournalWriter(const ConversionState& state, bool yayoi, ConversionReport* report,
                std::string reportFile)
      : state_(state),
        report_(report),
        place_{std::move(reportFile), 0, !yayoi},
        yayoi_(yayoi),
        lookups_(state, yayoi),
        accountCode_(state.workAccounts.count()),
        accountName_(state.workAccounts.count()),
        subCode_(state.workSubAccounts.count()),
        subName_(state.workSubAccounts.count()),
        departmentCode_(state.workDepartments.count()),
        departmentName_(state.workDepartments.count()),
        unknownSubCode_(encodeCp932("999")) {}

  // Writes the record of a detail line; false, with nothing written, when the slip's
  // accounts keep the line out.
  bool line(const JournalEntry& e, RecordWriter& record) {
    std::string slip = yayoi_ ? zeroPad(state_.journalRows[nextRow_++].voucherNumber, 7)
                              : blueSlipNumber(e.voucherText);
    const bool newSlip = slip != previousSlip_;
    lineNumber_ = newSlip ? 1 : lineNumber_ + 1;
    previousSlip_.swap(slip);

    // Lines of a slip, and often whole runs of slips, share their date.
    if (!haveDate_ || e.date != date_) {
      date_ = e.date;
      haveDate_ = true;
      compactDate_ = formatYmdCompact(e.date);
    }

    const bool debitCash = equalsWithoutBlanks(e.debit.account, "現金");
    const bool creditCash = equalsWithoutBlanks(e.credit.account, "現金");
    std::string_view slipType = "03";
    if (e.slipMark != "[振伝]") {
      if (debitCash) {
        slipType = "01";
      } else if (creditCash) {
        slipType = "02";
      }
    }
    if (yayoi_) colour_ = colourCode(e.colour, colour_);

    const std::optional<int32_t> debitOwn =
        lookUpAccount(debit_, e.debit.account, e.debit.subAccount);
    const std::optional<int32_t> creditOwn =
        lookUpAccount(credit_, e.credit.account, e.credit.subAccount);
    // A line's department is its own: a line without one (or with an unknown one) must not
    // be booked to the department of the line before it.
    lookUpDepartment(debit_, e.debit.department);
    lookUpDepartment(credit_, e.credit.department);
    if (!e.debit.account.empty()) debit_.method = e.debit.taxMethod;
    if (!e.credit.account.empty()) credit_.method = e.credit.taxMethod;

    const TaxSide debitTax = taxSide(e.debit, debit_.method, debitCash);
    const TaxSide creditTax = taxSide(e.credit, credit_.method, creditCash);
    // A CP932 form is never longer than the UTF-8 one, so short texts need no cut.
    std::string_view description = e.description;
    if (description.size() > kDescriptionBytes) {
      cutDescription_ = fitBytesPadded(description, static_cast<int>(kDescriptionBytes));
      if (report_ && cutDescription_ != description)
        report_->textCut(place(e), "摘要", description, cutDescription_);
      description = cutDescription_;
    }
    sideFields(debitFields_, debit_, debitTax, e.debit.account.empty());
    sideFields(creditFields_, credit_, creditTax, e.credit.account.empty());

    if (newSlip) {
      updateFlags(debit_);
      updateFlags(credit_);
    }
    if (!(debit_.processed && debit_.valid && credit_.processed && credit_.valid)) {
      if (report_) reportLine(e, debitOwn, creditOwn, false);
      return false;
    }
    if (report_) reportLine(e, debitOwn, creditOwn, true);

    record.field(state_.ledraUserCode);
    record.field(previousSlip_);
    char number[16];
    const auto end = std::to_chars(number, number + sizeof number, lineNumber_).ptr;
    record.field(std::string_view(number, static_cast<size_t>(end - number)));
    record.field("00");
    record.field(compactDate_);
    record.field("1");
    record.field(slipType);
    record.field(colour_);
    record.quotedFields(R"(,"","","")");  // fields 9 to 11 stay empty
    descriptionBytes_.clear();
    if (debitFields_.described || creditFields_.described)
      appendCp932(descriptionBytes_, description);
    if (debitFields_.hasAmount()) {
      writeSide(record, debitFields_, descriptionBytes_);
      if (creditFields_.hasAmount()) {
        writeSide(record, creditFields_, descriptionBytes_);
      } else {
        writeEmptySide(record);
      }
    } else {
      writeEmptySide(record);
      writeSide(record, creditFields_, descriptionBytes_);
    }
    record.endLine();
    return true;
  }

 private:
  void lookUpDepartment(CarriedSide& side, std::string_view name) {
    if (const std::optional<int32_t> d = lookups_.lastDepartment.find(name)) {
      const WorkDepartment& department = state_.workDepartments[*d];
      side.departmentCode = departmentCode_.of(*d, department.departmentCode);
      side.departmentName = departmentName_.of(*d, department.matchName);
    } else {
      side.departmentCode = {};
      side.departmentName = {};
    }
  }

  // The line's place, without copying the file's name for every line.
  const ReportPlace& place(const JournalEntry& e) {
    place_.number = e.sourceLine;
    return place_;
  }

  // What the line did to each side's account and amount; a side goes out with an amount
  // only when the record carries it (the debit first, the credit when it has one or the
  // debit has none).
  void reportLine(const JournalEntry& e, std::optional<int32_t> debitOwn,
                  std::optional<int32_t> creditOwn, bool written) {
    const bool debitOut = written && debitFields_.hasAmount();
    const bool creditOut = written && creditFields_.hasAmount();
    const JournalSideFacts debit = sideFacts(e.debit, debitOwn, debit_, debitFields_, debitOut);
    const JournalSideFacts credit =
        sideFacts(e.credit, creditOwn, credit_, creditFields_, creditOut);
    report_->journalLine(place(e), debit, credit, written ? std::string() : dropReason());
  }

  static JournalSideFacts sideFacts(const JournalSide& side, std::optional<int32_t> own,
                                    const CarriedSide& carried, const SideFields& fields,
                                    bool out) {
    JournalSideFacts f;
    if (own) {
      f.own = static_cast<size_t>(*own);
    } else {
      f.account = std::string(side.account);
    }
    f.amount = side.amount;
    if (!out) return f;
    const std::string& text = fields.tax.amount;
    std::from_chars(text.data(), text.data() + text.size(), f.writtenAmount);
    if (carried.account && !carried.code.empty())
      f.writtenAs = static_cast<size_t>(*carried.account);
    f.taxAdded = f.writtenAmount - f.amount;
    return f;
  }

  // The account the text names, if any. An unknown text leaves the side as the line before
  // left it.
  std::optional<int32_t> lookUpAccount(CarriedSide& side, std::string_view account,
                                       std::string_view subName) {
    if (account.empty()) return std::nullopt;
    const std::optional<int32_t> found = lookups_.lastAccount.find(account);
    if (!found) return std::nullopt;
    side.account = found;
    const WorkAccount& a = state_.workAccounts[*found];
    side.code = accountCode_.of(*found, a.ledraCode);
    side.name = accountName_.of(*found, a.ledraName);
    side.nameText = a.ledraName;
    side.subCode = {};
    side.subName = {};
    std::optional<int32_t> sub;
    if (yayoi_) {
      sub = lookups_.subAccount.find(account, subName);
    } else if (!subName.empty()) {
      sub = lookups_.subAccount.find(subName);
    }
    // An empty text has an empty CP932 form and a non-empty one a non-empty form.
    if (sub) {
      const WorkSubAccount& s = state_.workSubAccounts[*sub];
      side.subCode = subCode_.of(*sub, s.newSubCode);
      side.subName = subName_.of(*sub, s.subAccountName);
    }
    if (side.subCode.empty() && a.hasSubAccounts && (yayoi_ || !subName.empty()))
      side.subCode = unknownSubCode_;
    return found;
  }

  TaxSide taxSide(const JournalSide& side, std::string_view method, bool cash) const {
    TaxSide t;
    t.category = side.taxCategory;
    t.method = method;
    t.amount = side.amount;
    t.taxAmount = side.taxAmount;
    t.cash = cash;
    if (!yayoi_) t.accountCode = side.accountCode;  // its first digit picks the code row
    return t;
  }

  void sideFields(SideFields& out, const CarriedSide& side, const TaxSide& tax,
                  bool continuation) const {
    out = SideFields{};
    if (continuation) return;
    out.code = side.code;
    out.name = side.name;
    out.subCode = side.subCode;
    out.subName = side.subName;
    if (state_.workDepartments.count() != 1) {
      out.departmentCode = side.departmentCode;
      out.departmentName = side.departmentName;
    }
    out.tax = convertTax(state_, tax, debit_.method, credit_.method);
    out.described = out.hasAmount();
  }

  // Why the slip of the line last refused is left out.
 public:
  std::string dropReason() const {
    for (auto [side, label] : {std::pair{&debit_, "借方"}, std::pair{&credit_, "貸方"}}) {
      if (side->processed && side->valid) continue;
      // An invalidated account has no service name, so the balance row found for it is
      // nobody's: say what the user did rather than what the lookup found.
      const bool invalidated = side->account && !state_.workAccounts[*side->account].valid;
      if (!side->processed && !invalidated) return std::string(label) + "の勘定科目が未設定です";
      return std::string(label) + "の勘定科目が無効化されています";
    }
    return {};
  }

 private:
  void updateFlags(CarriedSide& side) const {
    if (const std::optional<int32_t> b = lookups_.lastBalance.find(side.nameText)) {
      side.processed = state_.workAccountBalances[*b].processed;
      side.valid = lookups_.links.validOf(state_.workAccountBalances[*b]);
    }
  }

  const ConversionState& state_;
  ConversionReport* const report_;
  ReportPlace place_;
  const bool yayoi_;
  const Lookups lookups_;
  CarriedSide debit_;
  CarriedSide credit_;
  SideFields debitFields_;
  SideFields creditFields_;
  EncodedColumn accountCode_;
  EncodedColumn accountName_;
  EncodedColumn subCode_;
  EncodedColumn subName_;
  EncodedColumn departmentCode_;
  EncodedColumn departmentName_;
  const std::string unknownSubCode_;
  std::string cutDescription_;
  std::string descriptionBytes_;
  std::string_view colour_;
  Date date_;  // the last line's date, and its record form
  std::string compactDate_;
  bool haveDate_ = false;
  std::string previousSlip_;
  int32_t lineNumber_ = 0;
  int32_t nextRow_ = 0;
};

}  // namespace

StepResult writeJournalFile(ConversionState& state, Platform& platform, const Journal& journal,
                            OutputTarget& out, ConversionReport* report) {
  std::string file = journal.path();
  int64_t lineNo = 0;
  state.droppedJournalLines.clear();
  ErrorDetail failure;
  try {
    renumberVouchers(state);
    const int64_t max = state.journalRows.count();
    beginWriterProgress(platform, kFileName, max);

    JournalWriter writer(
        state, packageProfileOrFirst(state.sourcePackage).reader == SourceReader::YayoiReports,
        report, journal.path());
    // The records take about as many bytes as the journal lines they come from.
    std::string bytes;
    bytes.reserve(journal.text().size() + journal.text().size() / 2);
    int64_t value = 0;
    RecordWriter record(bytes);
    auto folded = journal.foldedDescriptions.begin();
    for (const JournalEntry& e : journal.entries) {
      lineNo = e.sourceLine;
      if (++value > max) throw StepError("仕訳の行数が取込時と異なります");
      const bool written = writer.line(e, record);
      if (!written) state.droppedJournalLines.push_back({lineNo, writer.dropReason()});
      // A line left out wrote no "?"; it is listed with the lines not written.
      for (; folded != journal.foldedDescriptions.end() && folded->sourceLine <= lineNo; ++folded)
        if (report && written && folded->sourceLine == lineNo)
          report->questionMarks({journal.path(), lineNo, false}, "摘要", folded->original);
      platform.progressSetValue(value);
    }
    lineNo = 0;
    file = outputPath(out.outputFolder(), kFileName);
    std::string error;
    if (out.put(kFileName, bytes, &error)) {
      if (report)
        report->facts().recordsWritten.emplace_back(
            kFileName, value - static_cast<int64_t>(state.droppedJournalLines.size()));
      return StepResult::success();
    }
    failure = ErrorDetail{file, 0, writeFailureReason(file, error)};
  } catch (const std::exception& e) {
    failure = ErrorDetail{file, lineNo, exceptionReason(e)};
  }
  platform.progressHide();
  return StepResult::failure(std::move(failure));
}

std::string droppedJournalLinesDetail(const ConversionState& state) {
  std::string out;
  const auto& dropped = state.droppedJournalLines;
  const size_t named = std::min(dropped.size(), kDroppedLinesNamed);
  for (size_t i = 0; i < named; ++i)
    out += "\r\n" + std::to_string(dropped[i].line) + "行目: " + dropped[i].reason;
  if (dropped.size() > named) out += "\r\nほか" + std::to_string(dropped.size() - named) + "行";
  return out;
}

void renumberVouchers(ConversionState& state) {
  int32_t previousVoucher = 0;
  int previousMonth = toYmd(Date{0}).month;
  int32_t number = 0;
  for (JournalRow& row : state.journalRows) {
    const int month = toYmd(row.entryDate).month;
    if (row.voucherNumber != previousVoucher || month != previousMonth) {
      ++number;
      previousVoucher = row.voucherNumber;
      previousMonth = month;
    }
    row.voucherNumber = number;
  }
}

}  // namespace ledra
