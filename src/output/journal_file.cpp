#include "output/journal_file.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/dates.hpp"
#include "base/numbers.hpp"
#include "base/text.hpp"
#include "import/journal_import.hpp"
#include "import/text_reading.hpp"
#include "output/output_common.hpp"
#include "output/tax_conversion.hpp"
#include "platform/file_io.hpp"
#include "platform/platform.hpp"
#include "state/conversion_state.hpp"

namespace ledra {

namespace {

constexpr std::string_view kFileName = "shiwake.csv";
constexpr std::string_view kDetailMarker = "[明細行]";
constexpr size_t kJournalColumns = 29;
constexpr size_t kDescriptionBytes = 62;

using Index = std::unordered_map<std::string, int32_t>;

// Unambiguous key of two texts.
std::string pairKey(std::string_view a, std::string_view b) {
  std::string key = std::to_string(a.size());
  key += ':';
  key += a;
  key += b;
  return key;
}

// The lookups of one call, answered from maps built once: each holds the entry a linear
// search would settle on (the last match, or the first where the first one counts).
struct Lookups {
  Index lastAccount;      // by SourceName (弥生会計) or SourceCode (ブルーリターンＡ)
  Index lastSubAccount;   // 弥生会計: by parent name and sub-account name
  Index firstSubAccount;  // ブルーリターンＡ: by sub-account name
  Index lastDepartment;   // by MatchName
  Index lastBalance;      // by LedraName

  Lookups(const ConversionState& state, bool yayoi) {
    for (int32_t i = 0; i < state.workAccounts.count(); ++i) {
      const WorkAccount& a = state.workAccounts[i];
      lastAccount[yayoi ? a.sourceName : a.sourceCode] = i;
    }
    for (int32_t i = 0; i < state.workSubAccounts.count(); ++i) {
      const WorkSubAccount& s = state.workSubAccounts[i];
      if (yayoi) {
        lastSubAccount[pairKey(s.col(2), s.col(3))] = i;
      } else {
        firstSubAccount.try_emplace(s.col(3), i);
      }
    }
    for (int32_t i = 0; i < state.workDepartments.count(); ++i)
      lastDepartment[state.workDepartments[i].matchName] = i;
    for (int32_t i = 0; i < state.workAccountBalances.count(); ++i)
      lastBalance[state.workAccountBalances[i].ledraName] = i;
  }

  static const int32_t* find(const Index& index, const std::string& key) {
    auto it = index.find(key);
    return it == index.end() ? nullptr : &it->second;
  }
};

// What one side carries from line to line.
struct CarriedSide {
  std::string code;
  std::string name;
  std::string subCode;
  std::string subName;
  std::string departmentCode;
  std::string departmentName;
  std::string method;
  bool processed = false;
  bool valid = false;
};

// The eleven record fields of one side.
struct SideFields {
  std::string code, name, subCode, subName, departmentCode, departmentName, description;
  ConvertedTax tax;

