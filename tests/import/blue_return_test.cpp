#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/dates.hpp"
#include "base/text.hpp"
#include "import/blue_return_accounts.hpp"
#include "import/blue_return_journal.hpp"
#include "import/blue_return_settings.hpp"
#include "import/classification.hpp"
#include "state/conversion_state.hpp"
#include "support/blue_fixtures.hpp"
#include "support/fixtures.hpp"
#include "support/scripted_platform.hpp"
#include "support/temp_dir.hpp"

namespace ledra {
namespace {

using testing::blueAccountLine;
using testing::BlueRecord;
using testing::blueRecord;
using testing::blueSubAccountLine;

class BlueReturn : public ::testing::Test {
 protected:
  BlueReturn() {
    state.sourcePackage = SourcePackage::BlueReturn;
    state.outputFolder = dir.path();
    state.journalPeriod = {2007, 1, 1, 2007, 12, 31};
  }
  std::string folder() const { return dir.file("Y2007"); }
  ErrorDetail accountsError;

  bool importAccounts(const testing::BlueCompany& c) {
    c.writeTo(folder());
    const StepResult read = importBlueAccounts(state, platform, folder() + "/kcode.brf");
    accountsError = read.error();
    if (!read) return false;
    for (ReportKind k :
         {ReportKind::DepartmentList, ReportKind::AccountList, ReportKind::TrialBalance,
          ReportKind::SubAccountList, ReportKind::SubAccountBalances})
      runClassification(state, k);
    return true;
  }
  // The sample company with the records; the intermediate file's lines, empty on failure.
  std::vector<std::string> expand(const std::vector<BlueRecord>& records) {
    testing::BlueCompany c = testing::sampleBlueCompany();
    c.records = records;
    EXPECT_TRUE(importAccounts(c));
    expanded = expandBlueJournal(state, platform, folder() + "/仕訳データ", state.outputFolder);
    if (!expanded) return {};
    return testing::readCp932Lines(state.sourceFiles[SourceFile::Journal]);
  }
  std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    for (const auto& f : splitPlain(line, ",")) out.push_back(f.substr(1, f.size() - 2));
    return out;
  }

