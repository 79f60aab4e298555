#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ledra {

// An account name folded for comparison: widths and kana unified, blanks and symbols dropped,
// and split into the name proper and its affixes (bracketed remarks, 株式会社, 口座), which
// say little about which account is meant.
struct FoldedName {
  std::u32string core;
  std::vector<std::u32string> affixes;
};

// Full-width ASCII to ASCII, half-width katakana to full-width (voiced marks composed),
// hiragana to katakana, Latin letters upper-cased; blanks and symbols removed. Brackets of
// every width become '(' and ')' so that the caller can find remarks.
std::u32string foldForMatching(std::string_view name);
FoldedName splitName(std::string_view name);

// Character bigrams (with start and end marks) and their weights, sorted by bigram with each
// bigram once: affix bigrams count a quarter of those of the name proper.
using BigramWeights = std::vector<std::pair<uint64_t, float>>;
BigramWeights nameBigrams(std::string_view name);
float totalWeight(const BigramWeights& bigrams);

// Weighted Dice coefficient of the two names' bigrams: 1 for names that fold alike, 0 for
// names with nothing in common.
float nameSimilarity(std::string_view a, std::string_view b);

}  // namespace ledra
