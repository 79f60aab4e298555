#include "matching/suggestions.hpp"

#include <algorithm>
#include <cstdio>

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

std::vector<Suggestion> SuggestionIndex::rank(
    std::string_view sourceName, int count, const std::unordered_set<std::string>& excluded) const {
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
  std::vector<Suggestion> ranked;
  ranked.reserve(touched_.size());
  for (int32_t c : touched_) {
    float& s = shared_[static_cast<size_t>(c)];
    const StandardAccountCandidate& candidate = state_.standardAccountCandidates[c];
    const float score = 2 * s / (queryTotal + totals_[static_cast<size_t>(c)]);
    s = 0;
    if (score >= kMinimumScore && !excluded.contains(candidate.ledraCode))
      ranked.push_back({c, candidate.ledraCode, candidate.ledraName, score});
  }
  const auto better = [](const Suggestion& a, const Suggestion& b) {
    return a.score != b.score ? a.score > b.score : a.candidate < b.candidate;
  };
  const size_t keep = std::min(ranked.size(), static_cast<size_t>(std::max(count, 0)));
  std::partial_sort(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(keep),
                    ranked.end(), better);
  ranked.resize(keep);
  return ranked;
}

std::unordered_set<std::string> usedCodes(const ConversionState& state) {
  std::unordered_set<std::string> used;
  for (const WorkAccount& a : state.workAccounts)
    if (!a.ledraCode.empty()) used.insert(a.ledraCode);
  return used;
}

bool needsSuggestion(const ConversionState& state, int32_t accountIndex) {
  if (accountIndex < 0 || accountIndex >= state.workAccounts.count()) return false;
  const WorkAccount& a = state.workAccounts[accountIndex];
  return a.valid && a.ledraCode.empty();
}

std::vector<AccountSuggestions> suggestUnmatched(const ConversionState& state,
                                                 const SuggestionIndex& index, int count) {
  const std::unordered_set<std::string> used = usedCodes(state);
  std::vector<AccountSuggestions> out;
  for (int32_t i = 0; i < state.workAccounts.count(); ++i) {
    if (!needsSuggestion(state, i)) continue;
    out.push_back({i, index.rank(state.workAccounts[i].sourceName, count, used)});
  }
  return out;
}

std::optional<Suggestion> bestSuggestion(const ConversionState& state,
                                         const SuggestionIndex& index, int32_t accountIndex) {
  if (!needsSuggestion(state, accountIndex)) return std::nullopt;
  std::vector<Suggestion> best =
      index.rank(state.workAccounts[accountIndex].sourceName, 1, usedCodes(state));
  if (best.empty()) return std::nullopt;
  return best.front();
}

std::vector<int32_t> pickerListWithSuggestions(const ConversionState& state,
                                               const SuggestionIndex& index,
                                               std::string_view sourceName) {
  const std::vector<Suggestion> suggestions =
      index.rank(sourceName, kSuggestionsShown, usedCodes(state));
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
  out.push_back("候補がないか類似度が低く割り当てなかった勘定科目: " + std::to_string(belowThreshold) + "件");
  if (!skipped.empty()) {
    out.push_back("割り当てられなかった勘定科目: " + std::to_string(skipped.size()) + "件");
    for (const std::string& line : skipped) out.push_back("  " + line);
  }
  return out;
}

AcceptSummary acceptSuggestions(ConversionState& state, float threshold) {
  const SuggestionIndex index(state);
  const std::unordered_set<std::string> usedBefore = usedCodes(state);
  std::unordered_set<std::string> used = usedBefore;
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
    if (used.contains(s.ledraCode)) {
      summary.skipped.push_back(account.sourceCode + " " + account.sourceName + ": 候補(" +
                                s.ledraCode + " " + s.ledraName + ")は既に使用済みです。");
      continue;
    }
    if (assignStandardAccount(state, i, s.ledraCode, s.ledraName).applied()) {
      used.insert(s.ledraCode);
      ++summary.accepted;
    }
  }
  return summary;
}

}  // namespace ledra