  bool hasAmount() const { return !tax.amount.empty() && tax.amount != "0"; }
  void appendTo(std::vector<std::string>& fields) const {
    fields.insert(fields.end(),
                  {code, name, subCode, subName, departmentCode, departmentName, description,
                   tax.categoryCode, tax.methodCode, tax.amount, tax.taxAmount});
  }
  static void appendEmpty(std::vector<std::string>& fields) {
    fields.insert(fields.end(), 9, std::string());
    fields.insert(fields.end(), {"0", "0"});
  }
};

// Cuts the line at every comma and strips each field's enclosing quotes, reusing the
// buffers of the previous line.
void lineColumns(std::string_view line, std::vector<std::string>& cols) {
  size_t n = 0;
  for (size_t start = 0;; ++n) {
    const size_t comma = line.find(',', start);
    std::string_view field =
        line.substr(start, comma == std::string_view::npos ? line.npos : comma - start);
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"')
      field = field.substr(1, field.size() - 2);
    if (n < cols.size()) {
      cols[n].assign(field);
    } else {
      cols.emplace_back(field);
    }
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  cols.resize(n + 1);
}

int32_t amountOf(const std::string& text) {
  const auto value = toInt32Rounded(leadingNumber(text));
  if (!value) throw StepError("金額が大きすぎます: " + text);
  return *value;
}

std::string colourCode(std::string_view mark, const std::string& previous) {
  if (mark == "赤") return "1";
  if (mark == "青") return "2";
  if (mark == "緑") return "3";
  if (mark == "黄") return "4";
  return previous;
}

// The slip number text of a ブルーリターンＡ line: the number with seven digits. A text that is
// no number, or one too large to be a slip number, stands as it is.
std::string blueSlipNumber(const std::string& text) {
  const auto value = parseStrictNumber(text);
  if (!value) return text;
  const auto number = toInt32Rounded(*value);
  if (!number) return text;
  return zeroPad(*number, 7);
}

class JournalWriter {
 public:
  JournalWriter(const ConversionState& state, bool yayoi)
      : state_(state), yayoi_(yayoi), lookups_(state, yayoi) {}

  // Returns the record of a detail line, or nothing when the slip's accounts keep it out.
  std::optional<std::vector<std::string>> line(const std::vector<std::string>& cols) {
    const std::string slip =
        yayoi_ ? zeroPad(state_.journalRows[nextRow_++].voucherNumber, 7) : blueSlipNumber(cols[2]);
    const bool newSlip = slip != previousSlip_;
    lineNumber_ = newSlip ? 1 : lineNumber_ + 1;
    previousSlip_ = slip;

    const auto date = parseDate(cols[1]);
    if (!date) throw StepError("日付ではありません: " + cols[1]);

    const std::string debitAccount = removeBlanks(cols[9]);
    const std::string creditAccount = removeBlanks(cols[16]);
    std::string slipType = "03";
    if (cols[7] != "[振伝]") {
      if (debitAccount == "現金") {
        slipType = "01";
      } else if (creditAccount == "現金") {
        slipType = "02";
      }
    }
    if (yayoi_) colour_ = colourCode(cols[5], colour_);

    lookUpAccount(debit_, cols[9], cols[10]);
    lookUpAccount(credit_, cols[16], cols[17]);
    // A line's department is its own: a line without one (or with an unknown one) must not
    // be booked to the department of the line before it.
    lookUpDepartment(debit_, cols[11]);
    lookUpDepartment(credit_, cols[18]);
    if (!cols[9].empty()) debit_.method = cols[13];
    if (!cols[16].empty()) credit_.method = cols[20];

    const TaxSide debitTax = taxSide(cols, 12, debit_.method, debitAccount, 5);
    const TaxSide creditTax = taxSide(cols, 19, credit_.method, creditAccount, 6);
    // A CP932 form is never longer than the UTF-8 one, so short texts need no cut.
    const std::string description =
        cols[23].size() <= kDescriptionBytes
            ? cols[23]
            : fitBytesPadded(cols[23], static_cast<int>(kDescriptionBytes));
    const SideFields debit = sideFields(debit_, debitTax, cols[9].empty(), description);
    const SideFields credit = sideFields(credit_, creditTax, cols[16].empty(), description);

    if (newSlip) {
      updateFlags(debit_);
      updateFlags(credit_);
    }
    if (!(debit_.processed && debit_.valid && credit_.processed && credit_.valid))
      return std::nullopt;

    std::vector<std::string> fields;
    fields.reserve(33);
    fields.insert(fields.end(), {state_.ledraUserCode, slip, std::to_string(lineNumber_), "00",
                                 formatYmdCompact(*date), "1", slipType, colour_});
    fields.insert(fields.end(), 3, std::string());  // fields 9 to 11 stay empty
    if (debit.hasAmount()) {
      debit.appendTo(fields);
      if (credit.hasAmount()) {
        credit.appendTo(fields);
      } else {
        SideFields::appendEmpty(fields);
      }
    } else {
      SideFields::appendEmpty(fields);
      credit.appendTo(fields);
    }
    return fields;
  }

 private:
  void lookUpDepartment(CarriedSide& side, const std::string& name) {
    if (const int32_t* d = Lookups::find(lookups_.lastDepartment, name)) {
      side.departmentCode = state_.workDepartments[*d].departmentCode;
      side.departmentName = state_.workDepartments[*d].matchName;
    } else {
      side.departmentCode.clear();
      side.departmentName.clear();
    }
  }

  void lookUpAccount(CarriedSide& side, const std::string& account, const std::string& subName) {
    if (account.empty()) return;
    const int32_t* found = Lookups::find(lookups_.lastAccount, account);
    if (!found) return;
    const WorkAccount& a = state_.workAccounts[*found];
    side.code = a.ledraCode;
    side.name = a.ledraName;
    side.subCode.clear();
    side.subName.clear();
    const int32_t* sub = nullptr;
    if (yayoi_) {
      sub = Lookups::find(lookups_.lastSubAccount, pairKey(account, subName));
    } else if (!subName.empty()) {
      sub = Lookups::find(lookups_.firstSubAccount, subName);
    }
    if (sub) {
      side.subCode = state_.workSubAccounts[*sub].newSubCode;
      side.subName = state_.workSubAccounts[*sub].subAccountName;
    }
    if (side.subCode.empty() && a.hasSubAccounts && (yayoi_ || !subName.empty()))
      side.subCode = "999";
  }

  // The side's tax category is column index `category`, its amount and tax amount follow
  // two and three columns later.
  TaxSide taxSide(const std::vector<std::string>& cols, size_t category, const std::string& method,
                  const std::string& account, size_t codeColumn) const {
    TaxSide t;
    t.category = cols[category];
    t.method = method;
    t.amount = amountOf(cols[category + 2]);
    t.taxAmount = amountOf(cols[category + 3]);
    t.cash = account == "現金";
    if (!yayoi_) t.accountCode = cols[codeColumn];  // its first digit picks the code row
    return t;
  }

  SideFields sideFields(const CarriedSide& side, const TaxSide& tax, bool continuation,
                        const std::string& description) const {
    SideFields out;
    if (continuation) return out;
    out.code = side.code;
    out.name = side.name;
    out.subCode = side.subCode;
    out.subName = side.subName;
    if (state_.workDepartments.count() != 1) {
      out.departmentCode = side.departmentCode;
      out.departmentName = side.departmentName;
    }
    out.tax = convertTax(state_, tax, debit_.method, credit_.method);
    if (out.hasAmount()) out.description = description;
    return out;
  }

  void updateFlags(CarriedSide& side) const {
    if (const int32_t* b = Lookups::find(lookups_.lastBalance, side.name)) {
      side.processed = state_.workAccountBalances[*b].processed;
      side.valid = state_.workAccountBalances[*b].accountValid;
    }
  }

  const ConversionState& state_;
  const bool yayoi_;
  const Lookups lookups_;
  CarriedSide debit_;
  CarriedSide credit_;
  std::string colour_;
  std::string previousSlip_;
  int32_t lineNumber_ = 0;
  int32_t nextRow_ = 0;
};

}  // namespace

bool writeJournalFile(ConversionState& state, Platform& platform) {
  const std::string& source = state.sourceFiles[5];
  std::string file = source;
  int64_t lineNo = 0;
  state.droppedJournalLines = 0;
  try {
    renumberVouchers(state);
    const auto text = readWholeTextFile(source);
    if (!text) throw StepError("ファイルを読み込めません");
    const int64_t max = state.journalRows.count();
    beginWriterProgress(platform, kFileName, max);

    JournalWriter writer(state, state.sourcePackage != kPackageBlueReturn);
    Cp932TextBuilder out;
    int64_t value = 0;
    std::vector<std::string_view> lines = splitPlainView(*text, kCrLf);
    lines.pop_back();  // the part after the last CR LF
    std::vector<std::string> cols;
    for (size_t i = 0; i < lines.size(); ++i) {
      lineNo = static_cast<int64_t>(i) + 1;
      lineColumns(lines[i], cols);
      if (cols[0] != kDetailMarker) continue;
      if (cols.size() < kJournalColumns) throw StepError("列が足りません（29列以上必要です）");
      if (++value > max) throw StepError("仕訳の行数が取込時と異なります");
      if (auto record = writer.line(cols)) {
        out.line(quotedRecord(*record));
      } else {
        ++state.droppedJournalLines;
      }
      platform.progressSetValue(value);
    }
    lineNo = 0;
    file = outputPath(state, kFileName);
    std::string error;
    if (!out.commit(file, &error)) throw StepError(writeFailureReason(file, error));
    return true;
  } catch (const std::exception& e) {
    // Writers carry no location tag; the caller names the file.
    state.lastErrorDetail = ErrorDetail{file, lineNo, e.what()};
  }
  platform.progressHide();
  return false;
}

}  // namespace ledra
