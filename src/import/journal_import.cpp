#include "import/journal_import.hpp"

#include <string_view>
#include <vector>

#include "base/dates.hpp"
#include "base/numbers.hpp"
#include "base/quoted_fields.hpp"
#include "base/text.hpp"
#include "base/text_index.hpp"
#include "platform/file_io.hpp"
#include "platform/platform.hpp"
#include "platform/text_file.hpp"
#include "state/conversion_state.hpp"

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
    if (!oneDepartment && row.col(2) != state.departmentTotalName) continue;
    if (row.linkAmount != 0) markInUse(state, byName, row.accountSourceName);
  }
  for (WorkAccount& a : state.workAccounts)
    if (a.hasSubAccounts) a.inUse = true;
}

}  // namespace

bool importJournal(ConversionState& state, Platform& platform, const std::string& path,
                   bool keepText) {
  int64_t lineNo = 0;
  state.heldJournalText = {};
  try {
    state.journalRows.clear();
    auto text = readWholeTextFile(path);
    if (!text) throw StepError(unreadableFileReason(path));
    if (text->empty() || text->find('\0') != std::string::npos)
      throw StepError(unusableTextReason(path));
    std::vector<std::string_view> lines = splitPlainView(*text, kCrLf);
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
        state.recordError(
            kLocationJournal,
            {path, firstMatches ? 2 : 1, why.empty() ? "汎用形式の仕訳日記帳ではありません" : why});
        return false;
      }
      first = 2;
    }
    const TextIndex byCode =
        yayoi ? TextIndex{}
              : indexBy(state.workAccounts, TextIndex::Keep::First,
                        [](const WorkAccount& a) -> std::string_view { return a.sourceCode; });
    const auto& accountIndex = yayoi ? byName : byCode;

    int64_t counter = 0;
    std::vector<std::string_view> cols;
    std::string scratch;
    for (size_t i = first; i < lines.size(); ++i) {
      lineNo = static_cast<int64_t>(i) + 1;
      if (!cutQuotedFields(lines[i], cols, scratch))
        throw StepError("引用符（\"）が閉じていません");
      if (cols[0] == kDetailMarker) {
        if (cols.size() < kJournalColumns) throw StepError("列が足りません（29列以上必要です）");
        const auto date = parseDate(cols[1]);
        if (!date) throw StepError("日付ではありません: " + std::string(cols[1]));
        const auto voucher = toInt32Rounded(leadingNumber(cols[2]));
        if (!voucher) throw StepError("伝票番号が大きすぎます: " + std::string(cols[2]));
        // The writer needs every amount in 32 bits; finding out here leaves the outputs alone.
        for (size_t c : {14, 15, 21, 22})
          if (!toInt32Rounded(leadingNumber(cols[c])))
            throw StepError("金額が大きすぎます: " + std::string(cols[c]));
        if (state.journalRows.count() >= kJournalCapacity)
          throw CapacityError("仕訳が多すぎます（30001行まで）");
        state.journalRows.append({state.journalRows.count() + 1, *date, *voucher});
        markInUse(state, accountIndex, cols[9]);
        markInUse(state, accountIndex, cols[16]);
      }
      ++counter;
      if (counter % 10 == 0) platform.progressSetValue(counter);
    }
    lineNo = 0;
    if (yayoi && state.journalRows.count() == 0) throw StepError("[明細行]の行がありません");
    if (keepText) state.heldJournalText = {path, std::move(*text), true};
    return true;
  } catch (const std::exception& e) {
    state.recordError(kLocationJournal, {path, lineNo, exceptionReason(e)});
  }
  platform.message(std::string(kFormatMessage) + "\r\n" + state.lastErrorDetail.describe(), "Error",
                   MsgButtons::Ok);
  return false;
}

}  // namespace ledra
