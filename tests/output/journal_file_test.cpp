#include "output/journal_file.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/dates.hpp"
#include "base/text.hpp"
#include "import/journal_import.hpp"
#include "output/output_common.hpp"
#include "platform/cp932.hpp"
#include "state/conversion_state.hpp"
#include "state/journal_entry.hpp"
#include "support/fixtures.hpp"
#include "support/scripted_platform.hpp"
#include "support/temp_dir.hpp"

namespace ledra {
namespace {

using Cols = std::map<int, std::string>;  // column number -> text of a detail line
using Record = std::vector<std::string>;

std::string detailLine(const Cols& values) {
  std::vector<std::string> cols(29);
  cols[0] = "\"[明細行]\"";
  for (const auto& [n, v] : values) cols[static_cast<size_t>(n - 1)] = "\"" + v + "\"";
  std::string line;
  for (size_t i = 0; i < cols.size(); ++i) line += (i ? "," : "") + cols[i];
  return line;
}

// The eleven fields of a side that is left blank.
const Record kBlankSide = {"", "", "", "", "", "", "", "", "", "0", "0"};

class JournalFile : public ::testing::Test {
 protected:
  JournalFile() {
    state.sourcePackage = SourcePackage::Yayoi;
    state.ledraUserCode = "U1";
    state.ledraUserName = "テスト商店";
    state.outputFolder = dir.path();
    state.sourceFiles[SourceFile::Journal] = dir.file("仕訳データ.txt");
    account("現金", "100", "現金");
    account("売上高", "400", "売上高");
    account("普通預金", "110", "普通預金").hasSubAccounts = true;
    account("仕入高", "500", "仕入高");
    account("仮払金", "150", "仮払金", false);
    subAccount("普通預金", "A銀行", "001");
    department("本社", "1");
    department("営業部", "2");
  }

  WorkAccount& account(const std::string& name, const std::string& code,
                       const std::string& ledraName, bool valid = true) {
    WorkAccount& a = state.workAccounts.append();
    a.sourceName = name;
    a.sourceCode = code;
    a.ledraCode = code;
    a.ledraName = ledraName;
    a.valid = valid;
    WorkAccountBalance& b = state.workAccountBalances.append();
    b.accountSourceCode = code;
    b.accountSourceName = name;
    b.processed = true;
    return a;
  }
  void subAccount(const std::string& parent, const std::string& name, const std::string& code) {
    WorkSubAccount& s = state.workSubAccounts.append();
    s.col(2) = parent;
    s.col(3) = name;
    s.newSubCode = code;
    s.subAccountName = name;
  }
  void department(const std::string& name, const std::string& code) {
    WorkDepartment& d = state.workDepartments.append();
    d.matchName = name;
    d.departmentCode = code;
  }

  // Writes the journal file and reads it as the output run does.
  bool writeSource(const std::vector<Cols>& lines) {
    std::vector<std::string> text{"帳票名,仕訳日記帳", "書式名,汎用形式"};
    for (const Cols& c : lines) text.push_back(detailLine(c));
    testing::writeCp932Lines(state.sourceFiles[SourceFile::Journal], text);
    return readBack();
  }
  bool readBack() {
    last = importJournal(state, platform, state.sourceFiles[SourceFile::Journal], &journal);
    return last.ok();
  }
  // ... and runs the writer on what was read.
  bool write(const std::vector<Cols>& lines) { return writeSource(lines) && writeRead(); }
  bool writeRead() {
    last = writeJournalFile(state, platform, journal, out());
    return last.ok();
  }
  OutputTarget& out() { return output.emplace(state.outputFolder); }

  std::string outputFile() const { return dir.file("shiwake.csv"); }

  std::vector<Record> records() const {
    std::vector<Record> out;
    for (const std::string& line : testing::readCp932Lines(outputFile())) {
      Record r;
      for (const std::string& f : splitPlain(line, ",")) r.push_back(f.substr(1, f.size() - 2));
      out.push_back(r);
    }
    return out;
  }
  Record column(int n) const {
    Record out;
    for (const Record& r : records()) out.push_back(r.at(static_cast<size_t>(n - 1)));
    return out;
  }
  // Debit account code, name, sub-account code and name of every record.
  std::vector<Record> debitAccounts() const {
    std::vector<Record> out;
    for (const Record& r : records()) out.push_back(Record(r.begin() + 11, r.begin() + 15));
    return out;
  }
  static Record side(const Record& r, bool debit) {
    const auto from = r.begin() + (debit ? 11 : 22);
    return Record(from, from + 11);
  }