  testing::TempDir dir;
  StepResult expanded = StepResult::success();
  testing::ScriptedPlatform platform;
  ConversionState state;
};

TEST_F(BlueReturn, SettingsBytesGiveTheTaxFlags) {
  struct Case {
    bool taxOn, simplified;
  };
  for (Case c : {Case{true, true}, Case{true, false}, Case{false, true}, Case{false, false}}) {
    testing::writeBytes(dir.file("基本情報ﾃﾞｰﾀ"),
                        testing::blueSettingsBytes(c.taxOn, c.simplified));
    ASSERT_TRUE(readBlueSettings(state, dir.file("基本情報ﾃﾞｰﾀ")));
    EXPECT_EQ(state.consumptionTaxOn, c.taxOn);
    EXPECT_EQ(state.simplifiedTaxation, c.simplified);
  }
  // Byte 208 must be there.
  state.consumptionTaxOn = true;
  testing::writeBytes(dir.file("short"), testing::blueSettingsBytes(true, true, 208));
  const StepResult read = readBlueSettings(state, dir.file("short"));
  EXPECT_FALSE(read);
  EXPECT_EQ(read.error().describe(),
            dir.file("short") + ": ファイルが短すぎます（208バイト、209バイト以上必要です）");
  EXPECT_TRUE(state.consumptionTaxOn);  // unchanged
}

TEST_F(BlueReturn, AccountFileFillsTheFiveTablesInTheReportColumns) {
  testing::BlueCompany c;
  c.accountLines = {
      blueSubAccountLine("100", "9", "迷子", "借", "5"),  // before any account: left out
      blueAccountLine("399", "預り金", "貸", "1200"),
      blueSubAccountLine("399", "1", "源泉", "貸", "1200"),
      blueAccountLine("4001", "見出し", "貸", "0"),  // four characters: no account line
      blueSubAccountLine("399", "2", "住民税", "借", "7"),
      blueAccountLine("400", "売上高", "貸", "0"),
      "\"401\",,,,,",  // no name: ignored, however short
  };
  ASSERT_TRUE(importAccounts(c));

  ASSERT_EQ(state.workAccounts.count(), 2);
  const WorkAccount& a = state.workAccounts[0];
  EXPECT_EQ(a.columns,
            (Columns<18>{{{"[明細行]", "預り金", "", "", "", "", "", "", "", "399", "貸"}}}));
  EXPECT_EQ(a.sourceName, "預り金");
  EXPECT_EQ(a.section, "BS");
  EXPECT_EQ(state.workAccounts[1].section, "PL");

  const WorkAccountBalance& b = state.workAccountBalances[0];
  EXPECT_EQ(b.col(2), "事業所(共通)");
  EXPECT_EQ(b.col(4), "[貸借対照表]");
  EXPECT_EQ(b.col(5), "預り金");
  EXPECT_EQ(state.workAccountBalances[1].col(4), "[損益計算書]");
  // An account with sub-accounts carries their sum.
  EXPECT_EQ(b.amount1, 1207);

  // Both sub-accounts stay under 預り金: the four-character line changed nothing.
  ASSERT_EQ(state.workSubAccounts.count(), 2);
  EXPECT_EQ(state.workSubAccounts[1].col(2), "預り金");
  EXPECT_EQ(state.workSubAccounts[1].col(3), "住民税");
  EXPECT_EQ(state.workSubAccounts[1].col(6), "2");
  const WorkSubAccountBalance& sb = state.workSubAccountBalances[1];
  EXPECT_EQ(sb.col(2), "事業所(共通)");
  EXPECT_EQ(sb.col(5), "預り金");
  EXPECT_EQ(sb.col(6), "住民税");
  EXPECT_EQ(sb.amount1, 7);  // column 17 for a debit-side line

  ASSERT_EQ(state.workDepartments.count(), 1);
  EXPECT_EQ(state.workDepartments[0].col(2), "事業所");
  EXPECT_EQ(state.workDepartments[0].col(8), "事業所");
  EXPECT_EQ(state.workDepartments[0].joinedName, "事業所(共通)");
  EXPECT_EQ(state.departmentTotalName, "事業所(合計)");
}

TEST_F(BlueReturn, AFailedLinePassFailsTheImport) {
  struct Case {
    std::string line;
    std::string reason;
  };
  const Case cases[] = {
      {"\"101\",,\"現金\",,,", "5行目: 列が足りません（18列以上必要です）"},
      {blueAccountLine("1A1", "現金", "借", "0"),
       "5行目: 勘定科目コード「1A1」が数値ではありません"},
      {blueAccountLine("101", "現金", "借", "3000000000"),
       "5行目: 期首残高「3000000000」が大きすぎます"},
  };
  for (const Case& c : cases) {
    testing::BlueCompany company;
    company.accountLines = {blueAccountLine("100", "小口現金", "借", "0"), c.line};
    EXPECT_FALSE(importAccounts(company));
    EXPECT_EQ(accountsError.describe(), folder() + "/kcode.brf " + c.reason);
  }
  // A file without a single account line is no account file.
  testing::BlueCompany empty;
  empty.accountLines = {blueAccountLine("1001", "見出し", "借", "0")};
  EXPECT_FALSE(importAccounts(empty));
  EXPECT_EQ(accountsError.describe(), folder() + "/kcode.brf: 勘定科目の行がありません");
}

TEST_F(BlueReturn, AmountsAreRoundedHalfToEvenAndMustFit32Bits) {
  auto bytes = [](double v) {
    return testing::blueRecordBytes([&] {
             BlueRecord r;
             r.firstAmount = v;
             return r;
           }())
        .substr(11, 8);
  };
  struct Case {
    double value;
    std::optional<int32_t> expected;
  };
  const Case cases[] = {{1234.0, 1234},
                        {-500.0, -500},
                        {2.5, 2},
                        {3.5, 4},
                        {2147483647.0, 2147483647},
                        {2147483648.0, std::nullopt},
                        {-2147483648.0, std::nullopt},
                        {NAN, std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(decodeBlueAmount(bytes(c.value)), c.expected) << c.value;
}

TEST_F(BlueReturn, JournalRecordsBecomeIntermediateLines) {
  BlueRecord sale = blueRecord(2007, 4, 1, 111, 411, 1234.0, 7);
  sale.firstSub = 2;
  sale.secondAmount = -500.0;
  sale.description = "現金 売上  ";
  sale.code3 = 9;
  sale.firstTax = 1;
  sale.secondTax = 3;
  BlueRecord deleted = blueRecord(2007, 6, 1, 101, 411, 1);
  deleted.status = 1;
  const BlueRecord unused = blueRecord(0, 0, 0, 0, 0, 0, 0);  // zero-filled, status 0
  const auto lines =
      expand({blueRecord(2007, 1, 1, 101, 411, 10, 1), sale, deleted, unused,
              blueRecord(2006, 12, 31, 101, 411, 1), blueRecord(2008, 1, 1, 101, 411, 1),
              blueRecord(2007, 12, 31, 999, 411, 20, 2)});
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1],
            "\"[明細行]\",\"平成19年04月01日\",\"7\",\"\",\"\",\"111\",\"411\",\"\",\"\",\"111\","
            "\"南北銀行\",\"事業所\",\"1\",\"\",\"1234\",\"0\",\"411\",\"\",\"事業所\",\"3\",\"\","
            "\"-500\",\"0\",\"現金売上\",\"\",\"\",\"\",\"平成19年04月01日\",\"9\"");
  EXPECT_EQ(fields(lines[0])[1], "平成19年01月01日");
  EXPECT_EQ(cleanBlueDescription("a\tb\r\nc"), "a bc");
  // An account code no account has is written without a sub-account name.
  EXPECT_EQ(fields(lines[2])[5], "999");
  EXPECT_EQ(fields(lines[2])[27], "平成19年12月31日");

  // The file name carries the clock; the journal rows and in-use marks are set.
  EXPECT_EQ(state.sourceFiles[SourceFile::Journal], dir.file("20261208102030中間仕訳データ.txt"));
  ASSERT_EQ(state.journalRows.count(), 3);
  EXPECT_EQ(state.journalRows[1].voucherNumber, 7);
  EXPECT_EQ(state.journalRows[1].entryDate, *makeDate(2007, 4, 1));
  std::vector<std::string> used;
  for (const WorkAccount& a : state.workAccounts)
    if (a.inUse) used.push_back(a.sourceCode);
  // 101, 111, 311 and 211 by their opening balances or sub-accounts, 411 by the records.
  EXPECT_EQ(used, (std::vector<std::string>{"101", "111", "211", "311", "411"}));
}

TEST_F(BlueReturn, EraDatesChangeOnTheFirstDayOfReiwa) {
  state.journalPeriod = {2019, 1, 1, 2019, 12, 31};
  const auto lines =
      expand({blueRecord(2019, 4, 30, 101, 411, 1), blueRecord(2019, 5, 1, 101, 411, 1)});
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(fields(lines[0])[1], "平成31年04月30日");
  EXPECT_EQ(fields(lines[1])[1], "令和01年05月01日");
}

TEST_F(BlueReturn, ATruncatedTailIsNoRecordAndANulEndsTheDescription) {
  BlueRecord first = blueRecord(2007, 5, 5, 101, 411, 1);
  first.description = std::string("売上\0\0ゴミ", 14);
  ASSERT_TRUE(importAccounts(testing::sampleBlueCompany()));
  const std::string journal = folder() + "/仕訳データ";
  testing::writeBytes(journal,
                      testing::blueJournalBytes({first, blueRecord(2007, 5, 6, 101, 411, 1)})
                          .substr(0, kBlueRecordSize * 2 - 1));
  ASSERT_TRUE(expandBlueJournal(state, platform, journal, state.outputFolder));
  const auto lines = testing::readCp932Lines(state.sourceFiles[SourceFile::Journal]);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(fields(lines[0])[23], "売上");
}

TEST_F(BlueReturn, BadRecordsFailAndWriteNothing) {
  BlueRecord highByte = blueRecord(2007, 5, 5, 101, 411, 1);
  highByte.firstAccount = 0x8001;
  BlueRecord tooLarge = blueRecord(2007, 5, 5, 101, 411, 2147483648.0);
  struct Case {
    BlueRecord record;
    std::string reason;
  };
  const Case cases[] = {
      {highByte, "2件目の仕訳: 借方勘定科目コードの値が正しくありません（8バイト目）"},
      {tooLarge, "2件目の仕訳: 借方の金額が大きすぎます"},
  };
  for (const Case& c : cases) {
    state.sourceFiles[SourceFile::Journal].clear();
    EXPECT_TRUE(expand({blueRecord(2007, 5, 4, 101, 411, 1), c.record}).empty());
    EXPECT_EQ(state.lastErrorLocation, "P3:0008");
    EXPECT_EQ(expanded.error().describe(), folder() + "/仕訳データ: " + c.reason);
    EXPECT_EQ(state.sourceFiles[SourceFile::Journal], "");
    EXPECT_FALSE(testing::fileExistsAt(dir.file("20261208102030中間仕訳データ.txt")));
  }
}

}  // namespace
}  // namespace ledra
