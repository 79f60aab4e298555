#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text_file.hpp"
#include "support/scripted_platform.hpp"

namespace ledra {
namespace {

struct Part {
  std::string text;
  int64_t line;
  bool operator==(const Part&) const = default;
};

std::vector<Part> readAll(std::string_view text, Platform* progress = nullptr) {
  std::vector<Part> parts;
  CrLfLineReader reader(text, progress);
  std::string_view line;
  int64_t fileLine = 0;
  while (reader.next(line, fileLine)) parts.push_back({std::string(line), fileLine});
  return parts;
}

std::vector<Part> viaSplit(std::string_view text, Platform* progress = nullptr) {
  const auto lines = splitQuotedText(text, "\r\n", false, progress);
  const auto numbers = fileLineNumbers(lines);
  std::vector<Part> parts;
  for (size_t i = 0; i < lines.size(); ++i) parts.push_back({lines[i], numbers[i]});
  return parts;
}

// The reader stands in for splitQuotedText + fileLineNumbers on the import paths, so it must
// give the same parts and lines for every text, odd ones included.
TEST(CrLfLineReader, MatchesSplitQuotedText) {
  const std::string cases[] = {
      "",
      "a,b\r\nc\r\n",
      "a,b\r\nc",
      "\r\n\r\n",
      "x,\"y\r\nz\",w\r\nnext\r\n",
      "\"a\r\nb\r\nc",                       // unbalanced quote keeps the rest together
      "\"\"\"a\"\"\",b\r\n\"\"\r\n",         // doubled quotes
      "a\rb\r\n\"c\rd\"\r\n",                // lone CR
      "\"a\r\r\n\"\r\n",                     // CR before a quoted CR LF
      "m\x01n\r\n\"o\x02p\"\r\nq\x03r\r\n",  // the split's own mark bytes in the input
      "\"\x03\"\r\nlast",
      "現金,\"預\r\n金\"\r\n売上\r\n",
  };
  for (const std::string& text : cases) EXPECT_EQ(readAll(text), viaSplit(text)) << text;
}

TEST(CrLfLineReader, ReportsTheSameProgress) {
  std::string mixed;
  for (int i = 0; i < 60; ++i) mixed += "現金,\"a\r\nb\",12\r\n";
  mixed += "\x80\xE3\x81";  // malformed tail: counted as charLength counts it
  for (const std::string& text : {std::string(250, 'x'), mixed}) {
    testing::ScriptedPlatform split, reader;
    split.recordProgressValues = reader.recordProgressValues = true;
    splitQuotedText(text, "\r\n", false, &split);
    readAll(text, &reader);
    ASSERT_EQ(reader.progress.size(), split.progress.size());
    for (size_t i = 0; i < split.progress.size(); ++i) {
      EXPECT_EQ(reader.progress[i].kind, split.progress[i].kind) << i;
      EXPECT_EQ(reader.progress[i].number, split.progress[i].number) << i;
    }
  }
}

}  // namespace
}  // namespace ledra
