#include "import/journal_import.hpp"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "base/dates.hpp"
#include "output/journal_file.hpp"
#include "state/conversion_state.hpp"
#include "state/journal_entry.hpp"
#include "support/fixtures.hpp"
#include "support/scripted_platform.hpp"
#include "support/temp_dir.hpp"

namespace ledra {
namespace {

constexpr const char* kFormatMessage = "仕訳データ形式に異常が検出されました。";

// A journal line of the given width: "[明細行]" in column 1, the given columns, the rest empty.
std::string journalLine(std::vector<std::pair<int, std::string>> values, int width = 29) {
  std::vector<std::string> cols(static_cast<size_t>(width));
  cols[0] = "[明細行]";
  for (auto& [n, v] : values) cols[static_cast<size_t>(n - 1)] = v;
  std::string line;
  for (size_t i = 0; i < cols.size(); ++i) line += (i ? "," : "") + cols[i];
  return line;
}

std::string dated(const std::string& date, int voucher) {
  return journalLine({{2, date}, {3, std::to_string(voucher)}});
}

Date day(int y, int m, int d) { return *makeDate(y, m, d); }

const std::vector<std::string> kHeader = {"帳票名,仕訳日記帳", "書式名,汎用形式"};

class JournalImport : public ::testing::Test {
 protected:
  bool import(std::vector<std::string> body, bool header = true) {
    if (header) body.insert(body.begin(), kHeader.begin(), kHeader.end());
    testing::writeCp932Lines(path, body);
    last = importJournal(state, platform, path);
    return last.ok();
  }
  WorkAccount& addAccount(const std::string& name, const std::string& code = "") {
    WorkAccount& a = state.workAccounts.append();
    a.sourceName = name;
    a.sourceCode = code;
    return a;
  }
  void addBalance(const std::string& department, const std::string& account, int32_t amount) {
    WorkAccountBalance& b = state.workAccountBalances.append();
    b.col(2) = department;
    b.accountSourceName = account;
    b.linkAmount = amount;
  }
  std::vector<bool> inUse() const {
    std::vector<bool> out;
    for (const WorkAccount& a : state.workAccounts) out.push_back(a.inUse);
    return out;
  }
  void expectFormatFailure(int64_t line, const std::string& reason) {
    ASSERT_EQ(platform.messages.size(), 1u);
    const MessageRequest& m = platform.lastMessage();
    EXPECT_EQ(m.text, std::string(kFormatMessage) + "\r\n" + path +
                          (line ? " " + std::to_string(line) + "行目" : "") + ": " + reason);
    EXPECT_EQ(m.title, "Error");
    EXPECT_EQ(m.buttons, MsgButtons::Ok);
    EXPECT_EQ(state.lastErrorLocation, "P3:0011");
  }

