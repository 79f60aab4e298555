#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "base/dates.hpp"
#include "base/text.hpp"
#include "output/journal_file.hpp"
#include "state/conversion_state.hpp"
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

Cols entry(const std::string& debit, const std::string& debitSub, const std::string& amount,
           const std::string& date = "2007/04/01") {
  return {{2, date},      {3, "1"},         {10, debit}, {11, debitSub}, {13, "対象外"},
          {15, amount},   {17, "売上高"},   {20, "対象外"}, {22, amount}};
}

// The writer's lookups and the line fields it reads, against a small yayoi state.
class JournalLookups : public ::testing::Test {
 protected:
  JournalLookups() {
    state.sourcePackage = kPackageYayoi;
    state.ledraUserCode = "U1";
    state.outputFolder = dir.path();
    state.sourceFiles[5] = dir.file("仕訳データ.txt");
    account("売上高", "400", "売上高");
  }

  WorkAccount& account(const std::string& name, const std::string& code,
                       const std::string& ledraName) {
    WorkAccount& a = state.workAccounts.append();
    a.sourceName = name;
    a.ledraCode = code;
    a.ledraName = ledraName;
    WorkAccountBalance& b = state.workAccountBalances.append();
    b.ledraName = ledraName;
    b.processed = true;
    b.accountValid = true;
    return a;
  }
  void subAccount(const std::string& parent, const std::string& name, const std::string& code) {
    WorkSubAccount& s = state.workSubAccounts.append();
    s.col(2) = parent;
    s.col(3) = name;
    s.newSubCode = code;
    s.subAccountName = name;
  }

  void writeSource(const std::vector<Cols>& lines) {
    std::vector<std::string> text{"帳票名,仕訳日記帳", "書式名,汎用形式"};
    state.journalRows.clear();
    for (const Cols& c : lines) {
      text.push_back(detailLine(c));
      const auto date = parseDate(c.at(2));
      state.journalRows.append({state.journalRows.count() + 1, date ? *date : Date{0}, 1});
    }
    testing::writeCp932Lines(state.sourceFiles[5], text);
  }
  bool write(const std::vector<Cols>& lines) {
    writeSource(lines);
    return writeJournalFile(state, platform);
  }

  std::vector<Record> records() const {
    std::vector<Record> out;
    for (const std::string& line : testing::readCp932Lines(dir.file("shiwake.csv"))) {
      Record r;
      for (const std::string& f : splitPlain(line, ",")) r.push_back(f.substr(1, f.size() - 2));
      out.push_back(r);
    }
    return out;
  }
  // Debit account code, name, sub-account code and name of every record.
  std::vector<Record> debitAccounts() const {
    std::vector<Record> out;
    for (const Record& r : records()) out.push_back(Record(r.begin() + 11, r.begin() + 15));
    return out;
  }

  testing::TempDir dir;
  testing::ScriptedPlatform platform;
  ConversionState state;
};

TEST_F(JournalLookups, SubAccountKeysKeepParentAndNameApart) {
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

TEST_F(JournalLookups, LaterRowsWinForSubAccountsAndBalances) {
  account("普通預金", "110", "普通預金").hasSubAccounts = true;
  subAccount("普通預金", "A", "001");
  subAccount("普通預金", "A", "005");
  // A later balance row of the same service name decides whether the slip is written.
  WorkAccountBalance& later = state.workAccountBalances.append();
  later.ledraName = "普通預金";
  later.processed = true;
  later.accountValid = false;
  ASSERT_TRUE(write({entry("普通預金", "A", "1")}));
  EXPECT_TRUE(records().empty());
  EXPECT_EQ(state.droppedJournalLines, 1);

  later.accountValid = true;
  ASSERT_TRUE(write({entry("普通預金", "A", "1")}));
  EXPECT_EQ(debitAccounts(), (std::vector<Record>{{"110", "普通預金", "005", "A"}}));
}

TEST_F(JournalLookups, AmountTexts) {
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
    ASSERT_EQ(written, c.written != nullptr) << state.lastErrorDetail.reason;
    if (c.written) {
      ASSERT_EQ(records().size(), 1u);
      EXPECT_EQ(records()[0].at(20), c.written);
    } else {
      EXPECT_EQ(state.lastErrorDetail.line, 3);
      EXPECT_EQ(state.lastErrorDetail.reason, std::string("金額が大きすぎます: ") + c.text);
    }
  }
}

TEST_F(JournalLookups, EveryLinesDateIsChecked) {
  account("現金", "100", "現金");
  // A date text like the line before's is taken as that date; any other must parse.
  ASSERT_TRUE(write({entry("現金", "", "1"), entry("現金", "", "2"),
                     entry("現金", "", "3", "2007/04/02")}));
  std::vector<std::string> dates;
  for (const Record& r : records()) dates.push_back(r.at(4));
  EXPECT_EQ(dates, (std::vector<std::string>{"20070401", "20070401", "20070402"}));

  for (const char* bad : {"", "2007/13/01"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(write({entry("現金", "", "1"), entry("現金", "", "2", bad)}));
    EXPECT_EQ(state.lastErrorDetail.line, 4);
    EXPECT_EQ(state.lastErrorDetail.reason, std::string("日付ではありません: ") + bad);
  }
}

TEST_F(JournalLookups, HeldTextIsUsedOnlyForItsPathAndThenReleased) {
  account("現金", "100", "現金");
  writeSource({entry("現金", "", "1")});
  const std::string onDisk = testing::readBytes(state.sourceFiles[5]);
  const std::string held = "帳票名,仕訳日記帳\r\n書式名,汎用形式\r\n" +
                           detailLine(entry("現金", "", "77")) + "\r\n";

  state.heldJournalText = {dir.file("他の仕訳.txt"), held, true};
  ASSERT_TRUE(writeJournalFile(state, platform));
  EXPECT_EQ(records().at(0).at(20), "1");
  EXPECT_FALSE(state.heldJournalText.held);

  state.heldJournalText = {state.sourceFiles[5], held, true};
  ASSERT_TRUE(writeJournalFile(state, platform));
  EXPECT_EQ(records().at(0).at(20), "77");
  EXPECT_FALSE(state.heldJournalText.held);
  EXPECT_TRUE(state.heldJournalText.text.empty());
  EXPECT_EQ(testing::readBytes(state.sourceFiles[5]), onDisk);
}

}  // namespace
}  // namespace ledra
