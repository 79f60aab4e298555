#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ledra {

// A calendar date as a day count; day 0 is 30 December 1899.
struct Date {
  int32_t serial = 0;
  auto operator<=>(const Date&) const = default;
};

struct Ymd {
  int year = 0;
  int month = 0;
  int day = 0;
  bool operator==(const Ymd&) const = default;
};

struct DateTime {
  Ymd date;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

bool isValidYmd(int year, int month, int day);
std::optional<Date> makeDate(int year, int month, int day);
Ymd toYmd(Date d);
int daysInMonth(int year, int month);

// Reads yyyy/mm/dd, yyyy/m/d, yyyy-mm-dd, yyyymmdd, yyyy年m月d日, 平成19年04月01日, 令和元年5月1日,
// H20/04/01, R.01/7/1. Surrounding half-width blanks are allowed. An impossible date
// (2007/2/30, 昭和64年1月8日) gives nothing.
std::optional<Date> parseDate(std::string_view text);

std::string formatYmdCompact(Date d);  // yyyymmdd
std::string formatYmdSlash(Date d);    // yyyy/mm/dd
// GGGEE年MM月DD日 with a two-digit era year (令和01年05月01日); empty before 明治.
std::string formatEra(Date d);

}  // namespace ledra
