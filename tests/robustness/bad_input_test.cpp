// Every input file against every class of bad input, end to end through the command line:
// each case either fails its step with a detail naming the file, the line and the reason,
// leaving the outputs and the work-state file alone, or converts as the untouched input does.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/cp932.hpp"
#include "robustness/robustness_support.hpp"
#include "support/fixtures.hpp"
#include "support/temp_dir.hpp"

namespace ledra {
namespace {

namespace fs = std::filesystem;
using Mutation = std::function<std::string(const std::string&)>;

const std::string kExamples = std::string(LEDRA_SOURCE_DIR) + "/examples";
const std::string kDetailCp932 = encodeCp932("[明細行]");

std::vector<std::string> lines(const std::string& bytes) {
  std::vector<std::string> out;
  size_t start = 0;
  for (size_t at; (at = bytes.find("\r\n", start)) != std::string::npos; start = at + 2)
    out.push_back(bytes.substr(start, at - start));
  if (start < bytes.size()) out.push_back(bytes.substr(start));
  return out;
}
std::string joined(const std::vector<std::string>& ls) {
  std::string out;
  for (const std::string& l : ls) out += l + "\r\n";
  return out;
}
// The first line a row pass takes (any line of the master).
size_t firstRow(const std::vector<std::string>& ls) {
  for (size_t i = 0; i < ls.size(); ++i)
    if (ls[i].find(kDetailCp932) != std::string::npos) return i;
  return 0;
}

std::string headerOnly(const std::string& b) {
  auto ls = lines(b);
  ls.resize(firstRow(ls));
  return joined(ls);
}
std::string utf8WithoutMark(const std::string& b) { return decodeCp932(b); }
// The last line cut inside its last double-byte character, with no line end.
std::string cutInCharacter(const std::string& b) {
  std::string t = b.substr(0, b.size() - 2);
  for (size_t i = t.size(); i-- > t.rfind("\r\n");)
    if (isCp932LeadByte(static_cast<unsigned char>(t[i])) && i + 1 < t.size() &&
        (i == 0 || !isCp932LeadByte(static_cast<unsigned char>(t[i - 1]))))
      return t.substr(0, i + 1);
  return t.substr(0, t.size() - 1);
}
std::string tooFewColumns(const std::string& b) {
  auto ls = lines(b);
  std::string& l = ls[firstRow(ls)];
  l = l.substr(0, l.find(',', l.find(',') + 1));
  return joined(ls);
}
std::string tooManyColumns(const std::string& b) {
  auto ls = lines(b);
  for (size_t i = firstRow(ls); i < ls.size(); ++i) ls[i] += ",\"余分\",0";
  return joined(ls);
}
std::string unclosedQuote(const std::string& b) {
  auto ls = lines(b);
  ls[firstRow(ls) + 1].insert(ls[firstRow(ls) + 1].find(',') + 1, "\"");
  return joined(ls);
}
// Field `column` (1-based) of the first row replaced by `text`, as it stands in the file.
Mutation withField(int column, std::string text) {
  return [=](const std::string& b) {
    auto ls = lines(b);
    std::string& l = ls[firstRow(ls)];
    size_t start = 0;
    for (int c = 1; c < column; ++c) start = l.find(',', start) + 1;
    const size_t end = l.find(',', start);
    l.replace(start, end == std::string::npos ? std::string::npos : end - start, encodeCp932(text));
    return joined(ls);
  };
}
std::string pastCapacity(const std::string& b, size_t rows) {
  auto ls = lines(b);
  const std::string row = ls[firstRow(ls)];
  ls.resize(firstRow(ls));
  ls.insert(ls.end(), rows, row);
  return joined(ls);
}
Mutation rowsPastCapacity(size_t capacity) {
  return [=](const std::string& b) { return pastCapacity(b, capacity + 1); };
}
// The file padded to 50 MB with lines no row pass takes.
std::string fiftyMegabytes(const std::string& b) {
  std::string out = b;
  const std::string filler = "[空行]" + std::string(200, ',') + "\r\n";
  out.reserve(50u << 20);
  while (out.size() < (50u << 20)) out += filler;
  return out;
}

struct Input {
  const char* option;  // the command-line option naming the file
  const char* file;    // under examples/
  const char* step;    // the first line of the step's failure message
  size_t capacity;
};
const Input kMaster{"--master", "ledra_master.csv", "Ledraの勘定科目データ取込に失敗しました。",
                    2001};
const Input kAccounts{"--accounts", "yayoi/勘定科目一覧表.txt", "勘定科目取込に失敗しました。",
                      2001};
const Input kBalances{"--balances", "yayoi/科目残高試算表.txt", "科目残高取込に失敗しました。",
                      5001};
const Input kSubs{"--sub-accounts", "yayoi/補助科目一覧表.txt", "補助科目取込に失敗しました。",
                  5001};
const Input kSubBalances{"--sub-balances", "yayoi/補助残高一覧表.txt",
                         "補助残高取込に失敗しました。", 5001};
const Input kDepartments{"--departments", "yayoi/部門一覧表.txt", "部門一覧取込に失敗しました。",
                         101};
const Input kJournal{"--journal", "yayoi/仕訳データ.txt", "仕訳データ取込に失敗しました。", 30001};

struct Case {
  std::string name;
  const Input* input;
  Mutation mutate;
  // Empty: the conversion must succeed with every output as the untouched input gives it,
  // or, with `changed`, differing only in those files. Otherwise the detail's reason, after
  // "PATH[ N行目]: ".
  std::string reason;
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

// Imports and converts, the one file replaced by `path` when given.
Outcome convert(const std::string& work, const Input* input, const std::string& path) {
  const bool master = input && std::string(input->option) == "--master";
  std::string args = "import --package yayoi --master " +
                     q(master ? path : kExamples + "/ledra_master.csv") + " --source-dir " +
                     q(kExamples + "/yayoi") + " --output " + q(work + "/out") + " --save " +
                     q(work + "/state.dat");
  if (input && !master) args += " " + std::string(input->option) + " " + q(path);
  Outcome r = run(args);
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
    const Outcome r = convert(work.path(), nullptr, "");
    EXPECT_EQ(r.status, 0) << r.output;
    return outputs(work.file("out"));
  }();
  return files;
}

class BadInput : public ::testing::TestWithParam<Case> {};

TEST_P(BadInput, FailsItsStepWithTheCauseOrConvertsRightly) {
  const Case& c = GetParam();
  testing::TempDir work;
  fs::create_directories(work.file("out"));
  const std::string path = work.file("input");
  testing::writeBytes(path, c.mutate(testing::readBytes(kExamples + "/" + c.input->file)));
  if (c.reason.empty()) {
    const Outcome r = convert(work.path(), c.input, path);
    ASSERT_EQ(r.status, 0) << r.output;
    const auto got = outputs(work.file("out"));
    const auto& want = baseline();
    robustness::expectOutputsAsBaseline(got, want, c.changed, c.shows);
    return;
  }
  // Outputs and a state of an earlier run, which a failure must leave alone.
  testing::writeBytes(work.file("out/kanjyo.csv"), "earlier\r\n");
  testing::writeBytes(work.file("state.dat"), "earlier\r\n");
  const Outcome r = convert(work.path(), c.input, path);
  EXPECT_EQ(r.status, 1) << r.output;
  const std::string detail =
      path + (c.line ? " " + std::to_string(c.line) + "行目" : "") + ": " + c.reason;
  EXPECT_NE(r.output.find(std::string(c.input->step) + "\n" + detail + "\n"), std::string::npos)
      << r.output;
  EXPECT_EQ(testing::readBytes(work.file("out/kanjyo.csv")), "earlier\r\n");
  EXPECT_EQ(testing::readBytes(work.file("state.dat")), "earlier\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(work.file("out")), fs::directory_iterator{}), 1);
}

const std::string kEmpty = "ファイルが空です";
const std::string kUtf8 =
    "BOMのないUTF-8のファイルは読み込めません（CP932かBOM付きUTF-8で保存してください）";
const std::string kUtf16 = "UTF-16のファイルは読み込めません（CP932で保存してください）";
const std::string kBinary = "テキストファイルではありません";
const std::string kNoRows = "[明細行]の行がありません";
const std::string kQuote = "引用符（\"）が閉じていません";
const std::string kEmptyText;
std::string none(const std::string&) { return {}; }

std::vector<Case> cases() {
  std::vector<Case> all = {
      // The master: fields are cut at every comma, quotes and all.
      {"master_empty", &kMaster, none, "勘定科目の行がありません"},
      {"master_utf8_without_mark", &kMaster, utf8WithoutMark, kUtf8},
      {"master_utf16", &kMaster, utf16, kUtf16},
      {"master_binary", &kMaster, garbage, kBinary},
      {"master_cut_in_character", &kMaster, cutInCharacter, "列が足りません（5列以上必要です）",
       16},
      {"master_too_few_columns", &kMaster, tooFewColumns, "列が足りません（5列以上必要です）", 1},
      {"master_too_many_columns", &kMaster, tooManyColumns, kEmptyText},
      {"master_unclosed_quote", &kMaster, unclosedQuote, kQuote, 2},
      {"master_past_capacity", &kMaster, rowsPastCapacity(2001),
       "勘定科目が多すぎます（2001件まで）", 2002},
      {"master_50mb", &kMaster, fiftyMegabytes, "勘定科目が多すぎます（2001件まで）", 2002},
  };
  struct Report {
    const char* name;
    const Input* input;
    int textColumn;                    // a text field of the first row
    std::vector<std::string> showing;  // the outputs that show it
    const char* shown;                 // as they show it (cut to the column's width)
    int numberColumn;                  // an amount, or 0
    const char* capacityReason;
  };
  const Report reports[] = {
      {"accounts",
       &kAccounts,
       8,
       {"kanjyo.csv"},
       "\"甲,乙\"\"丙\"\"\"",
       0,
       "勘定科目が多すぎます（2001件まで）"},
      {"balances", &kBalances, 3, {}, "", 6, "残高の行が多すぎます（5001行まで）"},
      {"sub_accounts",
       &kSubs,
       11,
       {"hojokamoku.csv"},
       "\"甲,\"",
       0,
       "補助科目が多すぎます（5001件まで）"},
      {"sub_balances", &kSubBalances, 4, {}, "", 7, "補助残高の行が多すぎます（5001行まで）"},
      {"departments",
       &kDepartments,
       12,
       {"busho.csv"},
       "\"甲,\"",
       0,
       "部門が多すぎます（101件まで）"},
  };
  for (const Report& r : reports) {
    const std::string n = r.name;
    // 1-based: the header lines, then the first row.
    const auto first =
        static_cast<int64_t>(firstRow(lines(testing::readBytes(kExamples + "/" + r.input->file)))) +
        1;
    all.push_back({n + "_empty", r.input, none, kEmpty});
    all.push_back({n + "_header_only", r.input, headerOnly, kNoRows});
    all.push_back({n + "_utf8_without_mark", r.input, utf8WithoutMark, kUtf8});
    all.push_back({n + "_utf16", r.input, utf16, kUtf16});
    all.push_back({n + "_binary", r.input, garbage, kBinary});
    all.push_back({n + "_unclosed_quote", r.input, unclosedQuote, kQuote, first + 1});
    all.push_back({n + "_quoted_comma_and_quote", r.input,
                   withField(r.textColumn, "\"甲,乙\"\"丙\"\"\""), kEmptyText, 0, r.showing,
                   r.shown});
    all.push_back({n + "_too_many_columns", r.input, tooManyColumns, kEmptyText});
    all.push_back({n + "_past_capacity", r.input, rowsPastCapacity(r.input->capacity),
                   r.capacityReason, first + static_cast<int64_t>(r.input->capacity)});
    all.push_back({n + "_50mb", r.input, fiftyMegabytes, kEmptyText});
    if (r.numberColumn)
      all.push_back({n + "_number_past_32_bits", r.input, withField(r.numberColumn, "99999999999"),
                     std::to_string(r.numberColumn) + "列目の金額が大きすぎます", first});
  }
  const std::vector<Case> journal = {
      {"journal_empty", &kJournal, none, kEmpty},
      {"journal_header_only", &kJournal, headerOnly, kNoRows},
      {"journal_utf8_without_mark", &kJournal, utf8WithoutMark, kUtf8, 1},
      {"journal_utf16", &kJournal, utf16, kUtf16},
      {"journal_binary", &kJournal, garbage, kBinary},
      {"journal_too_many_columns", &kJournal, tooManyColumns, kEmptyText},
      {"journal_quoted_comma_and_quote",
       &kJournal,
       withField(24, "\"4月分,家賃\"\"前払\"\"\""),
       kEmptyText,
       0,
       {"shiwake.csv"},
       "\"4月分,家賃\"\"前払\"\"\""},
      {"journal_number_past_32_bits", &kJournal, withField(15, "99999999999"),
       "金額が大きすぎます: 99999999999", 3},
      {"journal_date_that_does_not_exist", &kJournal, withField(2, "2007/02/30"),
       "日付ではありません: 2007/02/30", 3},
      {"journal_past_capacity", &kJournal, rowsPastCapacity(30001),
       "仕訳が多すぎます（30001行まで）", 30004},
      {"journal_50mb", &kJournal, fiftyMegabytes, kEmptyText},
  };
  all.insert(all.end(), journal.begin(), journal.end());
  return all;
}

INSTANTIATE_TEST_SUITE_P(Inputs, BadInput, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return info.param.name; });

// The work-state file: every bad file is refused as a whole by the command that reads it.
struct StateCase {
  std::string name;
  Mutation mutate;
  std::string detail;  // after "PATH "; empty when the file must be accepted
};
// Listed by name rather than as raw bytes.
void PrintTo(const StateCase& c, std::ostream* os) { *os << c.name; }

class BadStateFile : public ::testing::TestWithParam<StateCase> {};

const std::string& goodState() {
  static const std::string bytes = [] {
    testing::TempDir work;
    fs::create_directories(work.file("out"));
    convert(work.path(), nullptr, "");
    return testing::readBytes(work.file("state.dat"));
  }();
  return bytes;
}

// The 1-based number of the first line that is `text`.
size_t lineOf(const std::string& text) {
  const auto ls = lines(goodState());
  for (size_t i = 0; i < ls.size(); ++i)
    if (ls[i] == encodeCp932(text)) return i + 1;
  return 0;
}
Mutation onLine(size_t line, std::function<void(std::string&)> change) {
  return [=](const std::string& b) {
    auto ls = lines(b);
    change(ls[line - 1]);
    return joined(ls);
  };
}

TEST_P(BadStateFile, IsRefusedNamingTheLineOrConverts) {
  const StateCase& c = GetParam();
  testing::TempDir work;
  fs::create_directories(work.file("out"));
  testing::writeBytes(work.file("out/kanjyo.csv"), "earlier\r\n");
  const std::string path = work.file("state.dat");
  const std::string bytes = c.mutate(goodState());
  testing::writeBytes(path, bytes);
  const Outcome r = run("convert --state " + q(path) + " --output " + q(work.file("out")));
  EXPECT_EQ(testing::readBytes(path), bytes);
  if (c.detail.empty()) {
    EXPECT_EQ(r.status, 0) << r.output;
    return;
  }
  EXPECT_EQ(r.status, 1);
  const std::string expected =
      "保存データの形式が正しくありません。\n" + path + " " + c.detail + "\n";
  EXPECT_TRUE(r.output == expected) << r.output;
  EXPECT_EQ(testing::readBytes(work.file("out/kanjyo.csv")), "earlier\r\n");
}

std::vector<StateCase> stateCases() {
  const size_t accounts = lineOf("変更中勘定科目");
  const size_t record = accounts + 2;  // the first account
  const size_t last = lines(goodState()).size();
  return {
      {"empty", none, "1行目: 行がありません"},
      {"header_only", [](const std::string& b) { return b.substr(0, b.find("\r\n") + 2); },
       "2行目: 行がありません"},
      {"utf8_without_mark", utf8WithoutMark,
       "1行目: 「弥生会計」でも「ブルーリターン」でもありません"},
      {"utf16", utf16, "1行目: 「弥生会計」でも「ブルーリターン」でもありません"},
      {"binary", garbage, "1行目: 「弥生会計」でも「ブルーリターン」でもありません"},
      {"truncated_last_line", [](const std::string& b) { return b.substr(0, b.size() - 4); },
       std::to_string(last) + "行目: SimplifiedTaxation が True でも False でもありません"},
      {"too_few_columns",
       onLine(record, [](std::string& l) { l.erase(l.rfind(',', l.size() - 2)); }),
       std::to_string(record) + "行目: 項目数が 31 です（32 項目）"},
      {"too_many_columns", onLine(record, [](std::string& l) { l += "x,"; }),
       std::to_string(record) + "行目: 項目数が 33 です（32 項目）"},
      {"unclosed_quote", onLine(record, [](std::string& l) { l.insert(0, "\""); }),
       std::to_string(record) + "行目: 引用符（\"）が閉じていません"},
      {"quoted_comma_and_quote",
       onLine(
           record,
           [](std::string& l) { l = encodeCp932("\"甲,乙\"\"丙\"\"\"") + l.substr(l.find(',')); }),
       ""},
      {"number_past_32_bits", onLine(accounts + 1, [](std::string& l) { l = " 99999999999 "; }),
       std::to_string(accounts + 1) + "行目: 件数 99999999999 が範囲外です（上限 2001）"},
      {"past_capacity", onLine(accounts + 1, [](std::string& l) { l = " 2002 "; }),
       std::to_string(accounts + 1) + "行目: 件数 2002 が範囲外です（上限 2001）"},
      {"50mb", fiftyMegabytes, std::to_string(last + 1) + "行目: 余分な行があります"},
  };
}

INSTANTIATE_TEST_SUITE_P(WorkState, BadStateFile, ::testing::ValuesIn(stateCases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace ledra
