#include "output/output_common.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/cp932.hpp"
#include "state/conversion_state.hpp"
#include "support/fixtures.hpp"
#include "support/scripted_platform.hpp"
#include "support/temp_dir.hpp"

namespace ledra {
namespace {

using testing::readBytes;
using testing::ScriptedPlatform;
using testing::TempDir;

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

struct FitCase {
  const char* name;
  std::string text;
  int width;
  std::string expected;
};

class FitBytesTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitBytesTest, CutsToWidthWithoutHalfCharacters) {
  const FitCase& c = GetParam();
  const std::string result = fitBytes(c.text, c.width);
  EXPECT_EQ(result, c.expected);
  EXPECT_LE(encodeCp932(result).size(), static_cast<size_t>(std::max(c.width, 0)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FitBytesTest,
    ::testing::Values(FitCase{"ThirtyDoubleByteTo42", repeat("あ", 30), 42, repeat("あ", 21)},
                      FitCase{"SingleThenThirtyDoubleByteTo42", "a" + repeat("あ", 30), 42,
                              "a" + repeat("あ", 20)},
                      FitCase{"FitsUnchanged", "売掛金", 6, "売掛金"},
                      FitCase{"SingleByteCut", "ABCDEFGHIJ", 4, "ABCD"},
                      FitCase{"HalfWidthKanaIsOneByte", "ｱｲｳｴｵ", 3, "ｱｲｳ"},
                      FitCase{"MixedCutBeforeLeadByte", "ab売掛", 3, "ab"},
                      FitCase{"NulRemovedWhenFitting", std::string("a\0b", 3), 5, "ab"},
                      FitCase{"NulRemovedAfterCut", std::string("a\0bcd", 5), 3, "ab"},
                      FitCase{"ZeroWidth", "abc", 0, ""},
                      // Not in CP932: counts as its substitution byte; a cut keeps the substitute.
                      FitCase{"UnencodableFitsUnchanged", "\U0001F600", 1, "\U0001F600"},
                      FitCase{"UnencodableCutBecomesQuestionMark", "\U0001F600\U0001F600", 1, "?"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FitBytesPaddedTest, SplitCharacterBecomesBlankToExactWidth) {
  const std::string result = fitBytesPadded("a" + repeat("あ", 30), 42);
  EXPECT_EQ(result, "a" + repeat("あ", 20) + " ");
  EXPECT_EQ(encodeCp932(result).size(), 42u);
}

TEST(FitBytesPaddedTest, CleanCutAndFittingTextNeedNoBlank) {
  EXPECT_EQ(fitBytesPadded(repeat("あ", 30), 42), repeat("あ", 21));
  EXPECT_EQ(fitBytesPadded("摘要", 62), "摘要");
}

TEST(QuotedRecordTest, QuotesEveryFieldAndDoublesInnerQuotes) {
  EXPECT_EQ(quotedRecord({"a", "b\"c", "x,y", ""}), "\"a\",\"b\"\"c\",\"x,y\",\"\"");
  EXPECT_EQ(quotedRecord({""}), "\"\"");
  EXPECT_EQ(quotedRecord({"\"\"x\"", "y\""}), "\"\"\"\"\"x\"\"\",\"y\"\"\"");
  EXPECT_EQ(quotedRecord({}), "");
}

TEST(ServiceCsvFileTest, WritesIdentificationLinesAndRecordsAsCp932WithCrLf) {
  TempDir dir;
  ConversionState state;
  state.outputFolder = dir.path();
  state.ledraUserCode = "U01";
  state.ledraUserName = "テスト";
  ServiceCsvFile file(state);
  file.record({"あ", "ｱ", "\U0001F600"});
  FolderOutput out(dir.path());
  ASSERT_TRUE(out.put("kanjyo.csv", file.bytes(), nullptr));
  EXPECT_EQ(readBytes(dir.file("kanjyo.csv")),
            "U01\r\n\x83\x65\x83\x58\x83\x67\r\n\"\x82\xa0\",\"\xb1\",\"?\"\r\n");
}

TEST(BeginWriterProgressTest, ShowsDialogWithCaptionValueAndMax) {
  ScriptedPlatform platform;
  platform.recordProgressValues = true;
  beginWriterProgress(platform, "zandaka.csv", 7);
  using E = ScriptedPlatform::ProgressEvent;
  ASSERT_EQ(platform.progress.size(), 4u);
  EXPECT_EQ(platform.progress[0].kind, E::Show);
  EXPECT_EQ(platform.progress[1].kind, E::Caption);
  EXPECT_EQ(platform.progress[1].caption, "zandaka.csv出力中");
  EXPECT_EQ(platform.progress[2].kind, E::Value);
  EXPECT_EQ(platform.progress[2].number, 0);
  EXPECT_EQ(platform.progress[3].kind, E::Max);
  EXPECT_EQ(platform.progress[3].number, 7);
}

}  // namespace
}  // namespace ledra
