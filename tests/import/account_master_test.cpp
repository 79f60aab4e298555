#include "import/account_master.hpp"

#include <gtest/gtest.h>

#include "state/conversion_state.hpp"
#include "support/fixtures.hpp"
#include "support/temp_dir.hpp"

namespace ledra {
namespace {

class MasterLoad : public ::testing::Test {
 protected:
  bool load(const std::vector<std::string>& lines) {
    testing::writeCp932Lines(path, lines);
    const StepResult result = loadStandardAccountMaster(state, path);
    error = result.error();
    return result.ok();
  }
  ErrorDetail error;
  testing::TempDir dir;
  std::string path = dir.file("master.csv");
  ConversionState state;
};

TEST_F(MasterLoad, TrimsAndTakesTheIdentifyingLine) {
  ASSERT_TRUE(
      load({"  1234 , Shop  , 101 , 現金 ,x", "", ",,102,普通預金,y,extra", ",,,名前のみ,z"}));
  EXPECT_EQ(state.ledraUserCode, "1234");
  EXPECT_EQ(state.ledraUserName, "Shop");
  ASSERT_EQ(state.standardAccounts.count(), 3);  // the empty line takes no entry
  EXPECT_EQ(state.standardAccounts[0], (StandardAccount{"", "", "101", "現金", "x", false}));
  EXPECT_EQ(state.standardAccounts[1].masterValue5, "y");
  EXPECT_EQ(state.standardAccounts[2].ledraCode, "");
  // The entry without a code is kept but offers nothing to choose.
  ASSERT_EQ(state.standardAccountCandidates.count(), 2);
  EXPECT_EQ(state.standardAccountCandidates[1].ledraName, "普通預金");
}

TEST_F(MasterLoad, LastIdentifyingLineWinsAndQuotesStay) {
  ASSERT_TRUE(load({"1,A,101,現金,x", "2,B,\"102\",預金,y"}));
  EXPECT_EQ(state.ledraUserCode, "2");
  EXPECT_EQ(state.ledraUserName, "B");
  EXPECT_EQ(state.standardAccounts[1].ledraCode, "\"102\"");
}

TEST_F(MasterLoad, ShortLineFailsTheWholeLoad) {
  EXPECT_FALSE(load({"1,A,101,現金,x", ",,102,預金"}));
  EXPECT_EQ(error.file, path);
  EXPECT_EQ(error.line, 2);
}

// The user code heads the archive's name, so one that would take it elsewhere is refused.
TEST_F(MasterLoad, UserCodeThatIsNoPlainFileNameFailsTheLoad) {
  const std::string rule =
      "」はファイル名に使えません（「/"
      "」「\\」、制御文字、「.」「..」だけのもの、長すぎるものは使えません）";
  for (auto [code, shown] : std::vector<std::pair<std::string, std::string>>{
           {"../X", "../X"},
           {"/abs/X", "/abs/X"},
           {"a/b", "a/b"},
           {"a\x1b", "a\\x1B"},
           {"..", ".."},
           {"a\\b", "a\\b"},
           {std::string(230, 'u'), std::string(230, 'u')}}) {
    EXPECT_FALSE(load({",,100,諸口,x", code + ",Shop,101,現金,x"})) << shown;
    EXPECT_EQ(error.describe(), path + " 2行目: ユーザーコード「" + shown + rule);
    EXPECT_EQ(state.ledraUserCode, "");
  }
  EXPECT_TRUE(load({"U-1.2_x,Shop,101,現金,x"}));
}

TEST_F(MasterLoad, MissingFileFails) {
  const StepResult result = loadStandardAccountMaster(state, dir.file("none.csv"));
  EXPECT_FALSE(result);
  EXPECT_EQ(result.error().file, dir.file("none.csv"));
}

TEST_F(MasterLoad, CapacityIs2001Accounts) {
  std::vector<std::string> lines{"9,Co,1,a,x"};
  for (int i = 2; i <= 2001; ++i) lines.push_back(",," + std::to_string(i) + ",科目,x");
  ASSERT_TRUE(load(lines));
  EXPECT_EQ(state.standardAccounts.count(), 2001);
  EXPECT_EQ(state.standardAccountCandidates.count(), 2001);
  lines.push_back(",,2002,科目,x");
  EXPECT_FALSE(load(lines));
  EXPECT_EQ(error.line, 2002);
  EXPECT_EQ(error.reason, "勘定科目が多すぎます（2001件まで）");
}

}  // namespace
}  // namespace ledra
