#include "import/blue_return_journal.hpp"

#include <array>
#include <bit>
#include <cmath>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/dates.hpp"
#include "base/numbers.hpp"
#include "base/text.hpp"
#include "import/blue_return_accounts.hpp"
#include "platform/cp932.hpp"
#include "platform/file_io.hpp"
#include "platform/platform.hpp"
#include "state/conversion_state.hpp"
#include "state/journal_entry.hpp"
#include "state/table.hpp"

namespace ledra {

namespace {

constexpr size_t kDescriptionOffset = 30;
constexpr size_t kDescriptionSize = 56;
constexpr const char* kIntermediateName = "中間仕訳データ.txt";

uint8_t byteAt(std::string_view record, size_t pos) { return static_cast<uint8_t>(record[pos]); }

// A signed 16-bit field, low byte first. The package never writes a negative one.
int32_t word(std::string_view record, size_t pos, const char* what) {
  const uint8_t low = byteAt(record, pos);
  const uint8_t high = byteAt(record, pos + 1);
  if (high >= 128)
    throw StepError(std::string(what) + "の値が正しくありません（" + std::to_string(pos) +
                    "バイト目）");
  return high * 256 + low;
}

int32_t amountAt(std::string_view record, size_t pos, const char* what) {
  const auto value = decodeBlueAmount(record.substr(pos, 8));
  if (!value) throw StepError(std::string(what) + "の金額が大きすぎます");
  return *value;
}

// Account codes of the tables as numbers, as the records carry them.
int64_t codeNumber(const std::string& code, const char* what) {
  const auto number = parseStrictNumber(code);
  if (!number || !fitsInt32(roundHalfEven(*number)))
    throw StepError(std::string(what) + "「" + code + "」が数値ではありません");
  return static_cast<int64_t>(roundHalfEven(*number));
}

struct PairHash {
  size_t operator()(const std::pair<std::string_view, int64_t>& k) const {
    return std::hash<std::string_view>()(k.first) ^ (std::hash<int64_t>()(k.second) * 31);
  }
};

// The lookups of the expansion, built once: the first account of each code, the first
// account of each code as a number, the first sub-account of each account name and code.
class Lookups {
 public:
  explicit Lookups(const ConversionState& state) : state_(state) {
    for (int32_t i = 0; i < state.workAccounts.count(); ++i) {
      const WorkAccount& a = state.workAccounts[i];
      accountByCode_.try_emplace(a.sourceCode, i);
      accountByNumber_.try_emplace(codeNumber(a.sourceCode, "勘定科目コード"), i);
    }
    for (int32_t i = 0; i < state.workSubAccounts.count(); ++i) {
      const WorkSubAccount& s = state.workSubAccounts[i];
      subByAccountAndNumber_.try_emplace(
          {s.parentName(), codeNumber(s.newSubCode, "補助科目コード")}, i);
    }
  }

  std::optional<int32_t> accountByCode(std::string_view code) const {
    auto it = accountByCode_.find(code);
    if (it == accountByCode_.end()) return std::nullopt;
    return it->second;
  }

  // The sub-account name of one side, empty when the side has none or it is not found.
  std::string subAccountName(int32_t accountCode, int32_t subCode) const {
    if (subCode == 0) return {};
    auto a = accountByNumber_.find(accountCode);
    const std::string_view name = a == accountByNumber_.end()
                                      ? std::string_view()
                                      : state_.workAccounts[a->second].sourceName;
    auto s = subByAccountAndNumber_.find({name, subCode});
    return s == subByAccountAndNumber_.end() ? std::string()
                                             : state_.workSubAccounts[s->second].subAccountName;
  }