  testing::TempDir dir;
  testing::ScriptedPlatform platform;
  ConversionState state;
  Journal journal;
  std::optional<FolderOutput> output;
  StepResult last = StepResult::success();
};

Cols sale(const std::string& voucher, const std::string& amount = "10500") {
  return {{2, "2007/04/01"}, {3, voucher},   {10, "現金"},     {13, "課税売上"},
          {15, amount},      {17, "売上高"}, {20, "課税売上"}, {22, amount}};
}

TEST_F(JournalFile, WritesTheWholeRecord) {
  ASSERT_TRUE(write({{{2, "2007/04/01"},
                      {3, "12"},
                      {6, "赤"},
                      {10, "普通預金"},
                      {11, "A銀行"},
                      {12, "本社"},
                      {13, "課税売上"},
                      {15, "10500"},
                      {17, "売上高"},
                      {19, "営業部"},
                      {20, "対象外"},
                      {22, "10500"},
                      {24, "売上\"A\""}}}));
  const std::string expected =
      "\"U1\",\"0000001\",\"1\",\"00\",\"20070401\",\"1\",\"03\",\"1\",\"\",\"\",\"\","
      "\"110\",\"普通預金\",\"001\",\"A銀行\",\"1\",\"本社\",\"売上\"\"A\"\"\",\"115\",\"4\","
      "\"10500\",\"500\","
      "\"400\",\"売上高\",\"\",\"\",\"2\",\"営業部\",\"売上\"\"A\"\"\",\"00\",\"0\",\"10500\","
      "\"0\"\r\n";
  EXPECT_EQ(testing::readBytes(outputFile()), encodeCp932(expected));
  EXPECT_TRUE(state.droppedJournalLines.empty());
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(platform.progressCaption, "shiwake.csv出力中");
  EXPECT_EQ(platform.progressMax, 1);
  EXPECT_EQ(platform.progressValue, 1);
  EXPECT_TRUE(platform.progressVisible);
}

TEST_F(JournalFile, SlipTypeFromMarkAndCash) {
  account("現 金", "100", "現金");
  account("現　金", "100", "現金");
  struct Case {
    const char* mark;
    const char* debit;
    const char* credit;
    const char* type;
  };
  const Case cases[] = {{"", "現 金", "売上高", "01"},      {"", "現　金", "売上高", "01"},
                        {"", "仕入高", "現金", "02"},       {"[振伝]", "現金", "売上高", "03"},
                        {"[振伝]", "売上高", "現金", "03"}, {"", "普通預金", "売上高", "03"},
                        {"[入金]", "現金", "現金", "01"}};
  std::vector<Cols> lines;
  Record expected;
  int voucher = 1;
  for (const Case& c : cases) {
    lines.push_back({{2, "2007/04/01"},
                     {3, std::to_string(voucher++)},
                     {8, c.mark},
                     {10, c.debit},
                     {15, "100"},
                     {17, c.credit},
                     {22, "100"}});
    expected.push_back(c.type);
  }
  ASSERT_TRUE(write(lines));
  EXPECT_EQ(column(7), expected);
}

TEST_F(JournalFile, SlipAndLineNumbers) {
  ASSERT_TRUE(write({sale("12"), sale("12"), sale("12"), sale("13")}));
  EXPECT_EQ(column(2), (Record{"0000001", "0000001", "0000001", "0000002"}));
  EXPECT_EQ(column(3), (Record{"1", "2", "3", "1"}));
}

TEST_F(JournalFile, DateColourAndCarriedColour) {
  std::vector<Cols> lines;
  for (const auto& [date, colour] :
       std::vector<std::pair<std::string, std::string>>{{"2007/04/01", ""},
                                                        {"平成19年04月02日", "青"},
                                                        {"2007/4/3", "紫"},
                                                        {"2007/04/04", "緑"},
                                                        {"2007/04/05", "黄"},
                                                        {"2007/04/06", "赤"}}) {
    Cols c = sale("1");
    c[2] = date;
    c[6] = colour;
    lines.push_back(c);
  }
  ASSERT_TRUE(write(lines));
  EXPECT_EQ(column(5),
            (Record{"20070401", "20070402", "20070403", "20070404", "20070405", "20070406"}));
  EXPECT_EQ(column(8), (Record{"", "2", "2", "3", "4", "1"}));
}

TEST_F(JournalFile, RecordShapeForZeroAmounts) {
  Cols zeroDebit = sale("1");
  zeroDebit[15] = "0";
  zeroDebit[22] = "5000";
  zeroDebit[24] = "摘要";
  Cols zeroCredit = sale("2");
  zeroCredit[22] = "";
  zeroCredit[24] = "摘要";
  Cols bothZero = sale("3", "0");
  ASSERT_TRUE(write({zeroDebit, zeroCredit, bothZero}));
  const auto r = records();
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(side(r[0], true), kBlankSide);
  EXPECT_EQ(side(r[0], false),
            (Record{"400", "売上高", "", "", "", "", "摘要", "115", "4", "5000", "238"}));
  EXPECT_EQ(side(r[1], true),
            (Record{"100", "現金", "", "", "", "", "摘要", "115", "0", "10500", "0"}));
  EXPECT_EQ(side(r[1], false), kBlankSide);
  EXPECT_EQ(side(r[2], true), kBlankSide);
  EXPECT_EQ(side(r[2], false), (Record{"400", "売上高", "", "", "", "", "", "115", "4", "0", "0"}));
}

TEST_F(JournalFile, DescriptionIsCutTo62Bytes) {
  const std::string ascii(70, 'a');
  const std::string split = std::string(61, 'b') + "あい";
  Cols first = sale("1");
  first[24] = ascii;
  Cols second = sale("2");
  second[24] = split;
  ASSERT_TRUE(write({first, second}));
  EXPECT_EQ(column(18), (Record{std::string(62, 'a'), std::string(61, 'b') + " "}));
  EXPECT_EQ(column(29), column(18));
}

TEST_F(JournalFile, InvalidatedAccountDropsItsWholeSlip) {
  Cols invalidFirst = sale("1");
  invalidFirst[10] = "仮払金";
  Cols invalidLater = sale("2");
  invalidLater[10] = "仮払金";
  ASSERT_TRUE(write({invalidFirst, sale("1"), sale("1"), sale("2"), invalidLater}));
  // The flags are taken at a slip's first line and hold for all of its lines.
  EXPECT_EQ(column(2), (Record{"0000002", "0000002"}));
  EXPECT_EQ(column(3), (Record{"1", "2"}));
  EXPECT_EQ(column(12), (Record{"100", "150"}));
  // Every line left out is listed with its file line.
  const std::string reason = "借方の勘定科目が無効化されています";
  EXPECT_EQ(state.droppedJournalLines, (std::vector<ConversionState::DroppedJournalLine>{
                                           {3, reason}, {4, reason}, {5, reason}}));
  EXPECT_EQ(platform.progressValue, 5);
}

TEST_F(JournalFile, EveryDroppedLineIsListedAndTheFirstFiveNamed) {
  state.workAccountBalances[1].processed = false;  // 売上高
  ASSERT_TRUE(write(std::vector<Cols>(7, sale("1"))));
  ASSERT_EQ(state.droppedJournalLines.size(), 7u);
  EXPECT_EQ(state.droppedJournalLines.back(),
            (ConversionState::DroppedJournalLine{9, "貸方の勘定科目が未設定です"}));
  EXPECT_EQ(droppedJournalLinesDetail(state),
            "\r\n3行目: 貸方の勘定科目が未設定です\r\n4行目: 貸方の勘定科目が未設定です"
            "\r\n5行目: 貸方の勘定科目が未設定です\r\n6行目: 貸方の勘定科目が未設定です"
            "\r\n7行目: 貸方の勘定科目が未設定です\r\nほか2行");
}

TEST_F(JournalFile, UnprocessedBalanceRowDropsTheSlip) {
  state.workAccountBalances[1].processed = false;  // 売上高
  ASSERT_TRUE(write({sale("1"), sale("2")}));
  EXPECT_TRUE(records().empty());
  EXPECT_EQ(testing::readBytes(outputFile()), "");
  EXPECT_EQ(state.droppedJournalLines.size(), 2u);
}

TEST_F(JournalFile, ContinuationLinesAndCarriedValues) {
  ASSERT_TRUE(write({
      {{2, "2007/04/01"},
       {3, "1"},
       {10, "仕入高"},
       {12, "本社"},
       {13, "課対仕入"},
       {14, "内税"},
       {15, "3000"},
       {16, "142"},
       {17, "普通預金"},
       {18, "A銀行"},
       {22, "3000"}},
      // Debit continuation: the debit output is blank; its tax method still counts.
      {{2, "2007/04/01"},
       {3, "1"},
       {17, "売上高"},
       {19, "営業部"},
       {20, "課税売上"},
       {22, "1000"},
       {23, "40"}},
      // Names that match nothing keep the previous line's account and sub-account; an unknown
      // department leaves the department empty.
      {{2, "2007/04/01"},
       {3, "1"},
       {10, "未登録"},
       {11, "A銀行"},
       {12, "未登録"},
       {15, "700"},
       {17, "売上高"},
       {22, "700"}},
  }));
  const auto r = records();
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(side(r[0], true),
            (Record{"500", "仕入高", "", "", "1", "本社", "", "515", "1", "3000", "142"}));
  EXPECT_EQ(side(r[0], false),
            (Record{"110", "普通預金", "001", "A銀行", "", "", "", "90", "1", "3000", "0"}));
  EXPECT_EQ(side(r[1], true), kBlankSide);
  EXPECT_EQ(side(r[1], false),
            (Record{"400", "売上高", "", "", "2", "営業部", "", "115", "1", "1000", "40"}));
  EXPECT_EQ(side(r[2], true),
            (Record{"500", "仕入高", "", "", "", "", "", "90", "4", "700", "33"}));
  EXPECT_EQ(side(r[2], false),
            (Record{"400", "売上高", "", "", "", "", "", "90", "4", "700", "33"}));
}

TEST_F(JournalFile, SubAccountLookup) {
  subAccount("普通預金", "B銀行", "002");
  subAccount("普通預金", "B銀行", "003");  // the last one counts
  subAccount("当座預金", "C銀行", "009");
  std::vector<Cols> lines;
  for (const char* sub : {"B銀行", "C銀行", "", "A銀行"}) {
    Cols c = sale("1", "100");
    c[10] = "普通預金";
    c[11] = sub;
    lines.push_back(c);
  }
  Cols noSubs = sale("1", "100");
  noSubs[11] = "A銀行";  // 現金 has no sub-accounts
  lines.push_back(noSubs);
  ASSERT_TRUE(write(lines));
  EXPECT_EQ(column(14), (Record{"003", "999", "999", "001", ""}));
  EXPECT_EQ(column(15), (Record{"B銀行", "", "", "A銀行", ""}));
}

TEST_F(JournalFile, QuotesInServiceNamesAreDoubledOnEveryLine) {
  account("売上高", "410", "売上\"高\"");
  department("営業部", "2\"");
  Cols c = sale("1");
  c[19] = "営業部";
  ASSERT_TRUE(write({c, c}));
  const std::string bytes = testing::readBytes(outputFile());
  const std::string side = encodeCp932(R"(,"410","売上""高""","","","2""","営業部",)");
  const size_t first = bytes.find(side);
  ASSERT_NE(first, std::string::npos) << decodeCp932(bytes);
  EXPECT_NE(bytes.find(side, first + side.size()), std::string::npos);
}

TEST_F(JournalFile, LaterNamesakeAccountWins) {
  account("売上高", "410", "雑収入");
  ASSERT_TRUE(write({sale("1")}));
  EXPECT_EQ(column(23), (Record{"410"}));
  EXPECT_EQ(column(24), (Record{"雑収入"}));
}

TEST_F(JournalFile, DepartmentLookupAndSingleDepartment) {
  department("営業部", "7");  // a later namesake wins
  Cols c = sale("1");
  c[12] = "営業部";
  c[19] = "本社";
  ASSERT_TRUE(write({c}));
  EXPECT_EQ(column(16), (Record{"7"}));
  EXPECT_EQ(column(17), (Record{"営業部"}));
  EXPECT_EQ(column(27), (Record{"1"}));

  state.workDepartments.clear();
  department("本社", "1");
  c[12] = "本社";
  ASSERT_TRUE(write({c}));
  const auto r = records();
  for (int n : {16, 17, 27, 28}) EXPECT_EQ(r.at(0).at(static_cast<size_t>(n - 1)), "") << n;
}

TEST_F(JournalFile, LargeAmountConvertsIn64Bits) {
  Cols c = sale("1", "500000000");
  c[10] = "普通預金";
  ASSERT_TRUE(write({c}));
  const auto r = records();
  EXPECT_EQ(r.at(0).at(20), "500000000");
  EXPECT_EQ(r.at(0).at(21), "23809524");
}

TEST_F(JournalFile, FailureKeepsTheEarlierFile) {
  testing::writeBytes(outputFile(), "old");
  Cols overflow = sale("1");
  overflow[14] = "外税";
  overflow[15] = "2147483000";
  overflow[16] = "1000";
  EXPECT_FALSE(write({sale("1"), overflow}));
  EXPECT_EQ(testing::readBytes(outputFile()), "old");
  EXPECT_FALSE(platform.progressVisible);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(last.error().file, state.sourceFiles[SourceFile::Journal]);
  EXPECT_EQ(last.error().line, 4);
  EXPECT_EQ(last.error().reason, "税込金額が大きすぎます: 2147484000");

  Cols tooLarge = sale("1", "2147483648");
  EXPECT_FALSE(write({tooLarge}));
  EXPECT_EQ(last.error().reason, "金額が大きすぎます: 2147483648");
  EXPECT_EQ(testing::readBytes(outputFile()), "old");
}

TEST_F(JournalFile, UnwritableFolderNamesTheOutputFileOnce) {
  state.outputFolder = dir.file("gone");
  EXPECT_FALSE(write({sale("1")}));
  EXPECT_EQ(last.error().file, dir.file("gone") + "/shiwake.csv");
  EXPECT_EQ(last.error().line, 0);
  EXPECT_EQ(
      last.error().reason,
      "ファイルを書き込めません（ファイルまたはフォルダがありません: No such file or directory）");
  EXPECT_FALSE(platform.progressVisible);
}

TEST_F(JournalFile, MoreDetailLinesThanImportedFails) {
  ASSERT_TRUE(writeSource({sale("1"), sale("1")}));
  state.journalRows.resize(1);
  EXPECT_FALSE(writeRead());
  EXPECT_EQ(last.error().line, 4);
  EXPECT_EQ(last.error().reason, "仕訳の行数が取込時と異なります");
}

TEST_F(JournalFile, MissingSourceFails) {
  std::remove(state.sourceFiles[SourceFile::Journal].c_str());
  EXPECT_FALSE(readBack());
  EXPECT_EQ(last.error().reason, "ファイルがありません");
  EXPECT_FALSE(testing::fileExistsAt(outputFile()));
}

Cols entry(const std::string& debit, const std::string& debitSub, const std::string& amount,
           const std::string& date = "2007/04/01") {
  return {{2, date},    {3, "1"},       {10, debit},    {11, debitSub}, {13, "対象外"},
          {15, amount}, {17, "売上高"}, {20, "対象外"}, {22, amount}};
}

TEST_F(JournalFile, SubAccountKeysKeepParentAndNameApart) {
  account("普通", "109", "普通").hasSubAccounts = true;
  account("普通預金", "110", "普通預金").hasSubAccounts = true;
  subAccount("普通預金", "A", "001");
  // Same bytes run together as 普通預金 + A, and later rows, which would win a clash.
  subAccount("普通", "預金A", "002");
  subAccount("普通預金A", "", "003");
  ASSERT_TRUE(write({entry("普通預金", "A", "1"), entry("普通", "預金A", "2"),
                     entry("普通預金", "", "3"), entry("普通", "", "4")}));
  EXPECT_EQ(debitAccounts(), (std::vector<Record>{{"110", "普通預金", "001", "A"},
                                                  {"109", "普通", "002", "預金A"},
                                                  {"110", "普通預金", "999", ""},
                                                  {"109", "普通", "999", ""}}));
}

TEST_F(JournalFile, LaterRowsWinForSubAccountsAndBalances) {
  account("普通預金", "110", "普通預金").hasSubAccounts = true;
  subAccount("普通預金", "A", "001");
  subAccount("普通預金", "A", "005");
  // The balance row of a later account with the same service name decides whether the slip
  // is written.
  const int32_t later = state.workAccounts.count();
  account("別の普通預金", "111", "普通預金", false);
  ASSERT_TRUE(write({entry("普通預金", "A", "1")}));
  EXPECT_TRUE(records().empty());
  EXPECT_EQ(state.droppedJournalLines.size(), 1u);

  state.workAccounts[later].valid = true;
  ASSERT_TRUE(write({entry("普通預金", "A", "1")}));
  EXPECT_EQ(debitAccounts(), (std::vector<Record>{{"110", "普通預金", "005", "A"}}));
}

TEST_F(JournalFile, AmountTexts) {
  account("現金", "100", "現金");
  struct Case {
    const char* text;
    const char* written;  // nullptr: the line fails
  };
  const Case cases[] = {
      {"12", "12"},
      {"0012", "12"},
      {"999999999", "999999999"},
      {"2147483647", "2147483647"},
      {"2147483648", nullptr},
      {"12.5", "12"},
      {"13.5", "14"},
      {"-7", "-7"},
      {"8円", "8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const bool written = write({entry("現金", "", c.text)});
    ASSERT_EQ(written, c.written != nullptr) << last.error().reason;
    if (c.written) {
      ASSERT_EQ(records().size(), 1u);
      EXPECT_EQ(records()[0].at(20), c.written);
    } else {
      EXPECT_EQ(last.error().line, 3);
      EXPECT_EQ(last.error().reason, std::string("金額が大きすぎます: ") + c.text);
    }
  }
}

TEST_F(JournalFile, EveryLinesDateIsChecked) {
  account("現金", "100", "現金");
  // A date text like the line before's is taken as that date; any other must parse.
  ASSERT_TRUE(write(
      {entry("現金", "", "1"), entry("現金", "", "2"), entry("現金", "", "3", "2007/04/02")}));
  std::vector<std::string> dates;
  for (const Record& r : records()) dates.push_back(r.at(4));
  EXPECT_EQ(dates, (std::vector<std::string>{"20070401", "20070401", "20070402"}));

  for (const char* bad : {"", "2007/13/01"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(write({entry("現金", "", "1"), entry("現金", "", "2", bad)}));
    EXPECT_EQ(last.error().line, 4);
    EXPECT_EQ(last.error().reason, std::string("日付ではありません: ") + bad);
  }
}

TEST_F(JournalFile, WritesTheEntriesItWasGivenNotTheFileAsItIsNow) {
  account("現金", "100", "現金");
  ASSERT_TRUE(writeSource({entry("現金", "", "1")}));
  testing::writeCp932Lines(
      state.sourceFiles[SourceFile::Journal],
      {"帳票名,仕訳日記帳", "書式名,汎用形式", detailLine(entry("現金", "", "77"))});
  ASSERT_TRUE(writeRead());
  EXPECT_EQ(records().at(0).at(20), "1");
  ASSERT_TRUE(readBack());
  ASSERT_TRUE(writeRead());
  EXPECT_EQ(records().at(0).at(20), "77");
}

class BlueJournalFile : public JournalFile {
 protected:
  BlueJournalFile() {
    state = ConversionState{};
    state.sourcePackage = SourcePackage::BlueReturn;
    state.consumptionTaxOn = true;
    state.ledraUserCode = "U2";
    state.outputFolder = dir.path();
    state.sourceFiles[SourceFile::Journal] = dir.file("20070401120000中間仕訳データ.txt");
    account("現金", "111", "現金");
    account("売上", "411", "売上高");
    account("普通預金", "131", "普通預金").hasSubAccounts = true;
    subAccount("普通預金", "A銀行", "001");
    subAccount("当座預金", "A銀行", "005");
    department("事業所", "1");
  }
  bool writeBlue(const std::vector<Cols>& lines) {
    std::vector<std::string> text;
    for (const Cols& c : lines) text.push_back(detailLine(c));
    testing::writeCp932Lines(state.sourceFiles[SourceFile::Journal], text);
    return readBack() && writeRead();
  }
  static Cols blueLine(const std::string& voucher, const std::string& debit,
                       const std::string& debitSub, const std::string& credit,
                       const std::string& amount) {
    return {{2, "平成19年04月01日"},
            {3, voucher},
            {6, debit},
            {7, credit},
            {10, debit},
            {11, debitSub},
            {12, "事業所"},
            {13, "1"},
            {15, amount},
            {16, "0"},
            {17, credit},
            {19, "事業所"},
            {20, "1"},
            {22, amount},
            {23, "0"},
            {28, "平成19年04月01日"}};
  }
};

TEST_F(BlueJournalFile, SlipNumbersFromTheLine) {
  ASSERT_TRUE(writeBlue(
      {blueLine("12", "111", "", "411", "1050"), blueLine("12", "111", "", "411", "1050"),
       blueLine("12", "111", "", "411", "1050"), blueLine("13", "111", "", "411", "1050")}));
  EXPECT_EQ(column(2), (Record{"0000012", "0000012", "0000012", "0000013"}));
  EXPECT_EQ(column(3), (Record{"1", "2", "3", "1"}));
}

TEST_F(BlueJournalFile, SlipNumberThatIsNoThirtyTwoBitNumberStandsAsWritten) {
  // (One too large for 32 bits is refused when the journal is read.)
  ASSERT_TRUE(writeBlue({blueLine("12円", "111", "", "411", "1050"),
                         blueLine("A-1", "111", "", "411", "1050"),
                         blueLine("7", "111", "", "411", "1050")}));
  EXPECT_EQ(column(2), (Record{"12円", "A-1", "0000007"}));
  EXPECT_EQ(column(3), (Record{"1", "1", "1"}));
}

TEST_F(BlueJournalFile, WholeRecord) {
  ASSERT_TRUE(writeBlue({blueLine("3", "131", "A銀行", "411", "1050")}));
  const std::string expected =
      "\"U2\",\"0000003\",\"1\",\"00\",\"20070401\",\"1\",\"03\",\"\",\"\",\"\",\"\","
      "\"131\",\"普通預金\",\"001\",\"A銀行\",\"\",\"\",\"\",\"515\",\"4\",\"1050\",\"50\","
      "\"411\",\"売上高\",\"\",\"\",\"\",\"\",\"\",\"115\",\"4\",\"1050\",\"50\"\r\n";
  EXPECT_EQ(testing::readBytes(outputFile()), encodeCp932(expected));
}

TEST_F(BlueJournalFile, SubAccountOnlyWhenNamed) {
  ASSERT_TRUE(writeBlue(
      {blueLine("1", "131", "", "411", "100"), blueLine("2", "131", "B銀行", "411", "100")}));
  EXPECT_EQ(column(14), (Record{"", "999"}));
}

TEST(JournalFileCapacity, FullTablesAreWritten) {
  testing::TempDir dir;
  testing::ScriptedPlatform platform;
  ConversionState state;
  state.sourcePackage = SourcePackage::Yayoi;
  state.outputFolder = dir.path();
  state.sourceFiles[SourceFile::Journal] = dir.file("仕訳データ.txt");
  for (int i = 0; i < kAccountCapacity; ++i) {
    WorkAccount& a = state.workAccounts.append();
    a.sourceName = "科目" + std::to_string(i);
    a.ledraCode = std::to_string(i);
    a.ledraName = "標準" + std::to_string(i);
    a.hasSubAccounts = a.valid = true;
  }
  for (int i = 0; i < kBalanceCapacity; ++i) {
    WorkAccountBalance& b = state.workAccountBalances.append();
    b.accountSourceName = "科目" + std::to_string(i % kAccountCapacity);
    b.processed = true;
    WorkSubAccount& s = state.workSubAccounts.append();
    s.col(2) = "科目" + std::to_string(i % kAccountCapacity);
    s.col(3) = "補助" + std::to_string(i);
    s.newSubCode = std::to_string(i);
  }
  std::vector<std::string> text{"帳票名,仕訳日記帳", "書式名,汎用形式"};
  for (int i = 0; i < kJournalCapacity; ++i) {
    const std::string debit = "科目" + std::to_string(i % kAccountCapacity);
    const std::string credit = "科目" + std::to_string((i + 7) % kAccountCapacity);
    text.push_back(detailLine({{2, "2007/04/01"},
                               {3, std::to_string(i / 3)},
                               {10, debit},
                               {11, "補助" + std::to_string(i % kBalanceCapacity)},
                               {15, "1000"},
                               {17, credit},
                               {22, "1000"}}));
  }
  testing::writeCp932Lines(state.sourceFiles[SourceFile::Journal], text);
  Journal journal;
  ASSERT_TRUE(importJournal(state, platform, state.sourceFiles[SourceFile::Journal], &journal));
  FolderOutput out(dir.path());
  ASSERT_TRUE(writeJournalFile(state, platform, journal, out));
  const auto lines = testing::readCp932Lines(dir.file("shiwake.csv"));
  ASSERT_EQ(lines.size(), static_cast<size_t>(kJournalCapacity));
  EXPECT_TRUE(startsWith(lines.back(), "\"\",\"0010001\",\"1\",\"00\",\"20070401\",\"1\",\"03\""))
      << lines.back();
}

}  // namespace
}  // namespace ledra
