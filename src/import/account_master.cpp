#include "import/account_master.hpp"

#include "base/text.hpp"
#include "platform/text_file.hpp"
#include "state/conversion_state.hpp"
#include "state/derived_lists.hpp"

namespace ledra {

bool loadStandardAccountMaster(ConversionState& state, const std::string& path,
                               Platform* progress) {
  int64_t lineNo = 0;
  try {
    auto text = readWholeTextFile(path);
    if (!text) {
      state.recordError(kLocationMaster, {path, 0, "ファイルを読み込めません"});
      return false;
    }
    CrLfLineReader lines(*text, progress);
    state.standardAccounts.clear();
    std::string_view line;
    int64_t fileLine = 0;
    while (lines.next(line, fileLine)) {
      if (line.empty()) continue;
      lineNo = fileLine;
      const auto cols = splitPlainView(line, ",");
      if (cols.size() < 5)
        throw StepError("列が足りません（5列以上必要です）");
      StandardAccount& a = state.standardAccounts.append();
      a.ledraCode = trimSpaces(cols[2]);
      a.ledraName = trimSpaces(cols[3]);
      a.masterValue5 = trimSpaces(cols[4]);
      if (!cols[0].empty()) {
        state.ledraUserCode = trimSpaces(cols[0]);
        state.ledraUserName = trimSpaces(cols[1]);
      }
    }
    lineNo = 0;
    rebuildStandardAccountCandidates(state);
    return true;
  } catch (const CapacityError&) {
    state.recordError(kLocationMaster, {path, lineNo, "勘定科目が多すぎます（2001件まで）"});
  } catch (const std::exception& e) {
    state.recordError(kLocationMaster, {path, lineNo, e.what()});
  }
  return false;
}

}  // namespace ledra
