#include "matching/suggestions.hpp"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

#include "base/text.hpp"
#include "matching/mapping_operations.hpp"
#include "matching/name_similarity.hpp"
#include "state/conversion_state.hpp"

namespace ledra {

SuggestionIndex::SuggestionIndex(const ConversionState& state) : state_(state) {
  const int32_t n = state.standardAccountCandidates.count();
  totals_.resize(static_cast<size_t>(n));
  shared_.assign(static_cast<size_t>(n), 0.0f);
  for (int32_t i = 0; i < n; ++i) {
    const BigramWeights bigrams = nameBigrams(state.standardAccountCandidates[i].ledraName);
    totals_[static_cast<size_t>(i)] = totalWeight(bigrams);
    for (const auto& [key, weight] : bigrams) postings_[key].push_back({i, weight});
  }
}

std::vector<Suggestion> SuggestionIndex::rank(std::string_view sourceName, int count,
                                              const std::vector<bool>& excluded) const {
  const BigramWeights query = nameBigrams(sourceName);
  const float queryTotal = totalWeight(query);
  touched_.clear();
  for (const auto& [key, weight] : query) {
    auto it = postings_.find(key);
    if (it == postings_.end()) continue;
    for (const Posting& p : it->second) {
      float& s = shared_[static_cast<size_t>(p.candidate)];
      if (s == 0) touched_.push_back(p.candidate);
      s += std::min(weight, p.weight);
    }
  }
  // The best few kept in order as the candidates come: no sort of everything touched.
  const auto better = [](const Suggestion& x, const Suggestion& y) {
    return x.score != y.score ? x.score > y.score : x.candidate < y.candidate;
  };
  const size_t keep = static_cast<size_t>(std::max(count, 0));
  std::vector<Suggestion> ranked;
  ranked.reserve(keep + 1);
  for (int32_t c : touched_) {
    float& s = shared_[static_cast<size_t>(c)];
    const float score = 2 * s / (queryTotal + totals_[static_cast<size_t>(c)]);
    s = 0;
    if (score < kMinimumScore || excluded[static_cast<size_t>(c)]) continue;
    const Suggestion next{c, {}, {}, score};
    if (ranked.size() == keep && (keep == 0 || !better(next, ranked.back()))) continue;
    ranked.insert(std::upper_bound(ranked.begin(), ranked.end(), next, better), next);
    if (ranked.size() > keep) ranked.pop_back();
  }
  for (Suggestion& s : ranked) {
    s.ledraCode = state_.standardAccountCandidates[s.candidate].ledraCode;
    s.ledraName = state_.standardAccountCandidates[s.candidate].ledraName;
  }
  return ranked;
}

std::vector<bool> usedCandidates(const ConversionState& state) {
  std::unordered_set<std::string_view> codes;
  for (const WorkAccount& a : state.workAccounts)
    if (!a.ledraCode.empty()) codes.insert(a.ledraCode);
  std::vector<bool> used(static_cast<size_t>(state.standardAccountCandidates.count()));
  for (int32_t i = 0; i < state.standardAccountCandidates.count(); ++i)
    used[static_cast<size_t>(i)] = codes.contains(state.standardAccountCandidates[i].ledraCode);
  return used;
}

bool needsSuggestion(const ConversionState& state, int32_t accountIndex) {
  if (accountIndex < 0 || accountIndex >= state.workAccounts.count()) return false;
  const WorkAccount& a = state.workAccounts[accountIndex];
  return a.valid && a.ledraCode.empty();
}

std::vector<AccountSuggestions> suggestUnmatched(const ConversionState& state,
                                                 const SuggestionIndex& index, int count) {
  const std::vector<bool> used = usedCandidates(state);
  std::vector<AccountSuggestions> out;
  for (int32_t i = 0; i < state.workAccounts.count(); ++i) {
    if (!needsSuggestion(state, i)) continue;
    out.push_back({i, index.rank(state.workAccounts[i].sourceName, count, used)});
  }
  return out;
}

std::optional<Suggestion> bestSuggestion(const ConversionState& state, const SuggestionIndex& index,
                                         int32_t accountIndex) {
  if (!needsSuggestion(state, accountIndex)) return std::nullopt;
  std::vector<Suggestion> best =
      index.rank(state.workAccounts[accountIndex].sourceName, 1, usedCandidates(state));
  if (best.empty()) return std::nullopt;
  return best.front();
}

std::vector<int32_t> pickerListWithSuggestions(const ConversionState& state,
                                               const SuggestionIndex& index,
                                               std::string_view sourceName) {
  const std::vector<Suggestion> suggestions =
      index.rank(sourceName, kSuggestionsShown, usedCandidates(state));
  std::vector<int32_t> list;
  std::vector<bool> listed(static_cast<size_t>(state.standardAccountCandidates.count()), false);
  for (const Suggestion& s : suggestions) {
    list.push_back(s.candidate);
    listed[static_cast<size_t>(s.candidate)] = true;
  }
  const std::string first = firstChar(sourceName);
  for (int32_t i = 0; i < state.standardAccountCandidates.count(); ++i) {
    if (listed[static_cast<size_t>(i)]) continue;
    if (state.standardAccountCandidates[i].ledraName.find(first) == std::string::npos) continue;
    list.push_back(i);
  }
  return list;
}

std::string formatScore(float score) {
  char text[16];
  std::snprintf(text, sizeof text, "%.2f", static_cast<double>(score));
  return text;
}

std::vector<std::string> AcceptSummary::lines() const {
  std::vector<std::string> out;
  out.push_back("候補を割り当てた勘定科目: " + std::to_string(accepted) + "件");
  out.push_back(
      "候補がないか類似度が低く割り当てなかった勘定科目: " + std::to_string(belowThreshold) + "件");
  if (!skipped.empty()) {
    out.push_back("割り当てられなかった勘定科目: " + std::to_string(skipped.size()) + "件");
    for (const std::string& line : skipped) out.push_back("  " + line);
  }
  return out;
}

AcceptSummary acceptSuggestions(ConversionState& state, float threshold) {
  const SuggestionIndex index(state);
  const std::vector<bool> usedBefore = usedCandidates(state);
  std::unordered_set<std::string> taken;  // by code: a chart may list a code twice
  AcceptSummary summary;
  for (int32_t i = 0; i < state.workAccounts.count(); ++i) {
    if (!needsSuggestion(state, i)) continue;
    const WorkAccount& account = state.workAccounts[i];
    // Ranked as `suggest` lists them, against the codes used before the pass: an account whose
    // best match an earlier account took in this pass is told so rather than handed its second.
    const std::vector<Suggestion> best = index.rank(account.sourceName, 1, usedBefore);
    if (best.empty() || best.front().score < threshold) {
      ++summary.belowThreshold;
      continue;
    }
    const Suggestion& s = best.front();
    if (taken.contains(s.ledraCode)) {
      summary.skipped.push_back(account.sourceCode + " " + account.sourceName + ": 候補(" +
                                s.ledraCode + " " + s.ledraName + ")は既に使用済みです。");
      continue;
    }
    if (assignStandardAccount(state, i, s.ledraCode, s.ledraName).applied()) {
      taken.insert(s.ledraCode);
      ++summary.accepted;
    }
  }
  return summary;
}

}  // namespace ledra