  testing::TempDir dir;
  std::string path = dir.file("仕訳データ.txt");
  StepResult last = StepResult::success();
  testing::ScriptedPlatform platform;
  ConversionState state;
};

TEST_F(JournalImport, KeepsDateAndVoucherOfEveryDetailLine) {
  state.sourcePackage = SourcePackage::Yayoi;
  ASSERT_TRUE(import(
      {
          "\"帳票名\",\"仕訳日記帳\",\"\"",
          "\"書式名\",\"汎用形式\"",
          "\"[明細行]\",\"2007/04/01\",\"12\"" + std::string(26, ','),
          "[合計行],2007/04/30,99" + std::string(26, ','),
          "",
          journalLine({{2, "平成19年04月02日"}, {3, "12.5"}}),
          journalLine({{2, "2007/4/3"}, {3, "abc"}}),
          journalLine({{2, "2007/04/04"}, {3, "13.5"}}, 40),
      },
      false));
  EXPECT_TRUE(platform.messages.empty());
  ASSERT_EQ(state.journalRows.count(), 4);
  EXPECT_EQ(state.journalRows[0], (JournalRow{1, day(2007, 4, 1), 12}));
  EXPECT_EQ(state.journalRows[1], (JournalRow{2, day(2007, 4, 2), 12}));  // halves to even
  EXPECT_EQ(state.journalRows[2], (JournalRow{3, day(2007, 4, 3), 0}));
  EXPECT_EQ(state.journalRows[3], (JournalRow{4, day(2007, 4, 4), 14}));
  EXPECT_TRUE(platform.progressVisible);
  EXPECT_EQ(platform.progressCaption, "仕訳データ取込中");
  EXPECT_EQ(platform.progressMax, 8);
}

TEST_F(JournalImport, OnlyOtherMarkersFailForWantOfRows) {
  state.journalRows.append();  // left over from an earlier run
  EXPECT_FALSE(import({"[合計行],2007/04/30,1" + std::string(26, ','), "[合計行],x"}));
  EXPECT_EQ(state.journalRows.count(), 0);
  expectFormatFailure(0, "[明細行]の行がありません");
}

TEST_F(JournalImport, ProgressMovesEveryTenLines) {
  platform.recordProgressValues = true;
  std::vector<std::string> body(23, dated("2007/04/01", 1));
  ASSERT_TRUE(import(body));
  std::vector<int64_t> values;
  for (const auto& e : platform.progress)
    if (e.kind == testing::ScriptedPlatform::ProgressEvent::Value) values.push_back(e.number);
  EXPECT_EQ(values, (std::vector<int64_t>{0, 10, 20}));
  EXPECT_EQ(platform.progressMax, 25);
}

TEST_F(JournalImport, WrongHeaderFailsWithoutMessage) {
  const std::pair<std::vector<std::string>, int64_t> cases[] = {
      {{"帳票名,総勘定元帳", "書式名,汎用形式"}, 1},
      {{"帳票名,仕訳日記帳", "書式名,弥生形式"}, 2},
      {{"帳票名", "書式名,汎用形式"}, 1},
      {{dated("2007/04/01", 1), dated("2007/04/01", 1)}, 1}};
  for (const auto& [header, line] : cases) {
    std::vector<std::string> lines = header;
    lines.push_back(dated("2007/04/01", 1));
    EXPECT_FALSE(import(lines, false)) << header[0];
    EXPECT_EQ(state.journalRows.count(), 0);
    EXPECT_EQ(last.error().line, line);
    EXPECT_EQ(last.error().reason, "汎用形式の仕訳日記帳ではありません");
  }
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(JournalImport, FileTooShortForTheHeaderShowsTheFormatMessage) {
  EXPECT_FALSE(import({}, false));
  expectFormatFailure(0, "ファイルが空です");
  platform.messages.clear();
  EXPECT_FALSE(import({"帳票名,仕訳日記帳"}, false));
  expectFormatFailure(0, "見出しの2行がありません");
}

TEST_F(JournalImport, MissingFileShowsTheFormatMessage) {
  EXPECT_FALSE(importJournal(state, platform, path).ok());
  expectFormatFailure(0, "ファイルがありません");
}

TEST_F(JournalImport, ShortDetailLineFailsAndKeepsEarlierRows) {
  EXPECT_FALSE(import(
      {dated("2007/04/01", 1), journalLine({{2, "2007/04/02"}}, 28), dated("2007/04/03", 3)}));
  expectFormatFailure(4, "列が足りません（29列以上必要です）");
  EXPECT_EQ(state.journalRows.count(), 1);
}

TEST_F(JournalImport, ColumnTwoMustBeADate) {
  EXPECT_FALSE(import({dated("2007/04/01", 1), dated("2007/02/30", 2)}));
  expectFormatFailure(4, "日付ではありません: 2007/02/30");
  EXPECT_EQ(state.journalRows.count(), 1);
}

TEST_F(JournalImport, HoldsAtMost30001Lines) {
  state.sourcePackage = SourcePackage::BlueReturn;
  std::vector<std::string> body(30001, dated("平成19年04月01日", 1));
  ASSERT_TRUE(import(body, false));
  EXPECT_EQ(state.journalRows.count(), 30001);
  EXPECT_EQ(state.journalRows[30000].sequence, 30001);
  body.push_back(dated("平成19年04月01日", 1));
  EXPECT_FALSE(import(body, false));
  expectFormatFailure(30002, "仕訳が多すぎます（30001行まで）");
  EXPECT_EQ(state.journalRows.count(), 30001);
}

TEST_F(JournalImport, MarksAccountsInUse) {
  state.sourcePackage = SourcePackage::Yayoi;
  state.departmentTotalName = "本社(合計)";
  state.workDepartments.append();
  state.workDepartments.append();
  addAccount("現金");                          // debit side of a line
  addAccount("売上高");                        // credit side only
  addAccount("普通預金");                      // opening balance of the whole company
  addAccount("当座預金");                      // balance of one department only
  addAccount("売掛金").hasSubAccounts = true;  // has sub-accounts
  addAccount("買掛金").inUse = true;           // stale mark, cleared
  addAccount("現金");                          // a later namesake is not the first
  addAccount("未払金");                        // zero balance
  addBalance("本社(合計)", "普通預金", 1000);
  addBalance("営業部", "当座預金", 500);
  addBalance("本社(合計)", "未払金", 0);
  ASSERT_TRUE(import({journalLine({{2, "2007/04/01"}, {10, "現金"}, {17, "売上高"}})}));
  EXPECT_EQ(inUse(), (std::vector<bool>{true, true, true, false, true, false, false, false}));
}

TEST_F(JournalImport, WithOneDepartmentEveryBalanceRowCounts) {
  state.departmentTotalName = "本社(合計)";
  state.workDepartments.append();
  addAccount("当座預金");
  addBalance("営業部", "当座預金", -500);
  ASSERT_TRUE(import({journalLine({{2, "2007/04/01"}})}));
  EXPECT_EQ(inUse(), (std::vector<bool>{true}));
}

TEST_F(JournalImport, BlueReturnHasNoHeaderAndMatchesByCode) {
  state.sourcePackage = SourcePackage::BlueReturn;
  addAccount("現金", "111");
  addAccount("売上", "411");
  addAccount("111", "999");
  ASSERT_TRUE(
      import({journalLine({{2, "平成19年04月01日"}, {3, "1"}, {10, "111"}, {17, "411"}})}, false));
  EXPECT_EQ(state.journalRows[0], (JournalRow{1, day(2007, 4, 1), 1}));
  EXPECT_EQ(inUse(), (std::vector<bool>{true, true, false}));
}

// Every column the writer reads lands in its own field; a field that lost doubled quotes
// outlives the line it was cut from.
// A UTF-8 journal is held as CP932 holds it; a description that loses characters is noted
// with its line and original text, one written with another's bytes (U+301C) is not.
TEST_F(JournalImport, Utf8DescriptionsThatLoseCharactersAreNoted) {
  addAccount("現金");
  const std::vector<std::string> descriptions = {"お茶菓子😀", "10〜12月分", "会議費", "🍣と🍺"};
  std::string bytes = "\xEF\xBB\xBF" + kHeader[0] + "\r\n" + kHeader[1] + "\r\n";
  for (const std::string& d : descriptions)
    bytes += journalLine({{2, "2007/04/01"}, {3, "1"}, {10, "現金"}, {24, d}}) + "\r\n";
  testing::writeBytes(path, bytes);
  Journal journal;
  ASSERT_TRUE(importJournal(state, platform, path, &journal).ok());
  std::vector<std::string> held;
  for (const JournalEntry& e : journal.entries) held.emplace_back(e.description);
  EXPECT_EQ(held, (std::vector<std::string>{"お茶菓子?", "10～12月分", "会議費", "?と?"}));
  std::vector<std::pair<int64_t, std::string>> noted;
  for (const auto& f : journal.foldedDescriptions) noted.emplace_back(f.sourceLine, f.original);
  EXPECT_EQ(noted, (std::vector<std::pair<int64_t, std::string>>{{3, "お茶菓子😀"}, {6, "🍣と🍺"}}));
  // The accounts still match: the account column was folded like the list's names.
  EXPECT_TRUE(state.workAccounts[0].inUse);
}

TEST_F(JournalImport, EntriesCarryEveryColumnTyped) {
  const std::vector<std::pair<int, std::string>> columns = {
      {2, "2007/04/01"}, {3, "12.5"},      {6, "赤"},      {7, "411"},
      {8, "[振伝]"},     {10, "普通預金"}, {11, "A銀行"},  {12, "本社"},
      {13, "課税売上"},  {14, "内税"},     {15, "10500"},  {16, "500"},
      {17, "売上高"},    {18, ""},         {19, "営業部"}, {20, "対象外"},
      {21, "外税"},      {22, "-7"},       {23, " 8円"},   {24, "\"売上\"\"A\"\",B\""},
      {29, "9"}};
  struct Case {
    SourcePackage package;
    bool header;
    std::string colour, debitCode, creditCode;
  } cases[] = {{SourcePackage::Yayoi, true, "赤", "", ""},
               {SourcePackage::BlueReturn, false, "", "赤", "411"}};
  for (const Case& c : cases) {
    state.sourcePackage = c.package;
    Journal journal;
    // The later line's quoted field is cut into the same buffer as the first's.
    std::vector<std::string> body{journalLine(columns),
                                  journalLine({{2, "2007/03/31"}, {24, "\"x\"\"yyyyyyyyyyyy\""}})};
    if (c.header) body.insert(body.begin(), kHeader.begin(), kHeader.end());
    testing::writeCp932Lines(path, body);
    ASSERT_TRUE(importJournal(state, platform, path, &journal).ok());
    ASSERT_EQ(journal.entries.size(), 2u);
    EXPECT_EQ(journal.path(), path);
    const JournalEntry& e = journal.entries[0];
    EXPECT_EQ(e.sourceLine, c.header ? 3 : 1);
    EXPECT_EQ(e.date, day(2007, 4, 1));
    EXPECT_EQ(e.voucher, 12);
    EXPECT_EQ(e.voucherText, "12.5");
    EXPECT_EQ(e.colour, c.colour);
    EXPECT_EQ(e.slipMark, "[振伝]");
    const auto side = [](const JournalSide& s) {
      return std::vector<std::string>{std::string(s.account),      std::string(s.subAccount),
                                      std::string(s.department),   std::string(s.taxCategory),
                                      std::string(s.taxMethod),    std::to_string(s.amount),
                                      std::to_string(s.taxAmount), std::string(s.accountCode)};
    };
    EXPECT_EQ(side(e.debit), (std::vector<std::string>{"普通預金", "A銀行", "本社", "課税売上",
                                                       "内税", "10500", "500", c.debitCode}));
    EXPECT_EQ(side(e.credit), (std::vector<std::string>{"売上高", "", "営業部", "対象外", "外税",
                                                        "-7", "8", c.creditCode}));
    EXPECT_EQ(e.description, "売上\"A\",B");
    EXPECT_EQ(e.recordCode, "9");
    EXPECT_EQ(journal.entries[1].description, "x\"yyyyyyyyyyyy");
  }
}

struct RenumberCase {
  const char* name;
  std::vector<std::pair<Date, int32_t>> rows;
  std::vector<int32_t> expected;
};

class Renumber : public ::testing::TestWithParam<RenumberCase> {};

TEST_P(Renumber, NumbersRunsOfVoucherAndMonth) {
  ConversionState state;
  for (const auto& [date, voucher] : GetParam().rows)
    state.journalRows.append({state.journalRows.count() + 1, date, voucher});
  renumberVouchers(state);
  std::vector<int32_t> numbers;
  for (const JournalRow& r : state.journalRows) numbers.push_back(r.voucherNumber);
  EXPECT_EQ(numbers, GetParam().expected);
  EXPECT_EQ(state.journalRows[0].sequence, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Renumber,
    ::testing::Values(
        RenumberCase{"SameVoucherSameMonth",
                     {{day(2007, 1, 5), 5},
                      {day(2007, 1, 6), 5},
                      {day(2007, 1, 7), 7},
                      {day(2007, 1, 8), 7},
                      {day(2007, 2, 1), 7}},
                     {1, 1, 2, 2, 3}},
        RenumberCase{"MonthChange", {{day(2007, 1, 31), 3}, {day(2007, 2, 1), 3}}, {1, 2}},
        RenumberCase{
            "OnlyTheMonthIsCompared", {{day(2007, 4, 1), 3}, {day(2008, 4, 30), 3}}, {1, 1}},
        RenumberCase{"NotAdjacent",
                     {{day(2007, 4, 1), 3}, {day(2007, 4, 1), 4}, {day(2007, 4, 1), 3}},
                     {1, 2, 3}},
        // The start is voucher 0 in December, so such a first line keeps 0.
        RenumberCase{"ZeroInDecember",
                     {{day(2007, 12, 1), 0}, {day(2007, 12, 2), 0}, {day(2007, 12, 2), 1}},
                     {0, 0, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ledra
