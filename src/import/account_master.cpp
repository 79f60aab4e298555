#include "import/account_master.hpp"

#include "base/text.hpp"
#include "platform/file_io.hpp"
#include "platform/text_file.hpp"
#include "state/conversion_state.hpp"
#include "state/derived_lists.hpp"
#include "state/work_state_format.hpp"

namespace ledra {

StepResult loadStandardAccountMaster(ConversionState& state, const std::string& path,
                                     Platform* progress) {
  int64_t lineNo = 0;
  try {
    auto text = readWholeTextFile(path);
    if (!text) {
      return StepResult::failure({path, 0, unreadableFileReason(path)});
    }
    // A UTF-8 file without the mark would be read as CP932 and give garbled names.
    if (const std::string why = unusableTextReason(path); !why.empty() && !text->empty()) {
      return StepResult::failure({path, 0, why});
    }
    if (const auto opened = openQuoteLine(*text)) {
      return StepResult::failure({path, *opened, "引用符（\"）が閉じていません"});
    }
    CrLfLineReader lines(*text, progress);
    state.standardAccounts.clear();
    std::string_view line;
    int64_t fileLine = 0;
    int64_t userCodeLine = 0;
    while (lines.next(line, fileLine)) {
      if (line.empty()) continue;
      lineNo = fileLine;
      const auto cols = splitPlainView(line, ",");
      if (cols.size() < 5) throw StepError("列が足りません（5列以上必要です）");
      StandardAccount& a = state.standardAccounts.append();
      a.ledraCode = trimSpaces(cols[2]);
      a.ledraName = trimSpaces(cols[3]);
      a.masterValue5 = trimSpaces(cols[4]);
      if (!cols[0].empty()) {
        state.ledraUserCode = trimSpaces(cols[0]);
        state.ledraUserName = trimSpaces(cols[1]);
        userCodeLine = fileLine;
      }
    }
    lineNo = 0;
    // The code names the archive: one that would take it elsewhere is refused here.
    if (const std::string why = userCodeProblem(state.ledraUserCode); !why.empty()) {
      state.ledraUserCode.clear();
      state.ledraUserName.clear();
      lineNo = userCodeLine;
      throw StepError(why);
    }
    if (state.standardAccounts.count() == 0) throw StepError("勘定科目の行がありません");
    rebuildStandardAccountCandidates(state);
    return StepResult::success();
  } catch (const CapacityError&) {
    return StepResult::failure(path, lineNo, "勘定科目が多すぎます（2001件まで）");
  } catch (const std::exception& e) {
    return StepResult::failure(path, lineNo, exceptionReason(e));
  }
}

}  // namespace ledra
