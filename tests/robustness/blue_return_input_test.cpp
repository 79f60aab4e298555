// ブルーリターンＡ's three data files against the classes of bad input, end to end through the
// command line: each case either fails its step with a detail naming the file, the line or
// record and the reason, leaving the outputs and the work-state file alone, or converts as the
// untouched example company does.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/cp932.hpp"
#include "robustness/robustness_support.hpp"
#include "support/blue_fixtures.hpp"
#include "support/fixtures.hpp"
#include "support/temp_dir.hpp"

namespace ledra {
namespace {

namespace fs = std::filesystem;

// The data folder's files as bytes; the binary ones are always made by the builders.
struct BlueFiles {
  std::string accounts;  // kcode.brf
  std::vector<testing::BlueRecord> records;
  std::string journalTail;  // bytes after the records
  std::string settings;
};
using Mutation = std::function<void(BlueFiles&)>;

std::string joined(const std::vector<std::string>& utf8Lines) {
  std::string out;
  for (const std::string& l : utf8Lines) out += encodeCp932(l) + "\r\n";
  return out;
}
std::vector<std::string> accountLines(const testing::BlueCompany& c) {
  std::vector<std::string> ls = testing::blueAccountHeadings();
  ls.insert(ls.end(), c.accountLines.begin(), c.accountLines.end());
  return ls;
}
BlueFiles exampleFiles() {
  const testing::BlueCompany c = testing::exampleBlueCompany();
  return {
      joined(accountLines(c)), c.records, {}, testing::blueSettingsBytes(c.taxOn, c.simplified)};
}

// kcode.brf of the example company with its lines (after the headings) changed.
Mutation accountsWith(std::function<void(std::vector<std::string>&)> change) {
  return [=](BlueFiles& f) {
    testing::BlueCompany c = testing::exampleBlueCompany();
    change(c.accountLines);
    f.accounts = joined(accountLines(c));
  };
}
Mutation accountBytes(std::function<std::string(const std::string&)> change) {
  return [=](BlueFiles& f) { f.accounts = change(f.accounts); };
}
Mutation recordsWith(std::function<void(std::vector<testing::BlueRecord>&)> change) {
  return [=](BlueFiles& f) { change(f.records); };
}
// The first record of 2007 (the example's second), changed.
Mutation firstRecordWith(std::function<void(testing::BlueRecord&)> change) {
  return recordsWith([=](std::vector<testing::BlueRecord>& rs) { change(rs[1]); });
}

// The last line cut just after the lead byte of its last double-byte character.
std::string cutInCharacter(const std::string& b) {
  const std::string t = b.substr(0, b.size() - 2);
  const size_t lineStart = t.rfind("\r\n") + 2;
  size_t lead = std::string::npos;
  for (size_t i = lineStart; i < t.size(); ++i)
    if (isCp932LeadByte(static_cast<unsigned char>(t[i]))) lead = i++;
  return t.substr(0, lead + 1);
}

struct Case {
  std::string name;
  Mutation mutate;
  // Empty: the conversion succeeds with every output as the untouched example gives it, or,
  // with `changed`, differing only in those files, which show `shows`. Otherwise the step's
  // message, the file and the reason after "PATH[ N行目]: ".
  std::string reason;
  const char* step = "";
  const char* file = "";
  int64_t line = 0;
  std::vector<std::string> changed = {};
  std::string shows = {};
};
// Listed by name rather than as raw bytes.
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

using robustness::garbage;
using robustness::Outcome;
using robustness::q;
using robustness::run;
using robustness::utf16;

Outcome convert(const std::string& work, const BlueFiles& f) {
  const std::string data = work + "/Data/Y2007";
  fs::create_directories(data);
  testing::writeBytes(data + "/kcode.brf", f.accounts);
  testing::writeBytes(data + "/仕訳データ", testing::blueJournalBytes(f.records) + f.journalTail);
  testing::writeBytes(data + "/基本情報ﾃﾞｰﾀ", f.settings);
  Outcome r = run("import --package blue --master " +
                  q(std::string(LEDRA_SOURCE_DIR) + "/examples/ledra_master.csv") +
                  " --blue-data " + q(data) + " --from 2007/01/01 --output " + q(work + "/out") +
                  " --save " + q(work + "/state.dat"));
  if (r.status != 0) return r;
  Outcome c = run("convert --state " + q(work + "/state.dat"));
  c.output = r.output + c.output;
  return c;
}

using robustness::outputs;
const std::map<std::string, std::string>& baseline() {
  static const std::map<std::string, std::string> files = [] {
    testing::TempDir work;
    fs::create_directories(work.file("out"));
    const Outcome r = convert(work.path(), exampleFiles());
    EXPECT_EQ(r.status, 0) << r.output;
    return outputs(work.file("out"));
  }();
  return files;
}

class BlueReturnInput : public ::testing::TestWithParam<Case> {};

TEST_P(BlueReturnInput, FailsItsStepWithTheCauseOrConvertsRightly) {
  const Case& c = GetParam();
  testing::TempDir work;
  fs::create_directories(work.file("out"));
  BlueFiles files = exampleFiles();
  c.mutate(files);
  if (c.reason.empty()) {
    const Outcome r = convert(work.path(), files);
    ASSERT_EQ(r.status, 0) << r.output;
    const auto got = outputs(work.file("out"));
    const auto& want = baseline();
    robustness::expectOutputsAsBaseline(got, want, c.changed, c.shows);
    return;
  }
  // Outputs and a state of an earlier run, which a failure must leave alone.
  testing::writeBytes(work.file("out/kanjyo.csv"), "earlier\r\n");
  testing::writeBytes(work.file("state.dat"), "earlier\r\n");
  const Outcome r = convert(work.path(), files);
  EXPECT_EQ(r.status, 1) << r.output;
  const std::string detail = work.path() + "/Data/Y2007/" + c.file +
                             (c.line ? " " + std::to_string(c.line) + "行目" : "") + ": " +
                             c.reason;
  EXPECT_EQ(r.output, std::string(c.step) + "\n" + detail + "\n");
  EXPECT_EQ(testing::readBytes(work.file("out/kanjyo.csv")), "earlier\r\n");
  EXPECT_EQ(testing::readBytes(work.file("state.dat")), "earlier\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(work.file("out")), fs::directory_iterator{}), 1);
}

constexpr const char* kBasic = "基本データの取込に失敗しました。";
constexpr const char* kJournal = "仕訳データの取込に失敗しました。";
constexpr const char* kAccountFile = "kcode.brf";
constexpr const char* kJournalFile = "仕訳データ";
constexpr const char* kSettingsFile = "基本情報ﾃﾞｰﾀ";
const std::string kConverts;
const std::string kQuotedName = "\"甲,乙\"\"丙\"\"\"";

std::vector<Case> cases() {
  // kcode.brf: three headings, then the account lines (the last one 雑費 781).
  const int64_t lastLine =
      3 + static_cast<int64_t>(testing::exampleBlueCompany().accountLines.size());
  return {
      {"accounts_empty", accountBytes([](const std::string&) { return std::string(); }),
       "ファイルが空です", kBasic, kAccountFile},
      {"accounts_header_only", accountsWith([](auto& ls) { ls.clear(); }),
       "勘定科目の行がありません", kBasic, kAccountFile},
      {"accounts_utf8_without_mark", accountBytes(decodeCp932),
       "BOMのないUTF-8のファイルは読み込めません（CP932かBOM付きUTF-8で保存してください）", kBasic,
       kAccountFile},
      {"accounts_utf16", accountBytes(utf16),
       "UTF-16のファイルは読み込めません（CP932で保存してください）", kBasic, kAccountFile},
      {"accounts_binary", accountBytes(garbage), "テキストファイルではありません", kBasic,
       kAccountFile},
      {"accounts_cut_in_character", accountBytes(cutInCharacter), "引用符（\"）が閉じていません",
       kBasic, kAccountFile, lastLine},
      {"accounts_too_few_columns",
       accountsWith([](auto& ls) { ls[0] = "\"101\",,\"現金\",,,,,,,,,,,\"借\""; }),
       "列が足りません（18列以上必要です）", kBasic, kAccountFile, 4},
      {"accounts_too_many_columns", accountsWith([](auto& ls) {
         for (std::string& l : ls) l += ",\"余分\",0";
       }),
       kConverts},
      {"accounts_unclosed_quote", accountsWith([](auto& ls) { ls[1].insert(0, "\""); }),
       "引用符（\"）が閉じていません", kBasic, kAccountFile, 5},
      {"accounts_quoted_comma_and_quote",
       accountsWith([](auto& ls) {
         ls[2] = testing::blueSubAccountLine("111", "1", "甲,乙\"\"丙\"\"", "借", "300000");
       }),
       kConverts,
       "",
       "",
       0,
       {"hojokamoku.csv", "shiwake.csv", "zandaka.csv", "中間仕訳データ.txt"},
       kQuotedName},
      {"accounts_amount_past_32_bits", accountsWith([](auto& ls) {
         ls[0] = testing::blueAccountLine("101", "現金", "借", "2147483648");
       }),
       "期首残高「2147483648」が大きすぎます", kBasic, kAccountFile, 4},
      {"accounts_one_past_capacity", accountsWith([](auto& ls) {
         // The example's 9 accounts and 2 sub-accounts, then accounts up to 2002.
         while (ls.size() < 2002 + 2)
           ls.push_back(testing::blueAccountLine(std::to_string(100 + ls.size() % 900),
                                                 "科目" + std::to_string(ls.size()), "借", "0"));
       }),
       "勘定科目が多すぎます（2001件まで）", kBasic, kAccountFile, 3 + 2002 + 2},
      {"accounts_sub_account_one_past_capacity", accountsWith([](auto& ls) {
         for (int i = 0; i < 5001 - 2 + 1; ++i)
           ls.push_back(testing::blueSubAccountLine("781", std::to_string(i + 1),
                                                    "補助" + std::to_string(i), "借", "0"));
       }),
       "補助科目が多すぎます（5001件まで）", kBasic, kAccountFile, lastLine + 5000},
      {"accounts_16mb", accountBytes([](const std::string& b) {
         // Lines no import takes: a code of four characters is no account line.
         const std::string filler =
             encodeCp932(testing::blueAccountLine("1001", "長い行", "借", "0") +
                         std::string(200, ',')) +
             "\r\n";
         std::string out = b;
         out.reserve(16u << 20);
         while (out.size() < (16u << 20)) out += filler;
         return out;
       }),
       kConverts},
      // The binary journal.
      {"journal_empty", recordsWith([](auto& rs) { rs.clear(); }),
       "期間内の仕訳がありません（2007/01/01～2007/12/31）", kJournal, kJournalFile},
      {"journal_truncated_record_tail",
       [](BlueFiles& f) {
         f.journalTail =
             testing::blueRecordBytes(testing::blueRecord(2007, 6, 1, 101, 411, 1)).substr(0, 50);
       },
       kConverts},
      {"journal_description_with_comma_and_quote",
       firstRecordWith([](testing::BlueRecord& r) { r.description = "4月分,家賃\"前払\""; }),
       kConverts,
       "",
       "",
       0,
       {"shiwake.csv", "中間仕訳データ.txt"},
       "\"4月分,家賃\"\"前払\"\"\""},
      {"journal_amount_past_32_bits",
       firstRecordWith([](testing::BlueRecord& r) { r.secondAmount = 2147483648.0; }),
       "2件目の仕訳: 貸方の金額が大きすぎます", kJournal, kJournalFile},
      {"journal_year_high_byte",
       firstRecordWith([](testing::BlueRecord& r) { r.year = 0x8000 | 2007; }),
       "2件目の仕訳: 年の値が正しくありません（4バイト目）", kJournal, kJournalFile},
      {"journal_account_high_byte",
       firstRecordWith([](testing::BlueRecord& r) { r.secondAccount = 0x8000 | 101; }),
       "2件目の仕訳: 貸方勘定科目コードの値が正しくありません（19バイト目）", kJournal,
       kJournalFile},
      {"journal_date_that_does_not_exist", firstRecordWith([](testing::BlueRecord& r) {
         r.month = 2;
         r.day = 30;
       }),
       "2件目の仕訳: 日付ではありません: 2007/02/30", kJournal, kJournalFile},
      {"journal_one_past_capacity", recordsWith([](auto& rs) {
         rs.assign(30002, testing::blueRecord(2007, 4, 1, 611, 101, 100));
       }),
       "30002件目の仕訳: 仕訳が多すぎます（30001行まで）", kJournal, kJournalFile},
      {"journal_16mb", recordsWith([](auto& rs) {
         testing::BlueRecord deleted = testing::blueRecord(2007, 4, 1, 611, 101, 100);
         deleted.status = 1;
         rs.insert(rs.end(), (16u << 20) / 89, deleted);
       }),
       kConverts},
      // The basic-information file: two settings bytes, the farther at 208.
      {"settings_empty", [](BlueFiles& f) { f.settings.clear(); },
       "ファイルが短すぎます（0バイト、209バイト以上必要です）", kBasic, kSettingsFile},
      {"settings_one_byte_short",
       [](BlueFiles& f) { f.settings = testing::blueSettingsBytes(true, false, 208); },
       "ファイルが短すぎます（208バイト、209バイト以上必要です）", kBasic, kSettingsFile},
      {"settings_16mb",
       [](BlueFiles& f) { f.settings = testing::blueSettingsBytes(true, false, 16u << 20); },
       kConverts},
  };
}

INSTANTIATE_TEST_SUITE_P(Files, BlueReturnInput, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace ledra
