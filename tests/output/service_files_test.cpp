#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "output/account_file.hpp"
#include "output/balance_file.hpp"
#include "output/conversion_report.hpp"
#include "output/department_file.hpp"
#include "output/output_common.hpp"
#include "output/sub_account_file.hpp"
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
using Event = ScriptedPlatform::ProgressEvent;

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

// The expected file: the two identification lines, then the given record lines.
std::string fileBytes(const std::vector<std::string>& records) {
  std::string text = "L0001\r\n山田商店\r\n";
  for (const auto& r : records) text += r + "\r\n";
  return encodeCp932(text);
}

// "P2","P3",...,"P18" for an account whose source columns 2-18 are P2..P18.
std::string sourceColumns(const std::string& prefix, int from, int to) {
  std::string out;
  for (int c = from; c <= to; ++c) {
    if (c > from) out += ',';
    out += "\"" + prefix + std::to_string(c) + "\"";
  }
  return out;
}

class ServiceFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state.ledraUserCode = "L0001";
    state.ledraUserName = "山田商店";
    state.outputFolder = dir.path();
  }

  std::string file(const std::string& name) const { return readBytes(dir.file(name)); }
  // The output folder as the state names it at the call.
  OutputTarget& out() { return output.emplace(state.outputFolder); }
  std::optional<FolderOutput> output;

  WorkAccount& addAccount(const std::string& prefix, const std::string& code,
                          const std::string& name, bool valid = true) {
    WorkAccount& a = state.workAccounts.append();
    for (int c = 2; c <= 18; ++c) a.col(c) = prefix + std::to_string(c);
    a.col(1) = "[明細行]";
    a.ledraCode = code;
    a.ledraName = name;
    a.selected = true;
    a.valid = valid;
    return a;
  }

  WorkSubAccount& addSubAccount(const std::string& prefix) {
    WorkSubAccount& s = state.workSubAccounts.append();
    for (int c = 1; c <= 11; ++c) s.col(c) = prefix + std::to_string(c);
    return s;
  }

  WorkDepartment& addDepartment(const std::string& prefix, const std::string& code) {
    WorkDepartment& d = state.workDepartments.append();
    for (int c = 1; c <= 12; ++c) d.col(c) = prefix + std::to_string(c);
    d.matchName = prefix + "名";
    d.departmentCode = code;
    d.level1Code = "1";
    d.level2Code = code;
    return d;
  }

  std::vector<int64_t> progressValues() const {
    std::vector<int64_t> out;
    for (const auto& e : platform.progress)
      if (e.kind == Event::Value) out.push_back(e.number);
    return out;
  }

  TempDir dir;
  ConversionState state;
  ScriptedPlatform platform;
};

// ---- kanjyo.csv

TEST_F(ServiceFilesTest, AccountFileWritesSelectedValidRowsOnly) {
  addAccount("A", "111", "現金");
  addAccount("B", "112", "小口現金", false);
  addAccount("C", "113", "当座預金").selected = false;
  addAccount("D", "", "");  // unmapped: two empty fields at the end
  ASSERT_TRUE(writeAccountFile(state, platform, out()));
  EXPECT_EQ(file("kanjyo.csv"), fileBytes({sourceColumns("A", 2, 18) + ",\"現金\",\"111\"",
                                           sourceColumns("D", 2, 18) + ",\"\",\"\""}));
  EXPECT_TRUE(platform.messages.empty());
}

// While a report listens, a record's cut texts and its characters CP932 lacks are told to it
// with the record and the field; a "?" that was in the text already is not.
TEST_F(ServiceFilesTest, TheReportHearsOfEveryCutAndEveryLackingCharacter) {
  addAccount("A", "111", "現金?");
  addAccount("B", "112", "普通預金😀").col(4) = repeat("長", 22);
  addAccount("C", "113", "当座預金〜");  // CP932 writes U+301C with U+FF5E's bytes
  ConversionReport report({});
  {
    const ReportScope listening(report);
    ASSERT_TRUE(writeAccountFile(state, platform, out()));
  }
  ASSERT_EQ(report.replaced().size(), 1u);
  const auto& replaced = report.replaced()[0];
  EXPECT_EQ(std::tie(replaced.place.file, replaced.place.number, replaced.place.record,
                     replaced.field, replaced.original),
            std::make_tuple(std::string("kanjyo.csv"), int64_t{2}, true, std::string("項目18"),
                            std::string("普通預金😀")));
  ASSERT_EQ(report.cuts().size(), 1u);
  EXPECT_EQ(report.cuts()[0].field, "項目3");
  EXPECT_EQ(report.cuts()[0].after, repeat("長", 21));
}

