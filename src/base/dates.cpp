#include "base/dates.hpp"

#include <array>
#include <cstdio>

#include "base/numbers.hpp"
#include "base/text.hpp"

namespace ledra {

namespace {

// Days from 1970-01-01 (H. Hinnant's civil algorithm).
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

Ymd civilFromDays(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t y = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return Ymd{static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

const int64_t kSerialEpoch = daysFromCivil(1899, 12, 30);

struct Era {
  const char* name;
  char letter;
  Ymd start;
};

constexpr std::array<Era, 5> kEras = {{
    {"明治", 'M', {1868, 1, 1}},
    {"大正", 'T', {1912, 7, 30}},
    {"昭和", 'S', {1926, 12, 25}},
    {"平成", 'H', {1989, 1, 8}},
    {"令和", 'R', {2019, 5, 1}},
}};

Date serialOf(const Ymd& y) {
  return Date{static_cast<int32_t>(daysFromCivil(y.year, y.month, y.day) - kSerialEpoch)};
}

std::optional<Date> fromEra(size_t eraIndex, int eraYear, int month, int day) {
  if (eraYear < 1) return std::nullopt;
  const Era& era = kEras[eraIndex];
  auto d = makeDate(era.start.year + eraYear - 1, month, day);
  if (!d) return std::nullopt;
  if (*d < serialOf(era.start)) return std::nullopt;
  if (eraIndex + 1 < kEras.size() && !(*d < serialOf(kEras[eraIndex + 1].start)))
    return std::nullopt;
  return d;
}

// Reads a run of ASCII digits at s[pos]; at most maxDigits.
std::optional<int> readNumber(std::string_view s, size_t& pos, size_t maxDigits = 4) {
  size_t start = pos;
  int v = 0;
  while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9' && pos - start < maxDigits) {
    v = v * 10 + (s[pos] - '0');
    ++pos;
  }
  if (pos == start) return std::nullopt;
  return v;
}

bool take(std::string_view s, size_t& pos, std::string_view what) {
  if (s.substr(pos).starts_with(what)) {
    pos += what.size();
    return true;
  }
  return false;
}

// y<sep>m<sep>d with one separator, or the Japanese 年月日 form; the whole text must be used.
bool readMonthDay(std::string_view s, size_t& pos, bool kanji, char sep, int& m, int& d) {
  auto mm = readNumber(s, pos, 2);
  if (!mm) return false;
  if (kanji ? !take(s, pos, "月") : !take(s, pos, std::string_view(&sep, 1))) return false;
  auto dd = readNumber(s, pos, 2);
  if (!dd) return false;
  if (kanji && !take(s, pos, "日")) return false;
  m = *mm;
  d = *dd;
  return pos == s.size();
}

}  // namespace

int daysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  if (month == 2) {
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return leap ? 29 : 28;
  }
  return kDays[month - 1];
}

bool isValidYmd(int year, int month, int day) {
  return year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= daysInMonth(year, month);
}

std::optional<Date> makeDate(int year, int month, int day) {
  if (!isValidYmd(year, month, day)) return std::nullopt;
  return serialOf(Ymd{year, month, day});
}

Ymd toYmd(Date d) { return civilFromDays(d.serial + kSerialEpoch); }

std::optional<Date> parseDate(std::string_view text) {
  const std::string trimmed = trimSpaces(text);
  std::string_view s = trimmed;
  if (s.empty()) return std::nullopt;
  size_t pos = 0;
  int m = 0, d = 0;

  // Era forms.
  for (size_t e = 0; e < kEras.size(); ++e) {
    size_t p = 0;
    if (take(s, p, kEras[e].name)) {
      int eraYear = 0;
      if (take(s, p, "元")) {
        eraYear = 1;
      } else if (auto y = readNumber(s, p, 2)) {
        eraYear = *y;
      } else {
        return std::nullopt;
      }
      if (!take(s, p, "年")) return std::nullopt;
      if (!readMonthDay(s, p, true, 0, m, d)) return std::nullopt;
      return fromEra(e, eraYear, m, d);
    }
    const char letter = kEras[e].letter;
    if (s[0] == letter || s[0] == letter + ('a' - 'A')) {
      p = 1;
      take(s, p, ".");
      auto y = readNumber(s, p, 2);
      if (!y || p >= s.size()) return std::nullopt;
      const char sep = s[p];
      if (sep != '/' && sep != '-' && sep != '.') return std::nullopt;
      ++p;
      if (!readMonthDay(s, p, false, sep, m, d)) return std::nullopt;
      return fromEra(e, *y, m, d);
    }
  }

  // Western forms.
  auto y = readNumber(s, pos, 8);
  if (!y) return std::nullopt;
  if (pos == s.size()) {
    if (pos != 8) return std::nullopt;  // yyyymmdd
    return makeDate(*y / 10000, (*y / 100) % 100, *y % 100);
  }
  if (pos != 4) return std::nullopt;
  if (take(s, pos, "年")) {
    if (!readMonthDay(s, pos, true, 0, m, d)) return std::nullopt;
    return makeDate(*y, m, d);
  }
  const char sep = s[pos];
  if (sep != '/' && sep != '-') return std::nullopt;
  ++pos;
  if (!readMonthDay(s, pos, false, sep, m, d)) return std::nullopt;
  return makeDate(*y, m, d);
}

std::string formatYmdCompact(Date d) {
  const Ymd y = toYmd(d);
  return zeroPad(y.year, 4) + zeroPad(y.month, 2) + zeroPad(y.day, 2);
}

std::string formatYmdSlash(Date d) {
  const Ymd y = toYmd(d);
  return zeroPad(y.year, 4) + "/" + zeroPad(y.month, 2) + "/" + zeroPad(y.day, 2);
}

std::string formatEra(Date d) {
  for (size_t e = kEras.size(); e-- > 0;) {
    if (!(d < serialOf(kEras[e].start))) {
      const Ymd y = toYmd(d);
      const int eraYear = y.year - kEras[e].start.year + 1;
      return std::string(kEras[e].name) + zeroPad(eraYear, 2) + "年" + zeroPad(y.month, 2) + "月" +
             zeroPad(y.day, 2) + "日";
    }
  }
  return {};
}

}  // namespace ledra
