#include "base/dates.hpp"

#include <gtest/gtest.h>

namespace ledra {
namespace {

TEST(Dates, SerialDayZeroIs30December1899) {
  EXPECT_EQ(makeDate(1899, 12, 30)->serial, 0);
  EXPECT_EQ(makeDate(1900, 1, 1)->serial, 2);
  EXPECT_EQ(makeDate(2007, 4, 1)->serial, 39173);
  EXPECT_EQ(toYmd(Date{39173}), (Ymd{2007, 4, 1}));
}

TEST(Dates, ParsesEveryAcceptedForm) {
  struct Case {
    const char* text;
    Ymd expected;
  } cases[] = {
      {"2007/04/01", {2007, 4, 1}},     {"2007/4/1", {2007, 4, 1}},
      {"2007-04-01", {2007, 4, 1}},     {"20070401", {2007, 4, 1}},
      {"2007年4月1日", {2007, 4, 1}},   {"平成19年04月01日", {2007, 4, 1}},
      {"令和元年5月1日", {2019, 5, 1}}, {"令和01年05月01日", {2019, 5, 1}},
      {"H20/04/01", {2008, 4, 1}},      {"H20/4/1", {2008, 4, 1}},
      {"R01/07/01", {2019, 7, 1}},      {"R.01/7/1", {2019, 7, 1}},
      {"昭和64年1月7日", {1989, 1, 7}}, {"平成元年1月8日", {1989, 1, 8}},
      {" 2008/02/29 ", {2008, 2, 29}},  {"明治01年01月01日", {1868, 1, 1}},
  };
  for (const auto& c : cases) {
    auto d = parseDate(c.text);
    ASSERT_TRUE(d) << c.text;
    EXPECT_EQ(toYmd(*d), c.expected) << c.text;
  }
}

TEST(Dates, RejectsImpossibleDates) {
  for (const char* text : {"2007/2/30", "2007/13/01", "2007/00/10", "2007/02", "07/04/01",
                           "昭和64年1月8日", "平成31年5月1日", "令和元年4月30日", "H0/1/1",
                           "2007/4/1x", "", "abc", "2007年4月1", "X19/4/1", "2007/4-1"}) {
    EXPECT_FALSE(parseDate(text)) << text;
  }
}

TEST(Dates, Formatting) {
  const Date d = *makeDate(2019, 5, 1);
  EXPECT_EQ(formatYmdCompact(d), "20190501");
  EXPECT_EQ(formatYmdSlash(d), "2019/05/01");
  EXPECT_EQ(formatEra(d), "令和01年05月01日");
  EXPECT_EQ(formatEra(*makeDate(2007, 4, 1)), "平成19年04月01日");
  EXPECT_EQ(formatEra(*makeDate(2019, 4, 30)), "平成31年04月30日");
  EXPECT_EQ(formatEra(*makeDate(1989, 1, 7)), "昭和64年01月07日");
  // What is written reads back as the same day.
  EXPECT_EQ(parseDate(formatEra(d)), d);
}

}  // namespace
}  // namespace ledra
