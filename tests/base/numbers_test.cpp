#include "base/numbers.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace ledra {
namespace {

TEST(Numbers, LeadingNumber) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {
      {"", 0},
      {"abc", 0},
      {"123", 123},
      {"  -45", -45},
      {"12abc", 12},
      {"1.5.3", 1.5},
      {"1e3", 1000},
      {"1e", 1},
      {"+7", 7},
      {"1 2 3", 123},
      {"-0.5", -0.5},
      {".25", 0.25},
      {"2007年", 2007},
      {"1,234", 1},
      {"-123456789012345", -123456789012345.0},
      {"9007199254740993", 9007199254740992.0},
  };
  for (const auto& c : cases) EXPECT_EQ(leadingNumber(c.text), c.value) << c.text;
  EXPECT_TRUE(std::signbit(leadingNumber("-0")));
}

TEST(Numbers, RoundingModes) {
  struct Case {
    double v, even, away;
  } cases[] = {{2.5, 2, 3},    {3.5, 4, 4}, {-2.5, -2, -3}, {-3.5, -4, -4},
               {1.4999, 1, 1}, {0.5, 0, 1}, {-0.5, 0, -1},  {7, 7, 7}};
  for (const auto& c : cases) {
    EXPECT_EQ(roundHalfEven(c.v), c.even) << c.v;
    EXPECT_EQ(roundHalfAway(c.v), c.away) << c.v;
  }
}

TEST(Numbers, StrictParse) {
  EXPECT_EQ(parseStrictNumber(" 123 "), 123);
  EXPECT_EQ(parseStrictNumber("-1.5"), -1.5);
  EXPECT_FALSE(parseStrictNumber(""));
  EXPECT_FALSE(parseStrictNumber("   "));
  EXPECT_FALSE(parseStrictNumber("12a"));
  EXPECT_FALSE(parseStrictNumber("-"));
  EXPECT_EQ(parseInteger("-42"), -42);
  EXPECT_FALSE(parseInteger(" 42"));
  EXPECT_FALSE(parseInteger("4.2"));
  EXPECT_FALSE(parseInteger(""));
}

TEST(Numbers, Int32Range) {
  EXPECT_EQ(toInt32Rounded(2147483647.0), 2147483647);
  EXPECT_FALSE(toInt32Rounded(2147483648.0));
  EXPECT_EQ(toInt32Rounded(-2147483648.0), -2147483647 - 1);
  EXPECT_EQ(toInt32Rounded(2.5), 2);
  EXPECT_TRUE(fitsInt32(int64_t{-2147483648LL}));
  EXPECT_FALSE(fitsInt32(int64_t{2147483648LL}));
}

TEST(Numbers, LeadingInt32ReadsWhatTheLenientReadReads) {
  struct Case {
    const char* text;
    std::optional<int32_t> value;
  } cases[] = {
      {"", 0},
      {"  ", 0},
      {"abc", 0},
      {"-", 0},
      {"0012", 12},
      {" - 4 5x", -45},
      {"+7", 7},
      {"1 2 3", 123},
      {"8円", 8},
      {"１２", 0},  // full-width digits are no number
      {"1e", 1},
      {"1e+", 1},
      {"2e3", 2000},
      {"5D2", 500},
      {"12.5", 12},
      {"13.5", 14},
      {"-2.5", -2},
      {"1,234", 1},
      {"-0", 0},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999999", std::nullopt},
      {"000000000000000000000042", 42},
      {"2147483647.4", 2147483647},
      {"2147483647.5", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(leadingInt32(c.text), c.value) << c.text;
    EXPECT_EQ(leadingInt32(c.text), toInt32Rounded(leadingNumber(c.text))) << c.text;
  }
}

TEST(Numbers, NumberFormatGroupsDigits) {
  EXPECT_EQ(numberFormat(0), "0");
  EXPECT_EQ(numberFormat(999), "999");
  EXPECT_EQ(numberFormat(1000), "1,000");
  EXPECT_EQ(numberFormat(1234567), "1,234,567");
  EXPECT_EQ(numberFormat(-1234), "-1,234");
  EXPECT_EQ(numberFormat(-2147483648LL), "-2,147,483,648");
}

TEST(Numbers, SingleTextReadsBack) {
  EXPECT_EQ(formatSingle(12.5f), "12.5");
  EXPECT_EQ(formatSingle(100.0f), "100");
  EXPECT_EQ(formatSingle(0.25f), "0.25");
  for (float f : {0.1f, 33.333332f, -7.75f, 1e-5f, 123456.79f}) {
    auto back = parseSingle(formatSingle(f));
    ASSERT_TRUE(back) << f;
    EXPECT_EQ(*back, f);
  }
  EXPECT_FALSE(parseSingle("x"));
}

}  // namespace
}  // namespace ledra
