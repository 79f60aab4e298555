#include "base/numbers.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace ledra {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Scans a number at s[pos..]; returns the characters consumed as a plain C locale text.
std::string scanNumber(std::string_view s, size_t& pos, bool skipInnerBlanks) {
  std::string out;
  auto skip = [&] {
    while (skipInnerBlanks && pos < s.size() && isBlank(s[pos])) ++pos;
  };
  skip();
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
    out += s[pos++];
    skip();
  }
  bool digits = false;
  while (pos < s.size() && isDigit(s[pos])) {
    out += s[pos++];
    digits = true;
    skip();
  }
  if (pos < s.size() && s[pos] == '.') {
    out += s[pos++];
    skip();
    while (pos < s.size() && isDigit(s[pos])) {
      out += s[pos++];
      digits = true;
      skip();
    }
  }
  if (!digits) return {};
  if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E' || s[pos] == 'd' || s[pos] == 'D')) {
    size_t p = pos + 1;
    std::string exp = "e";
    if (p < s.size() && (s[p] == '+' || s[p] == '-')) exp += s[p++];
    bool expDigits = false;
    while (p < s.size() && isDigit(s[p])) {
      exp += s[p++];
      expDigits = true;
    }
    if (expDigits) {
      out += exp;
      pos = p;
    }
  }
  return out;
}

double toDouble(const std::string& text) {
  if (text.empty()) return 0;
  // A plain integer of up to 15 digits is exact as a double: no need for strtod.
  const size_t digitsFrom = (text[0] == '+' || text[0] == '-') ? 1 : 0;
  const size_t digits = text.size() - digitsFrom;
  if (digits > 0 && digits <= 15 &&
      std::all_of(text.begin() + static_cast<std::ptrdiff_t>(digitsFrom), text.end(), isDigit)) {
    int64_t value = 0;
    for (size_t i = digitsFrom; i < text.size(); ++i) value = value * 10 + (text[i] - '0');
    return text[0] == '-' ? -static_cast<double>(value) : static_cast<double>(value);
  }
  return std::strtod(text.c_str(), nullptr);
}
}  // namespace

double leadingNumber(std::string_view s) {
  size_t pos = 0;
  return toDouble(scanNumber(s, pos, true));
}

double roundHalfEven(double v) {
  const double f = std::floor(v);
  const double diff = v - f;
  if (diff > 0.5) return f + 1;
  if (diff < 0.5) return f;
  return std::fmod(f, 2.0) == 0 ? f : f + 1;
}

double roundHalfAway(double v) { return v < 0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5); }

std::optional<double> parseStrictNumber(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  s = s.substr(b, e - b);
  if (s.empty()) return std::nullopt;
  size_t pos = 0;
  const std::string text = scanNumber(s, pos, false);
  if (text.empty() || pos != s.size()) return std::nullopt;
  const double v = toDouble(text);
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<int64_t> parseInteger(std::string_view s) {
  if (s.empty()) return std::nullopt;
  size_t start = (s[0] == '-' || s[0] == '+') ? 1 : 0;
  if (start == s.size()) return std::nullopt;
  for (size_t i = start; i < s.size(); ++i)
    if (!isDigit(s[i])) return std::nullopt;
  int64_t v = 0;
  const char* first = s.data() + (s[0] == '+' ? 1 : 0);
  auto [ptr, ec] = std::from_chars(first, s.data() + s.size(), v);
  if (ec != std::errc() || ptr != s.data() + s.size()) return std::nullopt;
  return v;
}

bool fitsInt32(int64_t v) {
  return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

bool fitsInt32(double v) { return std::isfinite(v) && v >= -2147483648.0 && v <= 2147483647.0; }

std::optional<int32_t> toInt32Rounded(double v) {
  const double r = roundHalfEven(v);
  if (!fitsInt32(r)) return std::nullopt;
  return static_cast<int32_t>(r);
}

std::optional<int32_t> leadingInt32(std::string_view s) {
  // The same scan as scanNumber's, as long as the text is a plain integer; a decimal point or
  // an exponent sends it the lenient way.
  size_t pos = 0;
  const auto skip = [&] {
    while (pos < s.size() && isBlank(s[pos])) ++pos;
  };
  skip();
  bool negative = false;
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
    negative = s[pos++] == '-';
    skip();
  }
  constexpr int64_t kBeyond = int64_t{1} << 32;  // saturates: anything past it fails the same
  int64_t magnitude = 0;
  bool digits = false;
  while (pos < s.size() && isDigit(s[pos])) {
    magnitude = std::min(kBeyond, magnitude * 10 + (s[pos++] - '0'));
    digits = true;
    skip();
  }
  if (pos < s.size() && s[pos] == '.') return toInt32Rounded(leadingNumber(s));
  if (!digits) return 0;
  if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E' || s[pos] == 'd' || s[pos] == 'D')) {
    size_t p = pos + 1;
    if (p < s.size() && (s[p] == '+' || s[p] == '-')) ++p;
    if (p < s.size() && isDigit(s[p])) return toInt32Rounded(leadingNumber(s));
  }
  const int64_t value = negative ? -magnitude : magnitude;
  if (!fitsInt32(value)) return std::nullopt;
  return static_cast<int32_t>(value);
}

std::string numberFormat(int64_t value) {
  const bool negative = value < 0;
  // Work on the magnitude as unsigned so that the smallest value keeps its digits.
  uint64_t mag =
      negative ? uint64_t(0) - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  std::string digits = std::to_string(mag);
  std::string out;
  const size_t n = digits.size();
  for (size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return negative ? "-" + out : out;
}

std::string formatSingle(float v) {
  char buf[64];
  auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v);
  if (ec != std::errc()) return "0";
  return std::string(buf, ptr);
}

std::optional<float> parseSingle(std::string_view s) {
  if (!parseStrictNumber(s)) return std::nullopt;
  size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  if (b < e && s[b] == '+') ++b;
  float f = 0;
  // from_chars reads the decimal text straight to float, so a written value reads back exactly.
  auto [ptr, ec] = std::from_chars(s.data() + b, s.data() + e, f);
  if (ec != std::errc() || ptr != s.data() + e || !std::isfinite(f)) return std::nullopt;
  return f;
}

std::string zeroPad(int64_t value, int width) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  if (static_cast<int>(digits.size()) < width)
    digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
  return value < 0 ? "-" + digits : digits;
}

}  // namespace ledra