TEST_F(ServiceFilesTest, AccountFileWithAllAccountsInvalidatedHasTwoLines) {
  addAccount("A", "111", "現金", false);
  addAccount("B", "112", "小口現金", false);
  ASSERT_TRUE(writeAccountFile(state, platform, out()));
  EXPECT_EQ(file("kanjyo.csv"), encodeCp932("L0001\r\n山田商店\r\n"));
}

TEST_F(ServiceFilesTest, AccountFileCutsFieldsToTheirByteWidths) {
  WorkAccount& a = addAccount("A", "12345678", repeat("長", 22));
  a.col(2) = repeat("あ", 30);
  a.col(3) = "a" + repeat("あ", 30);
  a.col(4) = "普通\"預金\"";  // quotes are doubled
  a.col(5) = "x,y";           // commas stay
  a.col(13) = "123456789";    // width 8
  a.col(16) = "ABCDEF";       // width 4
  a.col(18) = "ｱｲｳｴｵ";        // width 4, single-byte kana
  ASSERT_TRUE(writeAccountFile(state, platform, out()));
  const std::string expected =
      "\"" + repeat("あ", 21) + "\",\"a" + repeat("あ", 20) + "\",\"普通\"\"預金\"\"\",\"x,y\"," +
      sourceColumns("A", 6, 12) + ",\"12345678\"," + sourceColumns("A", 14, 15) + ",\"ABCD\"," +
      sourceColumns("A", 17, 17) + ",\"ｱｲｳｴ\",\"" + repeat("長", 21) + "\",\"123456\"";
  EXPECT_EQ(file("kanjyo.csv"), fileBytes({expected}));
}

TEST_F(ServiceFilesTest, AccountFileDrivesProgressAndLeavesDialogOpen) {
  platform.recordProgressValues = true;
  addAccount("A", "111", "現金");
  addAccount("B", "112", "小口現金", false);
  addAccount("C", "113", "当座預金");
  ASSERT_TRUE(writeAccountFile(state, platform, out()));
  EXPECT_EQ(platform.progressCaption, "kanjyo.csv出力中");
  EXPECT_EQ(platform.progressMax, 3);
  EXPECT_EQ(progressValues(), (std::vector<int64_t>{0, 0, 1, 2}));
  EXPECT_TRUE(platform.progressVisible);
}

TEST_F(ServiceFilesTest, AccountFileFromEmptyTableSucceedsWithZeroMax) {
  ASSERT_TRUE(writeAccountFile(state, platform, out()));
  EXPECT_EQ(file("kanjyo.csv"), fileBytes({}));
  EXPECT_EQ(platform.progressMax, 0);
}

TEST_F(ServiceFilesTest, AccountFileRunTwiceReplacesTheFirstFile) {
  addAccount("A", "111", "現金");
  addAccount("B", "112", "小口現金");
  ASSERT_TRUE(writeAccountFile(state, platform, out()));
  state.workAccounts[0].valid = false;
  ASSERT_TRUE(writeAccountFile(state, platform, out()));
  EXPECT_EQ(file("kanjyo.csv"), fileBytes({sourceColumns("B", 2, 18) + ",\"小口現金\",\"112\""}));
  EXPECT_TRUE(platform.messages.empty());
}

// ---- hojokamoku.csv

TEST_F(ServiceFilesTest, SubAccountFileWithoutSubAccountsHasTwoLinesAndKeepsTheDialog) {
  addAccount("A", "111", "現金");
  ASSERT_TRUE(writeAccountFile(state, platform, out()));
  const size_t eventsBefore = platform.progress.size();
  ASSERT_TRUE(writeSubAccountFile(state, platform, out()));
  EXPECT_EQ(file("hojokamoku.csv"), fileBytes({}));
  EXPECT_EQ(platform.progress.size(), eventsBefore);
  EXPECT_EQ(platform.progressCaption, "kanjyo.csv出力中");
}

