#include "platform/cp932.hpp"

#include <gtest/gtest.h>

namespace ledra {
namespace {

TEST(Cp932, RoundTripsTheMicrosoftVariant) {
  const std::string text = "現金・①～ｱ髙";
  const std::string bytes = encodeCp932(text);
  EXPECT_EQ(bytes.substr(0, 4), "\x8C\xBB\x8B\xE0");  // 現金
  EXPECT_EQ(bytes.substr(4, 2), "\x81\x45");          // ・
  EXPECT_EQ(bytes.substr(6, 2), "\x87\x40");          // ① (NEC row)
  EXPECT_EQ(bytes.substr(8, 2), "\x81\x60");          // ～ (U+FF5E)
  EXPECT_EQ(bytes.substr(10, 1), "\xB1");             // half-width ｱ
  EXPECT_EQ(decodeCp932(bytes), text);
  EXPECT_EQ(decodeCp932("\x81\x60"), "～");
}

TEST(Cp932, UnencodableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(encodeCp932("a😀b€"), "a?b?");
  EXPECT_EQ(cp932Width(U'😀'), 1);
  EXPECT_EQ(cp932Width(U'現'), 2);
  EXPECT_EQ(cp932Width(U'ｱ'), 1);
  EXPECT_EQ(cp932Width(U'A'), 1);
}

TEST(Cp932, AsciiRunsOfEveryLengthBetweenCharactersKeepTheirPlaces) {
  // Runs of 0 to 17 bytes put each character at every place of the eight-byte words the codec
  // copies; each text twice, so that the second time answers from what the first one cached.
  for (size_t run = 0; run <= 17; ++run) {
    const std::string ascii(run, static_cast<char>('a' + run % 26));
    const std::string text = ascii + "現" + ascii + "€" + ascii + "ｱ" + ascii;
    const std::string bytes = ascii + "\x8C\xBB" + ascii + "?" + ascii + "\xB1" + ascii;
    for (int pass = 0; pass < 2; ++pass) {
      EXPECT_EQ(encodeCp932(text), bytes) << run;
      std::string appended = "前";
      appendCp932(appended, text);
      EXPECT_EQ(appended, "前" + bytes) << run;
      EXPECT_EQ(decodeCp932(bytes), ascii + "現" + ascii + "?" + ascii + "ｱ" + ascii) << run;
    }
  }
}

TEST(Cp932, BadBytesAreReadAsQuestionMarksWithoutAbortingTheRead) {
  const std::string fffd = "?";
  EXPECT_EQ(decodeCp932("ab\x8C"), "ab" + fffd);  // lead byte at the end
  EXPECT_EQ(decodeCp932("\x8C a"), fffd + " a");  // bad trail byte kept as text
  EXPECT_EQ(decodeCp932("\x80\xA0\xFE"), fffd + fffd + fffd);
  EXPECT_EQ(decodeCp932("x\xFFy"), "x" + fffd + "y");
  EXPECT_EQ(encodeCp932(decodeCp932("\xFD")), "?");
  // A well-formed but unassigned pair is one character; its trail byte is no '@' or 'A'.
  EXPECT_EQ(decodeCp932("\x85\x40,\xEB\x41x"), fffd + "," + fffd + "x");
  EXPECT_EQ(decodeCp932("\x81\xFD"), fffd + fffd);  // 0xFD is no trail byte
}

TEST(Cp932, ByteOrderMarkMeansUtf8FoldedToWhatCp932Holds) {
  EXPECT_EQ(decodeFileText("\xEF\xBB\xBF現金"), "現金");
  EXPECT_EQ(decodeFileText("\x8C\xBB\x8B\xE0"), "現金");
  EXPECT_EQ(decodeFileText(""), "");
  EXPECT_EQ(decodeFileText("\xEF\xBB\xBF"
                           "Café代 通信費\u301C 𠮷野家 a"
                           "\xFF"
                           "b"),
            "Caf?代 通信費～ ?野家 a?b");
}

// Whatever a file holds, the text read from it survives being written and read again.
TEST(Cp932, EveryDecodedTextEncodesBackToItself) {
  std::string all;
  for (int b = 0; b < 256; ++b) {
    all += static_cast<char>(b);
    for (int t = 0x40; t < 256; ++t) {
      all += static_cast<char>(b);
      all += static_cast<char>(t);
      all += '\n';
    }
  }
  const std::string text = decodeCp932(all);
  EXPECT_EQ(decodeCp932(encodeCp932(text)), text);
  EXPECT_EQ(text.find("\xEF\xBF\xBD"), std::string::npos);
}

}  // namespace
}  // namespace ledra
