#include "app/map_command.hpp"

#include <stdexcept>

#include "matching/mapping_operations.hpp"
#include "matching/suggestions.hpp"
#include "platform/platform.hpp"
#include "state/conversion_state.hpp"

namespace ledra {

MapChange parseSetChange(const std::string& text) {
  const size_t eq = text.find('=');
  if (eq == std::string::npos || eq == 0)
    throw std::invalid_argument("--set は 科目コード=Ledraコード の形で指定してください: " + text);
  return {MapChange::Set, text.substr(0, eq), text.substr(eq + 1), ""};
}

MapChange parseSubCodeChange(const std::string& text) {
  const size_t slash = text.find('/');
  const size_t eq = text.rfind('=');
  if (slash == std::string::npos || slash == 0 || eq == std::string::npos || eq < slash + 2)
    throw std::invalid_argument(
        "--sub-code は 科目コード/補助科目名=コード の形で指定してください: " + text);
  return {MapChange::SubCode, text.substr(0, slash), text.substr(eq + 1),
          text.substr(slash + 1, eq - slash - 1)};
}

bool applyMapChanges(ConversionState& state, Platform& platform,
                     const std::vector<MapChange>& changes) {
  const MappingBatch batch(state);  // a run may carry thousands of changes
  for (const MapChange& c : changes) {
    auto account = findAccountBySourceCode(state, c.sourceCode);
    if (!account) {
      platform.message("勘定科目コード(" + c.sourceCode + ")の勘定科目が存在しません。", "エラー");
      return false;
    }
    MappingResult r;
    switch (c.kind) {
      case MapChange::Set:
        r = enterAccountCode(state, platform, *account, c.value);
        break;
      case MapChange::Invalidate:
        r = setAccountValid(state, platform, *account, false);
        break;
      case MapChange::Validate:
        r = setAccountValid(state, platform, *account, true);
        break;
      case MapChange::SubCode:
        r = setSubAccountCode(state, c.sourceCode, c.subAccount, c.value);
        if (r.refusal == MappingRefusal::NoSuchChoice ||
            r.refusal == MappingRefusal::NoSuchSubAccount) {
          platform.message(
              r.refusal == MappingRefusal::NoSuchChoice
                  ? "勘定科目(" + c.sourceCode + ")には補助科目がありません。"
                  : "補助科目(" + c.sourceCode + "/" + c.subAccount + ")が存在しません。",
              "エラー");
        }
        break;
    }
    if (!r.ok()) return false;
  }
  return true;
}

std::vector<std::string> suggestionLines(const ConversionState& state) {
  const SuggestionIndex index(state);
  std::vector<std::string> lines;
  for (const AccountSuggestions& a : suggestUnmatched(state, index)) {
    const WorkAccount& account = state.workAccounts[a.account];
    std::string line = account.sourceCode + "\t" + account.sourceName;
    for (const Suggestion& s : a.suggestions)
      line += "\t" + s.ledraCode + "\t" + s.ledraName + "\t" + formatScore(s.score);
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace ledra
