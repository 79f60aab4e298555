#include <gtest/gtest.h>

#include <filesystem>

#include "import/account_master.hpp"
#include "state/conversion_state.hpp"
#include "support/fixtures.hpp"
#include "support/scripted_platform.hpp"
#include "support/yayoi_fixtures.hpp"
#include "wizard/step_flow.hpp"

namespace ledra {
namespace {

std::string journalLine(const std::string& date, const std::string& amount) {
  std::vector<std::string> f(29);
  f[0] = "[明細行]";
  f[1] = date;
  f[2] = "1";
  f[9] = "現金";
  f[14] = amount;
  f[15] = "0";
  f[16] = "売上高";
  f[21] = amount;
  f[22] = "0";
  std::string line;
  for (size_t i = 0; i < f.size(); ++i) line += (i ? "," : "") + f[i];
  return line;
}

// The output run reads the journal once and hands the text to the journal writer; what it
// writes must still follow the file as it is at each run.
class OutputJournalText : public ::testing::Test {
 protected:
  void SetUp() override {
    out = dir.path() + "/out";
    std::filesystem::create_directories(out);
    const auto paths = testing::sampleYayoiCompany().writeTo(dir.path());
    for (int k = 0; k < 5; ++k) state.sourceFiles[k] = paths[k];
    state.sourceFiles[5] = dir.file("仕訳データ.txt");
    writeJournal({journalLine("2026/04/01", "10500")});
    const std::string master = dir.file("master.csv");
    testing::writeCp932Lines(master, {"U1,テスト商事,111,現金,x", ",,112,普通預金,x",
                                      ",,411,売上高,x", ",,511,仕入高,x"});
    ASSERT_TRUE(loadStandardAccountMaster(state, master));
    state.ledraAccountFile = master;
    state.sourcePackage = kPackageYayoi;
    state.outputFolder = out;
    state.screenState = kScreenFileSettings;
  }

  void writeJournal(std::vector<std::string> details) {
    details.insert(details.begin(), {"帳票名,仕訳日記帳", "書式名,汎用形式"});
    testing::writeCp932Lines(state.sourceFiles[5], details);
  }
  std::vector<std::string> journalRecords() const {
    return testing::readCp932Lines(out + "/shiwake.csv");
  }

  testing::TempDir dir;
  std::string out;
  ConversionState state;
  testing::ScriptedPlatform platform;
};

TEST_F(OutputJournalText, EachRunWritesTheFileAsItIsThenAndKeepsNoText) {
  ASSERT_TRUE(runImportStep(state, platform));
  EXPECT_FALSE(state.heldJournalText.held);
  state.screenState = kScreenMapping;

  ASSERT_EQ(runOutputStep(state, platform, false), StepOutcome::Done);
  const auto first = journalRecords();
  ASSERT_EQ(first.size(), 1u);
  EXPECT_NE(first[0].find("\"20260401\""), std::string::npos);
  EXPECT_FALSE(state.heldJournalText.held);
  EXPECT_TRUE(state.heldJournalText.text.empty());

  writeJournal({journalLine("2026/04/01", "10500"), journalLine("2026/04/03", "700")});
  platform.clock.second = 31;
  ASSERT_EQ(runOutputStep(state, platform, false), StepOutcome::Done);
  const auto second = journalRecords();
  ASSERT_EQ(second.size(), 2u);
  EXPECT_EQ(second[0], first[0]);
  EXPECT_NE(second[1].find("\"20260403\""), std::string::npos);
  EXPECT_FALSE(state.heldJournalText.held);
}

TEST_F(OutputJournalText, FailedRunKeepsNoText) {
  ASSERT_TRUE(runImportStep(state, platform));
  state.screenState = kScreenMapping;
  // The journal reads, but an earlier writer fails, so the writer never takes the text.
  std::filesystem::remove_all(out);
  EXPECT_EQ(runOutputStep(state, platform, false), StepOutcome::Failed);
  EXPECT_FALSE(state.heldJournalText.held);
  EXPECT_TRUE(state.heldJournalText.text.empty());
}

}  // namespace
}  // namespace ledra
