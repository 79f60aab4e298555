#include "platform/text_file.hpp"

#include <gtest/gtest.h>

#include "base/quoted_fields.hpp"
#include "support/fixtures.hpp"
#include "support/scripted_platform.hpp"
#include "support/temp_dir.hpp"

namespace ledra {
namespace {

using Lines = std::vector<std::string>;

TEST(ReadWholeTextFile, EveryLineEndsWithCrLf) {
  testing::TempDir dir;
  struct Case {
    const char* name;
    std::string bytes;
    std::string text;
  } cases[] = {
      {"crlf", "a,b\r\nc\r\n", "a,b\r\nc\r\n"},
      {"no final line end", "a,b\r\nc", "a,b\r\nc\r\n"},
      {"bare lf", "a\nb\n", "a\r\nb\r\n"},
      {"empty", "", ""},
      {"cp932", "\x8C\xBB\x8B\xE0\r\n", "現金\r\n"},
      {"utf-8 bom", "\xEF\xBB\xBF現金\r\n", "現金\r\n"},
  };
  for (const auto& c : cases) {
    const std::string path = dir.file("f.txt");
    testing::writeBytes(path, c.bytes);
    EXPECT_EQ(readWholeTextFile(path), c.text) << c.name;
  }
  EXPECT_FALSE(readWholeTextFile(dir.file("missing.txt")));
}

// Well-formed UTF-8 keeps what CP932 lacks, for the reader to note; anything else is read
// as readWholeTextFile reads it.
TEST(ReadSourceText, KeepsOnlyWellFormedUtf8AsWritten) {
  testing::TempDir dir;
  struct Case {
    const char* name;
    std::string bytes;
    std::string text;
    bool utf8;
  } cases[] = {
      {"utf-8 with emoji", "\xEF\xBB\xBF茶😀\n", "茶😀\r\n", true},
      {"malformed utf-8", "\xEF\xBB\xBF茶\xE3\x81,x\r\n", "茶??,x\r\n", false},
      {"cp932", "\x8C\xBB\x8B\xE0\r\n", "現金\r\n", false},
      {"half a mark", "\xEF\xBB", "?\r\n", false},
  };
  for (const auto& c : cases) {
    const std::string path = dir.file("f.txt");
    testing::writeBytes(path, c.bytes);
    const auto read = readSourceText(path);
    ASSERT_TRUE(read) << c.name;
    EXPECT_EQ(read->text, c.text) << c.name;
    EXPECT_EQ(read->utf8, c.utf8) << c.name;
  }
}

TEST(SplitQuotedText, CutsOnlyOutsideQuotes) {
  EXPECT_EQ(splitQuotedText("a,b\r\nc\r\n", "\r\n", false), (Lines{"a,b", "c", ""}));
  EXPECT_EQ(splitQuotedText("x,\"y\r\nz\",w\r\n", "\r\n", false), (Lines{"x,\"y\r\nz\",w", ""}));
  // An unbalanced quote keeps later line ends inside the same line.
  EXPECT_EQ(splitQuotedText("\"a\r\nb\r\nc", "\r\n", false), (Lines{"\"a\r\nb\r\nc"}));
  EXPECT_EQ(splitQuotedText("", "\r\n", false), (Lines{""}));
}

TEST(SplitQuotedText, SingleCharacterDelimiterAndQuoteRemoval) {
  EXPECT_EQ(splitQuotedText("\"a,b\",c", ",", false), (Lines{"\"a,b\"", "c"}));
  EXPECT_EQ(splitQuotedText("\"a\"\"b\",c", ",", true), (Lines{"a\"b", "c"}));
  EXPECT_EQ(splitQuotedText("\"a,b\",c", ",", true), (Lines{"a,b", "c"}));
  // A full-width delimiter is one character too, kept whole inside quotes.
  EXPECT_EQ(splitQuotedText("\"a、b\"、c、", "、", false), (Lines{"\"a、b\"", "c", ""}));
}

TEST(SplitQuotedText, ReportsProgressEveryHundredCharacters) {
  testing::ScriptedPlatform p;
  p.recordProgressValues = true;
  std::string text(250, 'x');
  splitQuotedText(text, "\r\n", false, &p);
  EXPECT_EQ(p.progressMax, 250);
  std::vector<int64_t> values;
  for (const auto& e : p.progress)
    if (e.kind == testing::ScriptedPlatform::ProgressEvent::Value) values.push_back(e.number);
  EXPECT_EQ(values, (std::vector<int64_t>{0, 100, 200}));
}

TEST(FileLineNumbers, CountsQuotedLineEnds) {
  EXPECT_EQ(fileLineNumbers({"a", "\"b\r\nc\"", "d"}), (std::vector<int64_t>{1, 2, 4}));
}

TEST(StripEnclosingQuotes, Cases) {
  EXPECT_EQ(stripEnclosingQuotes("\""), "\"");
  EXPECT_EQ(stripEnclosingQuotes("\"\""), "");
  EXPECT_EQ(stripEnclosingQuotes("\"abc\""), "abc");
  EXPECT_EQ(stripEnclosingQuotes("\"a\"\"b\""), "a\"\"b");
  EXPECT_EQ(stripEnclosingQuotes("abc\""), "abc\"");
}

}  // namespace
}  // namespace ledra
