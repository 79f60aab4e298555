#include "base/text.hpp"

#include <gtest/gtest.h>

namespace ledra {
namespace {

TEST(Text, CodePointHelpers) {
  EXPECT_EQ(charLength("現金abc"), 5u);
  EXPECT_EQ(firstChar("現金"), "現");
  EXPECT_EQ(firstChar(""), "");
  EXPECT_EQ(leftChars("売掛金です", 3), "売掛金");
  EXPECT_EQ(fromU32(toU32("①～a")), "①～a");
  // A stray continuation byte is one replacement character, not a lost tail.
  EXPECT_EQ(toU32("a\x80z"), (std::u32string{U'a', kReplacementChar, U'z'}));
}

TEST(Text, BlanksAndTrimming) {
  EXPECT_EQ(removeBlanks(" 現　金 "), "現金");
  EXPECT_EQ(removeBlanks("　"), "");
  EXPECT_EQ(trimSpaces("  Shop  "), "Shop");
  EXPECT_EQ(trimSpaces("　全角　"), "　全角　");  // only half-width spaces are trimmed
}

TEST(Text, UpperCasesAsciiAndFullWidthLatinOnly) {
  EXPECT_EQ(toUpperLatin("abc-ｘｙｚ-現金-Ä"), "ABC-ＸＹＺ-現金-Ä");
}

TEST(Text, SplitPlain) {
  EXPECT_EQ(splitPlain("a,b,,c", ","), (std::vector<std::string>{"a", "b", "", "c"}));
  EXPECT_EQ(splitPlain("", ","), (std::vector<std::string>{""}));
  EXPECT_EQ(splitPlain("x\r\ny\r\n", "\r\n"), (std::vector<std::string>{"x", "y", ""}));
  EXPECT_EQ(replaceAll("a(共通)b(共通)", "(共通)", ""), "ab");
}

}  // namespace
}  // namespace ledra
