#include "import/journal_import.hpp"

#include <string_view>
#include <utility>
#include <vector>

#include "base/dates.hpp"
#include "base/numbers.hpp"
#include "base/quoted_fields.hpp"
#include "base/text.hpp"
#include "base/text_index.hpp"
#include "platform/cp932.hpp"
#include "platform/file_io.hpp"
#include "platform/platform.hpp"
#include "platform/text_file.hpp"
#include "state/conversion_state.hpp"
#include "state/journal_entry.hpp"

namespace ledra {

namespace {

constexpr std::string_view kDetailMarker = "[明細行]";
constexpr size_t kJournalColumns = 29;
constexpr const char* kFormatMessage = "仕訳データ形式に異常が検出されました。";

bool headerMatches(std::string_view line, std::string_view label, std::string_view value) {
  std::vector<std::string_view> cols;
  std::string scratch;
  cutQuotedFields(line, cols, scratch);
  return cols.size() >= 2 && cols[0] == label && cols[1] == value;
}

// The first account of a key is the one marked.
void markInUse(ConversionState& state, const TextIndex& index, std::string_view key) {
  if (auto i = index.find(key)) state.workAccounts[*i].inUse = true;
}

void markAccountsBeforeRows(ConversionState& state, const TextIndex& byName) {
  for (WorkAccount& a : state.workAccounts) a.inUse = false;
  const bool oneDepartment = state.workDepartments.count() == 1;
  for (const WorkAccountBalance& row : state.workAccountBalances) {
    if (!oneDepartment && row.department() != state.departmentTotalName) continue;
    if (row.linkAmount != 0) markInUse(state, byName, row.accountSourceName);
  }
  for (WorkAccount& a : state.workAccounts)
    if (a.hasSubAccounts) a.inUse = true;
}

// A view that lives as long as the journal: a field cut from the held text is one already;
// one that lost doubled quotes lies in the scratch buffer and is kept.
std::string_view lasting(std::string_view field, Journal& journal) {
  const std::string& text = journal.text();
  if (field.empty() ||
      (field.data() >= text.data() && field.data() + field.size() <= text.data() + text.size()))
    return field;
  return journal.keep(field);
}

// Columns 10 to 16 (first side) or 17 to 23 (second side), from index `account` on.
JournalSide readSide(const std::vector<std::string_view>& cols, size_t account, Journal& journal) {
  JournalSide side;
  side.account = lasting(cols[account], journal);
  side.subAccount = lasting(cols[account + 1], journal);
  side.department = lasting(cols[account + 2], journal);
  side.taxCategory = lasting(cols[account + 3], journal);
  side.taxMethod = lasting(cols[account + 4], journal);
  // The writer needs every amount in 32 bits; finding out here leaves the outputs alone.
  for (auto [c, value] : {std::pair{account + 5, &side.amount}, {account + 6, &side.taxAmount}}) {
    const auto amount = leadingInt32(cols[c]);
    if (!amount) throw StepError("金額が大きすぎます: " + std::string(cols[c]));
    *value = *amount;
  }
  return side;
}

// The typed entry of a detail line; throws StepError when the line cannot be one.
JournalEntry readDetailLine(const std::vector<std::string_view>& cols, int64_t lineNo, bool yayoi,
                            Journal& journal) {
  if (cols.size() < kJournalColumns) throw StepError("列が足りません（29列以上必要です）");
  JournalEntry e;
  e.sourceLine = lineNo;
  const auto date = parseDate(cols[1]);
  if (!date) throw StepError("日付ではありません: " + std::string(cols[1]));
  e.date = *date;
  const auto voucher = leadingInt32(cols[2]);
  if (!voucher) throw StepError("伝票番号が大きすぎます: " + std::string(cols[2]));
  e.voucher = *voucher;
  e.voucherText = lasting(cols[2], journal);
  if (yayoi) e.colour = lasting(cols[5], journal);
  e.slipMark = lasting(cols[7], journal);
  e.debit = readSide(cols, 9, journal);
  e.credit = readSide(cols, 16, journal);
  if (!yayoi) {
    e.debit.accountCode = lasting(cols[5], journal);
    e.credit.accountCode = lasting(cols[6], journal);
  }
  e.description = lasting(cols[23], journal);
  e.recordCode = lasting(cols[28], journal);
  return e;
}

// A line of a UTF-8 journal as CP932 holds it. A description that loses characters is noted
// with its original text, so the conversion report can show what became "?".
std::string_view foldedLine(std::string_view line, int64_t lineNo, Journal& journal) {
  if (isAscii(line)) return line;
  std::string folded = foldToCp932(line);
  if (folded == line) return line;
  std::vector<std::string_view> cols;
  std::string scratch;
  if (cutQuotedFields(line, cols, scratch) && cols.size() >= kJournalColumns &&
      cols[0] == kDetailMarker && lacksCp932Characters(cols[23]))
    journal.foldedDescriptions.push_back({lineNo, std::string(cols[23])});
  return journal.keep(folded);
}

}  // namespace

StepResult importJournal(ConversionState& state, Platform& platform, const std::string& path,
                         Journal* journal) {
  Journal own;
  Journal& out = journal ? *journal : own;
  int64_t lineNo = 0;
  ErrorDetail failure;
  try {
    out.reset(path, {});
    state.journalRows.clear();
    auto source = readSourceText(path);
    if (!source) throw StepError(unreadableFileReason(path));
    const std::string& text = source->text;
    if (text.empty() || text.find('\0') != std::string::npos)
      throw StepError(unusableTextReason(path));
    const bool utf8 = source->utf8;
    out.reset(path, std::move(source->text));
    std::vector<std::string_view> lines = splitPlainView(out.text(), kCrLf);
    lines.pop_back();  // the part after the last CR LF

    platform.progressShow();
    platform.progressSetCaption("仕訳データ取込中");
    platform.progressSetValue(0);
    platform.progressSetMax(static_cast<int64_t>(lines.size()));

    const TextIndex byName =
        indexBy(state.workAccounts, TextIndex::Keep::First,
                [](const WorkAccount& a) -> std::string_view { return a.sourceName; });
    markAccountsBeforeRows(state, byName);

    const bool yayoi = state.sourcePackage != SourcePackage::BlueReturn;
    size_t first = 0;
    if (yayoi) {
      if (lines.size() < 2) {
        const std::string why = unusableTextReason(path);
        throw StepError(why.empty() ? "見出しの2行がありません" : why);
      }
      const bool firstMatches = headerMatches(lines[0], "帳票名", "仕訳日記帳");
      if (!firstMatches || !headerMatches(lines[1], "書式名", "汎用形式")) {
        const std::string why = firstMatches ? std::string() : unusableTextReason(path);
        state.lastErrorLocation = kLocationJournal;
        return StepResult::failure(path, firstMatches ? 2 : 1,
                                   why.empty() ? "汎用形式の仕訳日記帳ではありません" : why);
      }
      first = 2;
    }
    const TextIndex byCode =
        yayoi ? TextIndex{}
              : indexBy(state.workAccounts, TextIndex::Keep::First,
                        [](const WorkAccount& a) -> std::string_view { return a.sourceCode; });
    const auto& accountIndex = yayoi ? byName : byCode;

    if (journal) out.entries.reserve(lines.size() - first);
    int64_t counter = 0;
    std::vector<std::string_view> cols;
    std::string scratch;
    for (size_t i = first; i < lines.size(); ++i) {
      lineNo = static_cast<int64_t>(i) + 1;
      if (utf8) lines[i] = foldedLine(lines[i], lineNo, out);
      if (!cutQuotedFields(lines[i], cols, scratch))
        throw StepError("引用符（\"）が閉じていません");
      if (cols[0] == kDetailMarker) {
        if (state.journalRows.count() >= kJournalCapacity) {
          // Read first: a malformed line past the capacity is named as such.
          readDetailLine(cols, lineNo, yayoi, out);
          throw CapacityError("仕訳が多すぎます（30001行まで）");
        }
        const JournalEntry e = readDetailLine(cols, lineNo, yayoi, out);
        state.journalRows.append({state.journalRows.count() + 1, e.date, e.voucher});
        markInUse(state, accountIndex, e.debit.account);
        markInUse(state, accountIndex, e.credit.account);
        if (journal) out.entries.push_back(e);
      }
      ++counter;
      if (counter % 10 == 0) platform.progressSetValue(counter);
    }
    lineNo = 0;
    if (yayoi && state.journalRows.count() == 0) throw StepError("[明細行]の行がありません");
    return StepResult::success();
  } catch (const std::exception& e) {
    failure = ErrorDetail{path, lineNo, exceptionReason(e)};
  }
  state.lastErrorLocation = kLocationJournal;
  platform.message(std::string(kFormatMessage) + "\r\n" + failure.describe(), "Error",
                   MsgButtons::Ok);
  return StepResult::failure(std::move(failure));
}

}  // namespace ledra