 private:
  const ConversionState& state_;
  std::unordered_map<std::string_view, int32_t> accountByCode_;
  std::unordered_map<int64_t, int32_t> accountByNumber_;
  std::unordered_map<std::pair<std::string_view, int64_t>, int32_t, PairHash>
      subByAccountAndNumber_;
};

// In use before the records: accounts with an opening balance and those with sub-accounts.
void markOpeningInUse(ConversionState& state, const Lookups& lookups) {
  for (WorkAccount& a : state.workAccounts) a.inUse = false;
  for (const WorkAccountBalance& row : state.workAccountBalances) {
    if (row.linkAmount == 0) continue;
    if (auto a = lookups.accountByCode(row.accountSourceCode)) state.workAccounts[*a].inUse = true;
  }
  for (WorkAccount& a : state.workAccounts)
    if (a.hasSubAccounts) a.inUse = true;
}

std::optional<Date> periodDate(const std::array<int32_t, 6>& p, size_t first) {
  return makeDate(p[first], p[first + 1], p[first + 2]);
}

std::string periodText(const std::array<int32_t, 6>& p) {
  return zeroPad(p[0], 4) + "/" + zeroPad(p[1], 2) + "/" + zeroPad(p[2], 2) + "～" +
         zeroPad(p[3], 4) + "/" + zeroPad(p[4], 2) + "/" + zeroPad(p[5], 2);
}

// One line of the intermediate file: every field quoted, inner quotes doubled.
class LineBuilder {
 public:
  explicit LineBuilder(std::string& out) : out_(out) {}
  void field(std::string_view text) {
    if (!first_) out_ += ',';
    first_ = false;
    out_ += '"';
    for (char c : text) {
      if (c == '"') out_ += '"';
      out_ += c;
    }
    out_ += '"';
  }
  void field(int64_t number) { field(std::to_string(number)); }