TEST_F(ServiceFilesTest, SubAccountFileWritesEveryRow) {
  platform.recordProgressValues = true;
  WorkAccount& parent = addAccount("A", "131", "普通預金");
  parent.hasSubAccounts = true;
  parent.subAccountGroupNo = 105;
  WorkSubAccount& s1 = addSubAccount("S");
  s1.col(3) = repeat("補", 25);  // width 42
  s1.subAccountGroupNo = 105;
  s1.subAccountGroupCode = "A5";
  s1.subAccountName = "A銀行";
  s1.newSubCode = "12345678901234567890";   // width 15
  WorkSubAccount& s2 = addSubAccount("T");  // parent without a mapping
  s2.subAccountGroupCode = "02";
  s2.subAccountName = "B銀行";
  s2.newSubCode = "2";
  ASSERT_TRUE(writeSubAccountFile(state, platform, out()));
  EXPECT_EQ(file("hojokamoku.csv"),
            fileBytes({"\"S2\",\"" + repeat("補", 21) + "\"," + sourceColumns("S", 4, 11) +
                           ",\"普通預金\",\"131\",\"A5\",\"A銀行\",\"123456789012345\"",
                       sourceColumns("T", 2, 11) + ",\"\",\"\",\"02\",\"B銀行\",\"2\""}));
  EXPECT_EQ(platform.progressCaption, "hojokamoku.csv出力中");
  EXPECT_EQ(platform.progressMax, 2);
  EXPECT_EQ(progressValues(), (std::vector<int64_t>{0, 0, 1}));
}

// ---- busho.csv

TEST_F(ServiceFilesTest, DepartmentFileWithOneDepartmentWritesNothing) {
  addDepartment("D", "1");
  testing::writeBytes(dir.file("busho.csv"), "old busho");
  ASSERT_TRUE(writeDepartmentFile(state, platform, out()));
  EXPECT_EQ(file("busho.csv"), "old busho");
  EXPECT_TRUE(platform.progress.empty());

  std::filesystem::remove(dir.file("busho.csv"));
  ASSERT_TRUE(writeDepartmentFile(state, platform, out()));
  EXPECT_FALSE(testing::fileExistsAt(dir.file("busho.csv")));
}

TEST_F(ServiceFilesTest, DepartmentFileWritesEveryRowWholeBusinessFirst) {
  addDepartment("D", "1").col(2) = repeat("部", 17);   // width 32
  WorkDepartment& sales = addDepartment("E", "1234");  // code width 3
  sales.col(12) = "12345";                             // width 4
  sales.level3Code = "77";
  ASSERT_TRUE(writeDepartmentFile(state, platform, out()));
  EXPECT_EQ(
      file("busho.csv"),
      fileBytes({"\"" + repeat("部", 16) + "\"," + sourceColumns("D", 3, 12) +
                     ",\"D名\",\"1\",\"1\",\"1\",\"\"",
                 sourceColumns("E", 2, 11) + ",\"1234\",\"E名\",\"123\",\"1\",\"123\",\"77\""}));
  EXPECT_EQ(platform.progressCaption, "busho.csv出力中");
  EXPECT_EQ(platform.progressMax, 2);
}

// ---- zandaka.csv

class BalanceFileTest : public ServiceFilesTest {
 protected:
  WorkAccountBalance& addBalance(const std::string& name, const std::string& dept) {
    WorkAccountBalance& b = state.workAccountBalances.append();
    b.col(1) = "[明細行]";
    b.col(2) = "本社";
    b.col(4) = "[貸借対照表]";
    b.col(5) = name;
    b.processed = true;
    b.departmentCode = dept;
    // The row's own account, whose mapping the file shows.
    WorkAccount& a = state.workAccounts.append();
    a.sourceName = b.accountSourceName = name;
    a.ledraName = name;
    a.ledraCode = "111";
    a.valid = true;
    return b;
  }

  // The row's parent is the first account with the service name `parent`, given a sub-account
  // group the first time; without one the row has no parent.

  WorkSubAccountBalance& addSubBalance(const std::string& parent, const std::string& sub,
                                       const std::string& dept) {
    WorkSubAccountBalance& b = state.workSubAccountBalances.append();
    b.col(1) = "[明細行]";
    b.col(2) = "本社";
    b.col(5) = parent;
    b.col(6) = sub;
    int32_t nextGroup = 2;
    for (const WorkAccount& a : state.workAccounts)
      nextGroup = std::max(nextGroup, a.subAccountGroupNo + 1);
    for (WorkAccount& a : state.workAccounts) {
      if (a.ledraName != parent) continue;
      if (!a.hasSubAccounts) {
        a.hasSubAccounts = true;
        a.subAccountGroupNo = nextGroup;
      }
      b.subAccountGroupNo = a.subAccountGroupNo;
      break;
    }
    b.subAccountGroupCode = "02";
    b.subAccountName = sub;
    b.newSubCode = sub.empty() ? "" : "001";
    b.departmentCode = dept;
    return b;
  }

  void SetUp() override {
    ServiceFilesTest::SetUp();
    addDepartment("D", "1");
    addDepartment("E", "2");
  }
};

