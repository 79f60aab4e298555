#include "matching/suggestions.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "state/conversion_state.hpp"

namespace ledra {
namespace {

ConversionState makeState() {
  ConversionState s;
  const std::pair<const char*, const char*> chart[] = {
      {"111", "現金"},     {"112", "普通預金"}, {"113", "当座預金"}, {"131", "売掛金"},
      {"132", "未収入金"}, {"411", "売上　高"}, {"631", "通信費"},   {"999", "売掛金"}};
  for (auto [code, name] : chart) s.standardAccountCandidates.append({code, name, false});
  const std::pair<const char*, const char*> accounts[] = {
      {"10", "ｹﾞﾝｷﾝ"},       {"20", "普通預金（みずほ）"}, {"30", "売掛金（得意先）"},
      {"40", "売上高"},      {"50", "通 信 費"},           {"60", "交際費"},
      {"70", "普通預金口座"}};
  for (auto [code, name] : accounts) {
    WorkAccount& a = s.workAccounts.append();
    a.sourceCode = code;
    a.sourceName = name;
    a.valid = true;
  }
  s.workAccounts[3].ledraCode = "411";  // already mapped
  s.workAccounts[3].ledraName = "売上　高";
  return s;
}

std::vector<std::string> codes(const std::vector<Suggestion>& list) {
  std::vector<std::string> out;
  for (const Suggestion& s : list) out.push_back(s.ledraCode);
  return out;
}

TEST(SuggestUnmatched, RanksByFoldedNameAndSkipsUsedCodes) {
  ConversionState s = makeState();
  const SuggestionIndex index(s);
  const std::vector<AccountSuggestions> all = suggestUnmatched(s, index);
  ASSERT_EQ(all.size(), 6u);  // every account but the mapped 売上高
  EXPECT_EQ(all[0].account, 0);
  EXPECT_TRUE(all[0].suggestions.empty());  // ｹﾞﾝｷﾝ is read, not 現金
  EXPECT_EQ(codes(all[1].suggestions), (std::vector<std::string>{"112", "113"}));
  // Two standard accounts of one name keep the chart's order; 未収入金 shares only 金.
  EXPECT_EQ(codes(all[2].suggestions), (std::vector<std::string>{"131", "999"}));
  EXPECT_GT(all[2].suggestions[0].score, 0.85f);
  EXPECT_EQ(codes(all[3].suggestions), (std::vector<std::string>{"631"}));
  EXPECT_FLOAT_EQ(all[3].suggestions[0].score, 1.0f);
  EXPECT_TRUE(all[4].suggestions.empty());

  s.workAccounts[1].ledraCode = "112";
  const std::optional<Suggestion> best = bestSuggestion(s, index, 6);
  ASSERT_TRUE(best);
  EXPECT_EQ(best->ledraCode, "113");          // 112 is used now
  EXPECT_FALSE(bestSuggestion(s, index, 1));  // mapped: nothing to suggest
}

TEST(PickerListWithSuggestions, PutsSuggestionsBeforeTheFirstCharacterMatches) {
  ConversionState s = makeState();
  const SuggestionIndex index(s);
  // Suggestions 131 and 999 first; then the other names holding 売 (売上　高).
  EXPECT_EQ(pickerListWithSuggestions(s, index, "売掛金（得意先）"),
            (std::vector<int32_t>{3, 7, 5}));
}

TEST(AcceptSuggestions, TakesFirstSuggestionsAboveTheThresholdOnce) {
  ConversionState s = makeState();
  WorkAccount& extra = s.workAccounts.append();
  extra.sourceCode = "80";
  extra.sourceName = "売掛金";
  extra.valid = true;
  const AcceptSummary summary = acceptSuggestions(s);
  EXPECT_EQ(summary.lines(), (std::vector<std::string>{
                                 "候補を割り当てた勘定科目: 3件",
                                 "候補がないか類似度が低く割り当てなかった勘定科目: 2件",
                                 "割り当てられなかった勘定科目: 2件",
                                 "  70 普通預金口座: 候補(112 普通預金)は既に使用済みです。",
                                 "  80 売掛金: 候補(131 売掛金)は既に使用済みです。",
                             }));
  EXPECT_EQ(s.workAccounts[1].ledraCode, "112");
  EXPECT_EQ(s.workAccounts[2].ledraName, "売掛金");
  EXPECT_TRUE(s.workAccounts[4].matched);
  EXPECT_TRUE(s.workAccounts[6].ledraCode.empty());
}

}  // namespace
}  // namespace ledra