 private:
  std::string& out_;
  bool first_ = true;
};

}  // namespace

std::optional<int32_t> decodeBlueAmount(std::string_view eightBytes) {
  if (eightBytes.size() != 8) return std::nullopt;
  uint64_t bits = 0;
  for (size_t i = 8; i-- > 0;) bits = (bits << 8) | static_cast<uint8_t>(eightBytes[i]);
  const double value = std::bit_cast<double>(bits);
  if (!std::isfinite(value)) return std::nullopt;
  const double rounded = roundHalfEven(value);
  if (std::fabs(rounded) >= 2147483648.0) return std::nullopt;
  return static_cast<int32_t>(rounded);
}

std::string cleanBlueDescription(std::string_view text) {
  std::string out = replaceAll(text, " ", "");
  out = replaceAll(out, "\t", " ");
  return replaceAll(out, kCrLf, "");
}

std::string intermediateJournalText(const Journal& journal) {
  std::string text;
  text.reserve(journal.entries.size() * 160);
  Date lastDate{};
  std::string eraDate;
  for (const JournalEntry& e : journal.entries) {
    if (eraDate.empty() || e.date != lastDate) {
      eraDate = formatEra(e.date);
      lastDate = e.date;
    }
    LineBuilder line(text);
    line.field("[明細行]");
    line.field(eraDate);
    line.field(e.voucherText);
    line.field("");
    line.field("");
    line.field(e.debit.accountCode);
    line.field(e.credit.accountCode);
    line.field("");
    line.field("");
    for (const JournalSide* side : {&e.debit, &e.credit}) {
      line.field(side->account);
      line.field(side->subAccount);
      line.field(side->department);
      line.field(side->taxCategory);
      line.field(side->taxMethod);
      line.field(side->amount);
      line.field(side->taxAmount);
    }
    line.field(e.description);
    line.field("");
    line.field("");
    line.field("");
    line.field(eraDate);
    line.field(e.recordCode);
    text += kCrLf;
  }
  return text;
}

StepResult expandBlueJournal(ConversionState& state, Platform& platform, const std::string& path,
                             const std::string& outputFolder) {
  int64_t recordNo = 0;
  try {
    const auto bytes = readFileBytes(path);
    if (!bytes) throw StepError("ファイルを読み込めません");
    const size_t records = bytes->size() / kBlueRecordSize;  // a shorter tail is no record

    const auto start = periodDate(state.journalPeriod, 0);
    const auto end = periodDate(state.journalPeriod, 3);
    if (!start || !end) throw StepError("仕訳取込期間の日付が正しくありません");

    platform.progressShow();
    platform.progressSetCaption("仕訳データ展開中");
    platform.progressSetValue(0);
    platform.progressSetMax(static_cast<int64_t>(records));

    const Lookups lookups(state);
    const std::string department = state.workDepartments.count() > 0
                                       ? state.workDepartments[0].displayName()
                                       : std::string(kBlueDepartment);
    markOpeningInUse(state, lookups);

    const DateTime now = platform.now();
    const std::string stamp = zeroPad(now.date.year, 4) + zeroPad(now.date.month, 2) +
                              zeroPad(now.date.day, 2) + zeroPad(now.hour, 2) +
                              zeroPad(now.minute, 2) + zeroPad(now.second, 2);
    const std::string intermediate = joinPath(outputFolder, stamp + kIntermediateName);

    state.journalRows.clear();
    Journal journal;
    journal.reset(path, {});
    // The few texts every record repeats, kept once.
    std::array<std::string_view, 256> byteText;
    for (size_t b = 0; b < byteText.size(); ++b) byteText[b] = journal.keep(std::to_string(b));
    std::unordered_map<int32_t, std::string_view> codeText;
    const auto codeView = [&](int32_t code) {
      auto [it, added] = codeText.try_emplace(code);
      if (added) it->second = journal.keep(std::to_string(code));
      return it->second;
    };
    const std::string_view departmentView = journal.keep(department);
    journal.entries.reserve(records);
    for (size_t r = 0; r < records; ++r) {
      recordNo = static_cast<int64_t>(r) + 1;
      const std::string_view rec =
          std::string_view(*bytes).substr(r * kBlueRecordSize, kBlueRecordSize);
      if (byteAt(rec, 0) != 0) continue;
      const int32_t year = word(rec, 4, "年");
      const uint8_t month = byteAt(rec, 6);
      const uint8_t day = byteAt(rec, 7);
      // An unused, zero-filled record lies in no period; any other date must exist, or the
      // record would be lost without a word.
      if (year == 0 && month == 0 && day == 0) continue;
      const auto date = makeDate(year, month, day);
      if (!date)
        throw StepError("日付ではありません: " + zeroPad(year, 4) + "/" + zeroPad(month, 2) + "/" +
                        zeroPad(day, 2));
      if (*date < *start || *end < *date) continue;
      if (formatEra(*date).empty()) throw StepError("日付を和暦で表せません");

      JournalEntry e;
      e.sourceLine = recordNo;
      e.date = *date;
      e.voucher = word(rec, 1, "伝票番号");
      e.voucherText = codeView(e.voucher);
      const int32_t firstCode = word(rec, 8, "借方勘定科目コード");
      const int32_t secondCode = word(rec, 19, "貸方勘定科目コード");
      e.debit.amount = amountAt(rec, 11, "借方");
      e.credit.amount = amountAt(rec, 22, "貸方");
      // The field is padded; a NUL ends the text rather than going into the file.
      std::string_view raw = rec.substr(kDescriptionOffset, kDescriptionSize);
      raw = raw.substr(0, raw.find('\0'));
      e.description = journal.keep(cleanBlueDescription(decodeCp932(raw)));
      for (auto [side, code, subAt, taxAt] :
           {std::tuple{&e.debit, firstCode, 10, 87}, std::tuple{&e.credit, secondCode, 21, 88}}) {
        side->account = side->accountCode = codeView(code);
        side->subAccount = journal.keep(lookups.subAccountName(code, byteAt(rec, subAt)));
        side->department = departmentView;
        side->taxCategory = byteText[byteAt(rec, taxAt)];
      }
      e.recordCode = byteText[byteAt(rec, 3)];

      if (state.journalRows.count() >= kJournalCapacity)
        throw CapacityError("仕訳が多すぎます（30001行まで）");
      state.journalRows.append({state.journalRows.count() + 1, e.date, e.voucher});
      for (int32_t code : {firstCode, secondCode}) {
        if (auto a = lookups.accountByCode(std::to_string(code)))
          state.workAccounts[*a].inUse = true;
      }
      journal.entries.push_back(e);
      if (recordNo % 10 == 0) platform.progressSetValue(recordNo);
    }
    recordNo = 0;
    // Like a journal export without a row, a journal with nothing in the period converts to
    // nothing; it is said at once rather than as an empty intermediate file later.
    if (state.journalRows.count() == 0)
      throw StepError("期間内の仕訳がありません（" + periodText(state.journalPeriod) + "）");
    std::string error;
    if (!writeFileAtomic(intermediate, encodeCp932(intermediateJournalText(journal)), &error))
      throw StepError(intermediate + "を書き込めません: " + error);
    state.sourceFile(SourceFile::Journal) = intermediate;
    return StepResult::success();
  } catch (const std::exception& e) {
    std::string reason = exceptionReason(e);
    if (recordNo > 0) reason = std::to_string(recordNo) + "件目の仕訳: " + reason;
    state.lastErrorLocation = kLocationBlueJournal;
    return StepResult::failure(path, 0, std::move(reason));
  }
}

}  // namespace ledra