TEST_F(BalanceFileTest, AccountRowsNeedDepartmentNoSubAccountsProcessedAndValid) {
  WorkAccountBalance& cash = addBalance("現金", "2");
  cash.amount1 = 50000;
  cash.amount2 = -12000;
  cash.amount3 = 3000;
  cash.amount4 = 41000;
  cash.ratio = 12.5f;
  addBalance("普通預金", "1").accountHasSubAccounts = true;
  addBalance("小口現金", "1");
  state.workAccounts[state.workAccounts.count() - 1].valid = false;
  addBalance("当座預金", "1").processed = false;
  addBalance("定期預金", "");  // department matched nothing
  WorkAccountBalance& sales = addBalance(repeat("売", 22), "1");
  sales.col(3) = "123456789";  // width 8
  sales.ratio = 100;
  sales.subAccountGroupCode = "Z9";
  addBalance("仮払金", "1").ratio = 0.25f;
  ASSERT_TRUE(writeBalanceFile(state, platform, out()));
  EXPECT_EQ(
      file("zandaka.csv"),
      fileBytes({
          R"("本社","","[貸借対照表]","現金","","50000","-12000","3000","41000","12.5","現金","111","00","","","2")",
          "\"本社\",\"12345678\",\"[貸借対照表]\",\"" + repeat("売", 21) +
              "\",\"\",\"0\",\"0\",\"0\",\"0\",\"100\",\"" + repeat("売", 21) +
              "\",\"111\",\"Z9\",\"\",\"\",\"1\"",
          R"("本社","","[貸借対照表]","仮払金","","0","0","0","0","0.25","仮払金","111","00","","","1")",
      }));
}

TEST_F(BalanceFileTest, RatioIsWrittenWithSevenSignificantDigitsAtMost) {
  const std::vector<std::pair<float, std::string>> cases = {
      // clang-format off
      {12.5f, "12.5"},          {100.0f, "100"},           {0.25f, "0.25"},
      {-0.5f, "-0.5"},          {-0.0f, "0"},              {33.33f, "33.33"},
      {100000.0f, "100000"},    {1000000.0f, "1000000"},   {0.0001f, "0.0001"},
      {12.345678f, "12.34568"}, {-9999999.0f, "-9999999"}, {12345678.0f, "1.234568E+07"},
      // clang-format on
  };
  for (const auto& [ratio, text] : cases) addBalance("現金", "1").ratio = ratio;
  ASSERT_TRUE(writeBalanceFile(state, platform, out()));
  std::vector<std::string> written;
  for (const std::string& line : testing::readCp932Lines(dir.file("zandaka.csv"))) {
    if (!line.starts_with("\"")) continue;
    // The ratio is field 10; no field before it holds a comma here.
    size_t at = 0;
    for (int comma = 0; comma < 9; ++comma) at = line.find(',', at) + 1;
    written.push_back(line.substr(at + 1, line.find(',', at) - at - 2));
  }
  ASSERT_EQ(written.size(), cases.size());
  for (size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(written[i], cases[i].second) << i;
}

TEST_F(BalanceFileTest, SubAccountRowsFollowTheirParentsValidity) {
  addAccount("A", "131", "普通預金");
  addAccount("B", "132", "定期預金", false);
  // Two accounts on one service account: the later one decides.
  addAccount("C", "133", "別段預金", false);
  addAccount("F", "133", "別段預金");
  addSubBalance("普通預金", "A銀行", "2").amount1 = -300;
  addSubBalance("定期預金", "B銀行", "1");
  addSubBalance("普通預金", "", "1");  // no sub-account: written as 999
  addSubBalance("普通預金", "", "");   // department matched nothing
  addSubBalance("別段預金", "C銀行", "1").ratio = 1.5f;
  ASSERT_TRUE(writeBalanceFile(state, platform, out()));
  EXPECT_EQ(
      file("zandaka.csv"),
      fileBytes({
          R"("本社","","","普通預金","A銀行","-300","0","0","0","0","普通預金","131","02","A銀行","001","2")",
          R"("本社","","","普通預金","","0","0","0","0","0","普通預金","131","02","","999","1")",
          R"("本社","","","別段預金","C銀行","0","0","0","0","1.5","別段預金","133","02","C銀行","001","1")",
      }));
  EXPECT_EQ(state.workSubAccountBalances[2].newSubCode, "999");
  EXPECT_EQ(state.workSubAccountBalances[3].newSubCode, "");  // not written, not changed
}

TEST_F(BalanceFileTest, ARowWithoutAParentKeepsThePreviousRowsValidity) {
  addAccount("A", "131", "普通預金");
  addSubBalance("外貨預金", "X銀行", "1");  // nothing before it: not valid
  addSubBalance("普通預金", "A銀行", "1");
  addSubBalance("外貨預金", "Y銀行", "1");
  ASSERT_TRUE(writeBalanceFile(state, platform, out()));
  EXPECT_EQ(
      file("zandaka.csv"),
      fileBytes({
          R"("本社","","","普通預金","A銀行","0","0","0","0","0","普通預金","131","02","A銀行","001","1")",
          R"("本社","","","外貨預金","Y銀行","0","0","0","0","0","","","02","Y銀行","001","1")",
      }));
}

TEST_F(BalanceFileTest, OneDepartmentLeavesFirstAndLastFieldEmpty) {
  state.workDepartments.resize(1);
  addAccount("A", "131", "普通預金");
  addBalance("現金", "1");
  addSubBalance("普通預金", "A銀行", "1");
  ASSERT_TRUE(writeBalanceFile(state, platform, out()));
  EXPECT_EQ(
      file("zandaka.csv"),
      fileBytes({
          R"("","","[貸借対照表]","現金","","0","0","0","0","0","現金","111","00","","","")",
          R"("","","","普通預金","A銀行","0","0","0","0","0","普通預金","131","02","A銀行","001","")",
      }));
}

TEST_F(BalanceFileTest, ProgressCountsAccountRowsThenSubAccountRows) {
  platform.recordProgressValues = true;
  addAccount("A", "131", "普通預金");
  addBalance("現金", "1");
  addBalance("小口現金", "");
  addSubBalance("普通預金", "A銀行", "1");
  ASSERT_TRUE(writeBalanceFile(state, platform, out()));
  EXPECT_EQ(platform.progressCaption, "zandaka.csv出力中");
  EXPECT_EQ(platform.progressMax, 3);
  EXPECT_EQ(progressValues(), (std::vector<int64_t>{0, 0, 1, 2}));
  EXPECT_TRUE(platform.progressVisible);
}

// ---- failures, the same for every writer

// Lowers the file-size limit so that writes fail even for root.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit lowered = saved_;
    lowered.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lowered);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_);
  }

 private:
  rlimit saved_{};
  void (*previous_)(int) = nullptr;
};

