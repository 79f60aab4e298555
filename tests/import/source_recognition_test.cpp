#include "import/source_recognition.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "state/conversion_state.hpp"
#include "support/fixtures.hpp"
#include "support/temp_dir.hpp"
#include "support/yayoi_fixtures.hpp"

namespace ledra {
namespace {

using testing::YayoiReport;

const std::vector<std::string> kJournal = {
    "\"帳票名\",\"仕訳日記帳\"", "\"書式名\",\"汎用形式\"",
    "\"[明細行]\",\"2026/04/01\",1,,,,,,,\"現金\",,,,,100,0,\"売上高\",,,,,100,0,,,,,,"};

// The five reports and the journal under names that say nothing.
void writeRenamedSet(const testing::TempDir& dir) {
  for (int r = 0; r < 5; ++r)
    testing::writeYayoiReport(dir.file("export (" + std::to_string(r + 1) + ").txt"),
                              static_cast<YayoiReport>(r), {});
  testing::writeCp932Lines(dir.file("export (6).csv"), kJournal);
}

struct FileCase {
  const char* name;
  std::vector<std::string> lines;  // written as CP932 with CR LF, unless bytes are given
  std::string bytes;
  std::optional<SourceFile> role;  // the row it fills
  std::string reason;              // else why not, after "<path>: "
  std::string lineEnd = "\r\n";
};

void PrintTo(const FileCase& c, std::ostream* os) { *os << c.name; }

class RecogniseFile : public ::testing::TestWithParam<FileCase> {};

TEST_P(RecogniseFile, ByItsFirstLines) {
  const FileCase& c = GetParam();
  testing::TempDir dir;
  const std::string path = dir.file("x.dat");
  if (c.bytes.empty()) {
    std::string text;
    for (const auto& line : c.lines) text += line + c.lineEnd;
    testing::writeCp932Text(path, text);
  } else {
    testing::writeBytes(path, c.bytes);
  }
  const RecognisedFile file = recogniseYayoiFile(path);
  EXPECT_EQ(file.role, c.role);
  EXPECT_EQ(notFillingReason(file), c.reason.empty() ? "" : path + ": " + c.reason);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecogniseFile,
    ::testing::Values(
        FileCase{"AccountList",
                 {"\"帳票名\",\"勘定科目一覧表\"", "\"書式名\",\"標準\""},
                 "",
                 SourceFile::AccountList,
                 ""},
        FileCase{
            "TrialBalance", {"帳票名,残高試算表(月次・期間)"}, "", SourceFile::TrialBalance, ""},
        FileCase{"SubAccountList", {"帳票名,補助科目一覧表"}, "", SourceFile::SubAccountList, ""},
        FileCase{"SubAccountBalances",
                 {"帳票名,補助残高一覧表(月次・期間)"},
                 "",
                 SourceFile::SubAccountBalances,
                 ""},
        FileCase{"DepartmentListTitleWithBlanks",
                 {"帳票名,\"部門一覧表 \""},
                 "",
                 SourceFile::DepartmentList,
                 ""},
        FileCase{"Journal", {kJournal[0], kJournal[1]}, "", SourceFile::Journal, ""},
        FileCase{
            "JournalWithLfOnly", {kJournal[0], kJournal[1]}, "", SourceFile::Journal, "", "\n"},
        FileCase{"Utf8WithMark",
                 {},
                 "\xEF\xBB\xBF帳票名,勘定科目一覧表\r\n",
                 SourceFile::AccountList,
                 ""},
        FileCase{"JournalOfAnotherFormat",
                 {"帳票名,仕訳日記帳", "書式名,標準"},
                 "",
                 std::nullopt,
                 "汎用形式ではない仕訳日記帳です（書式名：標準）"},
        FileCase{"JournalWithoutFormatLine",
                 {"帳票名,仕訳日記帳"},
                 "",
                 std::nullopt,
                 "汎用形式ではない仕訳日記帳です（書式名の行がありません）"},
        FileCase{"AnotherReport",
                 {"帳票名,損益計算書"},
                 "",
                 std::nullopt,
                 "取り込めない帳票です（帳票名：損益計算書）"},
        FileCase{"Utf16",
                 {},
                 std::string("\xFF\xFE\x22\x00\x33\x5E", 6),
                 std::nullopt,
                 "弥生会計の帳票ではありません"},
        // A first line longer than any header is not read to its end.
        FileCase{"NoLineEndInTheHead",
                 {"帳票名,勘定科目一覧表" + std::string(9000, ' ')},
                 "",
                 std::nullopt,
                 "弥生会計の帳票ではありません",
                 ""}));

TEST(RecogniseFolder, FillsEveryRowByContentWhateverTheNames) {
  testing::TempDir dir;
  writeRenamedSet(dir);
  // Hidden files and subfolders are not looked at, so these are no second account list.
  testing::writeYayoiReport(dir.file(".export (1).txt"), YayoiReport::AccountList, {});
  std::filesystem::create_directory(dir.file("old"));
  testing::writeYayoiReport(dir.file("old/a.txt"), YayoiReport::AccountList, {});
  testing::writeBytes(dir.file("kanjyo.csv"), "100,a\r\n");

  const YayoiSourceSet set = recogniseYayoiFolder(dir.path(), allYayoiRows());
  EXPECT_EQ(sourceSetMessage(set, dir.path()), "");
  const std::string expected[] = {dir.file("export (1).txt"), dir.file("export (2).txt"),
                                  dir.file("export (3).txt"), dir.file("export (4).txt"),
                                  dir.file("export (5).txt"), dir.file("export (6).csv")};
  for (size_t i = 0; i < std::size(expected); ++i)
    EXPECT_EQ(set.files[kEverySourceFile[i]], expected[i]) << i;
  EXPECT_EQ(set.files[SourceFile::BlueAccounts], "");
}

TEST(RecogniseFolder, AnOfferedNameKeepsItsRowAndIsNeverCountedTwice) {
  testing::TempDir dir;
  writeRenamedSet(dir);
  // A second account list under the offered name is the one taken, as it always was; the
  // offered journal name holding a department list fills no other row.
  testing::writeYayoiReport(dir.file("勘定科目一覧表.txt"), YayoiReport::AccountList, {});
  testing::writeYayoiReport(dir.file("仕訳データ.txt"), YayoiReport::DepartmentList, {});

  const YayoiSourceSet set = recogniseYayoiFolder(dir.path(), allYayoiRows());
  EXPECT_TRUE(set.ok()) << sourceSetMessage(set, dir.path());
  EXPECT_EQ(set.files[SourceFile::AccountList], dir.file("勘定科目一覧表.txt"));
  EXPECT_EQ(set.files[SourceFile::DepartmentList], dir.file("export (5).txt"));
  EXPECT_EQ(set.files[SourceFile::Journal], dir.file("仕訳データ.txt"));
}

TEST(RecogniseFolder, NamesEveryMissingAndDoubledRowAndTheReportsItCannotUse) {
  testing::TempDir dir;
  testing::writeYayoiReport(dir.file("a.txt"), YayoiReport::AccountList, {});
  testing::writeYayoiReport(dir.file("b.txt"), YayoiReport::AccountList, {});
  testing::writeYayoiReport(dir.file("c.txt"), YayoiReport::AccountBalances, {});
  testing::writeCp932Lines(dir.file("d.txt"), {"帳票名,仕訳日記帳", "書式名,標準"});
  testing::writeBytes(dir.file("e.bin"), std::string("\0\1", 2));

  const YayoiSourceSet set = recogniseYayoiFolder(dir.path(), allYayoiRows());
  EXPECT_EQ(sourceSetMessage(set, dir.path()),
            dir.path() + "の弥生会計のファイルを特定できません。\r\n" +
                "勘定科目一覧表のファイルが2つあります：" + dir.file("a.txt") + "、" +
                dir.file("b.txt") +
                "\r\n部門一覧表のファイルがありません（帳票名「部門一覧表」）\r\n"
                "仕訳データのファイルがありません（帳票名「仕訳日記帳」、書式名「汎用形式」）\r\n" +
                dir.file("d.txt") + ": 汎用形式ではない仕訳日記帳です（書式名：標準）");
  // The sub-account rows may stay empty.
  EXPECT_EQ(set.problems.size(), 3u);
  EXPECT_EQ(set.files[SourceFile::TrialBalance], dir.file("c.txt"));
}

TEST(RecogniseFiles, EachFillsItsRowAndAForeignOneIsNamed) {
  testing::TempDir dir;
  writeRenamedSet(dir);
  testing::writeYayoiReport(dir.file("copy.txt"), YayoiReport::SubAccountList, {});
  testing::writeBytes(dir.file("photo.png"), "\x89PNG\r\n");
  const YayoiSourceSet set = recogniseYayoiFiles({dir.file("export (6).csv"), dir.file("photo.png"),
                                                  dir.file("export (3).txt"), dir.file("copy.txt"),
                                                  dir.file("export (6).csv")});
  EXPECT_EQ(sourceSetMessage(set, ""),
            "弥生会計のファイルを特定できません。\r\n補助科目一覧表のファイルが2つあります：" +
                dir.file("export (3).txt") + "、" + dir.file("copy.txt") + "\r\n" +
                dir.file("photo.png") + ": 弥生会計の帳票ではありません");
  EXPECT_EQ(set.files[SourceFile::Journal], dir.file("export (6).csv"));
  EXPECT_EQ(set.files[SourceFile::SubAccountList], "");
}

TEST(BlueYearFolders, FoundByTheirThreeFiles) {
  testing::TempDir dir;
  auto yearFolder = [&](const std::string& sub, std::vector<std::string> names) {
    std::filesystem::create_directories(dir.file(sub));
    for (const auto& n : names) testing::writeBytes(dir.file(sub + "/" + n), "x");
  };
  yearFolder("Data/Y2007", {"kcode.brf", "仕訳データ", "基本情報ﾃﾞｰﾀ"});
  yearFolder("Data/Y2008", {"kcode.brf", "仕訳データ"});
  EXPECT_EQ(missingBlueFiles(dir.file("Data/Y2008")), std::vector<std::string>{"基本情報ﾃﾞｰﾀ"});
  for (const std::string& start : {dir.path(), dir.file("Data"), dir.file("Data/Y2007")})
    EXPECT_EQ(findBlueYearFolders(start), std::vector<std::string>{dir.file("Data/Y2007")})
        << start;
  yearFolder("Data/Y2008", {"基本情報ﾃﾞｰﾀ"});
  EXPECT_EQ(findBlueYearFolders(dir.path()),
            (std::vector<std::string>{dir.file("Data/Y2007"), dir.file("Data/Y2008")}));
}

}  // namespace
}  // namespace ledra
