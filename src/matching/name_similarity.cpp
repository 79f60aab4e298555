#include "matching/name_similarity.hpp"

#include <algorithm>
#include <array>

#include "base/text.hpp"

namespace ledra {
namespace {

constexpr float kAffixWeight = 0.25f;
constexpr char32_t kStartMark = 1;
constexpr char32_t kEndMark = 2;

// Half-width katakana U+FF66..U+FF9D in the order of the block.
constexpr std::u32string_view kHalfKana =
    U"ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモ"
    U"ヤユヨラリルレロワン";

bool takesVoicedMark(char32_t c) {
  return (c >= U'カ' && c <= U'ド' && c != U'ッ') || (c >= U'ハ' && c <= U'ポ') || c == U'ウ';
}

// Adds the voiced (dakuten) or semi-voiced (handakuten) mark to the katakana before it, when
// that katakana has such a form; otherwise the mark is dropped like any symbol.
void addVoicedMark(std::u32string& out, bool semi) {
  if (out.empty()) return;
  char32_t& c = out.back();
  if (c == U'ウ' && !semi) {
    c = U'ヴ';
    return;
  }
  if (!takesVoicedMark(c)) return;
  if (c >= U'ハ' && c <= U'ポ') {
    const int offset = static_cast<int>(c - U'ハ') % 3;
    if (offset == 0) c += semi ? 2 : 1;
    return;
  }
  // カ..ド alternate plain and voiced, except around the small ッ.
  const bool plain = c < U'ッ' ? (c - U'カ') % 2 == 0 : (c - U'ツ') % 2 == 0;
  if (plain && !semi) c += 1;
}

bool isOpenBracket(char32_t c) {
  return c == U'(' || c == U'[' || c == U'{' || c == U'（' || c == U'［' || c == U'｛' ||
         c == U'【' || c == U'〔' || c == U'「' || c == U'『' || c == U'〈' || c == U'《' ||
         c == U'｢';
}
bool isCloseBracket(char32_t c) {
  return c == U')' || c == U']' || c == U'}' || c == U'）' || c == U'］' || c == U'｝' ||
         c == U'】' || c == U'〕' || c == U'」' || c == U'』' || c == U'〉' || c == U'》' ||
         c == U'｣';
}

bool isSymbol(char32_t c) {
  if (c < 0x80)
    return !((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'));
  if (c >= 0x3000 && c <= 0x303F) return c != U'々' && c != U'〇';
  if (c >= 0x2000 && c <= 0x2BFF) return true;  // punctuation, arrows, shapes
  if (c == U'・' || c == U'･' || c == U'｡' || c == U'､') return true;
  if (c >= 0xFF01 && c <= 0xFF0F) return true;
  return c == 0x00A0 || c == 0x00B7 || c == 0xFFE5 || c == 0x00A5;
}

uint64_t bigramKey(char32_t a, char32_t b) { return (uint64_t{a} << 32) | b; }

void addBigrams(BigramWeights& out, std::u32string_view text, float weight) {
  if (text.empty()) return;
  char32_t previous = kStartMark;
  for (char32_t c : text) {
    out.emplace_back(bigramKey(previous, c), weight);
    previous = c;
  }
  out.emplace_back(bigramKey(previous, kEndMark), weight);
}

}  // namespace

std::u32string foldForMatching(std::string_view name) {
  std::u32string out;
  size_t pos = 0;
  while (pos < name.size()) {
    char32_t c = nextCodePoint(name, pos);
    if (c >= 0xFF01 && c <= 0xFF5E && !isOpenBracket(c) && !isCloseBracket(c)) c -= 0xFEE0;
    if (c >= 'a' && c <= 'z') c -= 0x20;
    if (c >= 0x3041 && c <= 0x3096) c += 0x60;  // hiragana to katakana
    if (c >= 0xFF66 && c <= 0xFF9D) c = kHalfKana[c - 0xFF66];
    if (c == 0xFF9E || c == 0x3099 || c == 0x309B) {
      addVoicedMark(out, false);
      continue;
    }
    if (c == 0xFF9F || c == 0x309A || c == 0x309C) {
      addVoicedMark(out, true);
      continue;
    }
    if (isOpenBracket(c)) {
      out.push_back(U'(');
      continue;
    }
    if (isCloseBracket(c)) {
      out.push_back(U')');
      continue;
    }
    if (c == U' ' || c == U'\t' || c == 0x3000 || isSymbol(c)) continue;
    out.push_back(c);
  }
  return out;
}

FoldedName splitName(std::string_view name) {
  // Bracketed forms such as (株) are remarks already.
  static constexpr std::array<std::u32string_view, 4> kAffixWords = {U"株式会社", U"有限会社",
                                                                     U"合同会社", U"口座"};
  const std::u32string folded = foldForMatching(name);
  FoldedName result;
  std::u32string outside;
  std::u32string inside;
  int depth = 0;
  for (char32_t c : folded) {
    if (c == U'(') {
      if (depth++ == 0) outside.push_back(U'\0');  // a remark splits the name
      continue;
    }
    if (c == U')') {
      if (depth > 0 && --depth == 0 && !inside.empty()) {
        result.affixes.push_back(std::move(inside));
        inside.clear();
      }
      continue;
    }
    (depth > 0 ? inside : outside).push_back(c);
  }
  if (!inside.empty()) result.affixes.push_back(std::move(inside));  // a remark never closed

  for (std::u32string_view word : kAffixWords) {
    for (size_t at = outside.find(word); at != std::u32string::npos; at = outside.find(word)) {
      result.affixes.emplace_back(word);
      outside.replace(at, word.size(), 1, U'\0');
    }
  }
  for (char32_t c : outside)
    if (c != U'\0') result.core.push_back(c);
  // A name that is all remark is compared by its remark.
  if (result.core.empty() && !result.affixes.empty()) {
    result.core = std::move(result.affixes.front());
    result.affixes.erase(result.affixes.begin());
  }
  return result;
}

BigramWeights nameBigrams(std::string_view name) {
  const FoldedName folded = splitName(name);
  BigramWeights out;
  addBigrams(out, folded.core, 1.0f);
  for (const std::u32string& affix : folded.affixes) addBigrams(out, affix, kAffixWeight);
  std::sort(out.begin(), out.end());
  // A bigram that occurs twice weighs twice.
  size_t kept = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    if (kept > 0 && out[kept - 1].first == out[i].first)
      out[kept - 1].second += out[i].second;
    else
      out[kept++] = out[i];
  }
  out.resize(kept);
  return out;
}

float totalWeight(const BigramWeights& bigrams) {
  float sum = 0;
  for (const auto& [key, weight] : bigrams) sum += weight;
  return sum;
}

float nameSimilarity(std::string_view a, std::string_view b) {
  const BigramWeights x = nameBigrams(a);
  const BigramWeights y = nameBigrams(b);
  const float total = totalWeight(x) + totalWeight(y);
  if (total <= 0) return 0;
  float shared = 0;
  for (size_t i = 0, j = 0; i < x.size() && j < y.size();) {
    if (x[i].first < y[j].first) {
      ++i;
    } else if (y[j].first < x[i].first) {
      ++j;
    } else {
      shared += std::min(x[i++].second, y[j++].second);
    }
  }
  return 2 * shared / total;
}

}  // namespace ledra