struct WriterCase {
  const char* name;
  const char* fileName;
  std::function<StepResult(ConversionState&, Platform&, OutputTarget&)> write;
};

class WriterFailureTest : public BalanceFileTest, public ::testing::WithParamInterface<WriterCase> {
 protected:
  void SetUp() override {
    BalanceFileTest::SetUp();
    addAccount("A", "131", "普通預金");
    addSubAccount("S");
    addBalance("現金", "1");
  }
  std::vector<std::string> folderEntries() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
      names.push_back(e.path().filename().string());
    return names;
  }
};

TEST_P(WriterFailureTest, MissingFolderFailsSilentlyAndNamesTheFile) {
  state.outputFolder = dir.file("gone");
  const StepResult written = GetParam().write(state, platform, out());
  EXPECT_FALSE(written);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_FALSE(platform.progressVisible);
  EXPECT_EQ(written.error().file, dir.file("gone") + "/" + GetParam().fileName);
  EXPECT_TRUE(written.error().reason.starts_with("ファイルを書き込めません（"))
      << written.error().reason;
  EXPECT_TRUE(folderEntries().empty());
}

TEST_P(WriterFailureTest, FailedWriteKeepsTheEarlierFileAndLeavesNoTemporary) {
  const std::string target = dir.file(GetParam().fileName);
  testing::writeBytes(target, "old");
  bool ok = true;
  {
    FileSizeLimit limit(8);
    ok = GetParam().write(state, platform, out()).ok();
  }
  EXPECT_FALSE(ok);
  EXPECT_EQ(readBytes(target), "old");
  EXPECT_EQ(folderEntries(), std::vector<std::string>{GetParam().fileName});
  EXPECT_FALSE(platform.progressVisible);
  EXPECT_TRUE(platform.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Writers, WriterFailureTest,
    ::testing::Values(WriterCase{"Account", "kanjyo.csv", writeAccountFile},
                      WriterCase{"SubAccount", "hojokamoku.csv", writeSubAccountFile},
                      WriterCase{"Department", "busho.csv", writeDepartmentFile},
                      WriterCase{"Balance", "zandaka.csv",
                                 [](ConversionState& s, Platform& p, OutputTarget& o) {
                                   return writeBalanceFile(s, p, o);
                                 }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ledra
