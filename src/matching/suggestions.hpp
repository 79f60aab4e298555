#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ledra {

struct ConversionState;

// A first suggestion scoring at least this is accepted by "accept all". A name that differs
// from the standard name only by blanks, width or kana scores 1; one with a short remark (up
// to three characters), 株式会社 or 口座 added scores 0.85 or more; two names that share
// most characters but differ in one (短期借入金 / 長期借入金 0.67, 未払法人税 / 未払法人税等
// 0.77) stay below it.
inline constexpr float kAcceptThreshold = 0.8f;
inline constexpr int kSuggestionsShown = 3;
// Below this a standard account shares little more than a last character (金, 費) with the
// name, which says nothing; it is not suggested.
inline constexpr float kMinimumScore = 0.3f;

struct Suggestion {
  int32_t candidate = -1;  // index into StandardAccountCandidates
  std::string ledraCode;
  std::string ledraName;
  float score = 0;
};

// The standard accounts' bigrams, indexed once, so that ranking one name costs the postings
// of its own bigrams rather than a pass over the whole chart.
class SuggestionIndex {
 public:
  explicit SuggestionIndex(const ConversionState& state);

  // Up to `count` standard accounts most like the name, best first (ties keep the chart's
  // order), skipping those marked in `excluded` (by candidate index, see usedCandidates) and
  // those scoring below kMinimumScore.
  std::vector<Suggestion> rank(std::string_view sourceName, int count,
                               const std::vector<bool>& excluded) const;

 private:
  struct Posting {
    int32_t candidate;
    float weight;
  };
  const ConversionState& state_;
  std::unordered_map<uint64_t, std::vector<Posting>> postings_;
  std::vector<float> totals_;
  mutable std::vector<float> shared_;  // scratch, all zero between calls
  mutable std::vector<int32_t> touched_;
};

// The standard accounts whose code some account already carries: a suggestion of one of them
// would be refused. By index into StandardAccountCandidates.
std::vector<bool> usedCandidates(const ConversionState& state);

// Accounts still to be mapped: valid and without a standard account.
bool needsSuggestion(const ConversionState& state, int32_t accountIndex);

struct AccountSuggestions {
  int32_t account = -1;
  std::vector<Suggestion> suggestions;
};
// Every account that needs one, in the accounts' order, with its best suggestions among the
// codes no account uses.
std::vector<AccountSuggestions> suggestUnmatched(const ConversionState& state,
                                                 const SuggestionIndex& index,
                                                 int count = kSuggestionsShown);

// The best suggestion for one account (none when it needs none or nothing is alike).
std::optional<Suggestion> bestSuggestion(const ConversionState& state, const SuggestionIndex& index,
                                         int32_t accountIndex);

// The picker's list with 候補自動検出 ticked: the suggestions first, then the other standard
// accounts whose name holds the first character of the source name, in the chart's order.
// Indexes into StandardAccountCandidates.
std::vector<int32_t> pickerListWithSuggestions(const ConversionState& state,
                                               const SuggestionIndex& index,
                                               std::string_view sourceName);

struct AcceptSummary {
  int32_t accepted = 0;
  int32_t belowThreshold = 0;        // accounts whose best suggestion scored too low
  std::vector<std::string> skipped;  // one Japanese line per account whose code was taken
  std::vector<std::string> lines() const;
};
// Accepts, in the accounts' order, every first suggestion scoring at least the threshold, as
// the picker's OK would: the code is checked against the codes in use and assigned with the
// standard account's name. A code an earlier account took in this pass is not given twice;
// that account is listed as skipped.
AcceptSummary acceptSuggestions(ConversionState& state, float threshold = kAcceptThreshold);

std::string formatScore(float score);

}  // namespace ledra
