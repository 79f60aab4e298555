#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/text.hpp"
#include "import/account_master.hpp"
#include "state/conversion_state.hpp"
#include "support/blue_fixtures.hpp"
#include "support/fixtures.hpp"
#include "support/scripted_platform.hpp"
#include "support/temp_dir.hpp"
#include "wizard/step_flow.hpp"

namespace ledra {
namespace {

using testing::ScriptedPlatform;

class BlueReturnStep : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = dir.file("Data/Y2007");
    out = dir.file("out");
    std::filesystem::create_directories(out);
    company.writeTo(folder);
    ASSERT_TRUE(loadStandardAccountMaster(state, LEDRA_SOURCE_DIR "/examples/ledra_master.csv"));
    state.sourcePackage = SourcePackage::BlueReturn;
    state.sourceFiles[SourceFile::BlueAccounts] = folder + "/kcode.brf";
    state.sourceFiles[SourceFile::BlueJournal] = folder + "/仕訳データ";
    state.outputFolder = out;
    state.journalPeriod = {2007, 1, 1, 2007, 12, 31};
    state.screenState = Screen::FileSettings;
  }

  // Fields of the shiwake.csv lines, quotes removed.
  std::vector<std::vector<std::string>> journalFile() const {
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : testing::readCp932Lines(out + "/shiwake.csv")) {
      rows.emplace_back();
      for (const std::string& f : splitPlain(line, ","))
        rows.back().push_back(f.size() >= 2 ? f.substr(1, f.size() - 2) : f);
    }
    return rows;
  }

  testing::TempDir dir;
  testing::BlueCompany company = testing::exampleBlueCompany();
  std::string folder;
  std::string out;
  ConversionState state;
  ScriptedPlatform platform;
};

TEST_F(BlueReturnStep, EveryMissingFileStopsWithItsPathBeforeAnythingIsRead) {
  const std::string settings = folder + "/基本情報ﾃﾞｰﾀ";
  const std::string missing[] = {state.sourceFiles[SourceFile::BlueAccounts], settings,
                                 state.sourceFiles[SourceFile::BlueJournal], out};
  for (const std::string& path : missing) {
    ScriptedPlatform p;
    std::filesystem::rename(path, path + ".away");
    EXPECT_FALSE(runImportStep(state, p));
    std::filesystem::rename(path + ".away", path);
    EXPECT_EQ(p.messageTexts(), (std::vector<std::string>{path + "が存在しません。"}));
    EXPECT_EQ(p.lastMessage().title, "");
    EXPECT_EQ(state.workAccounts.count(), 0);
  }
  EXPECT_EQ(state.sourceFiles[SourceFile::BlueSettings], settings);
}

TEST_F(BlueReturnStep, AnImpossibleStartDateStopsBeforeAnythingIsRead) {
  const std::array<int32_t, 3> starts[] = {{2007, 1, 0}, {2007, 2, 30}, {0, 1, 1}, {2007, 13, 1}};
  for (const auto& start : starts) {
    ScriptedPlatform p;
    state.journalPeriod = {start[0], start[1], start[2], 2007, 12, 31};
    EXPECT_FALSE(runImportStep(state, p));
    EXPECT_EQ(p.messageTexts(), (std::vector<std::string>{"仕訳取込指定日付が異常です。"}));
    EXPECT_EQ(p.lastMessage().title, "エラー");
    EXPECT_EQ(state.workAccounts.count(), 0);
  }
}

TEST_F(BlueReturnStep, AFailedSettingsReadShowsTheFixedMessageWithTheReason) {
  const std::string settings = folder + "/基本情報ﾃﾞｰﾀ";
  testing::writeBytes(settings, testing::blueSettingsBytes(true, false, 100));
  EXPECT_FALSE(runImportStep(state, platform));
  EXPECT_EQ(platform.lastMessage().text,
            "基本データの取込に失敗しました。\r\n" + settings +
                ": ファイルが短すぎます（100バイト、209バイト以上必要です）");
  EXPECT_EQ(platform.lastMessage().title, "エラー");
  EXPECT_FALSE(platform.progressVisible);
}

// The journal file takes its tax codes from the ブルーリターンＡ rows: purchases for an account
// code beginning with 6, sales (simplified or general) for one beginning with 4.
TEST_F(BlueReturnStep, TheJournalFileUsesTheSettingsOfTheDataFolder) {
  struct Case {
    bool taxOn, simplified;
    std::string purchase, sale;
  };
  const Case cases[] = {
      {true, false, "515", "115"}, {true, true, "515", "1451"}, {false, true, "00", "00"}};
  for (const Case& c : cases) {
    testing::writeBytes(folder + "/基本情報ﾃﾞｰﾀ",
                        testing::blueSettingsBytes(c.taxOn, c.simplified));
    ASSERT_TRUE(runImportStep(state, platform)) << platform.lastMessage().text;
    EXPECT_EQ(state.consumptionTaxOn, c.taxOn);
    EXPECT_EQ(state.simplifiedTaxation, c.simplified);
    ASSERT_TRUE(mappingComplete(state));
    ASSERT_EQ(runOutputStep(state, platform, false), StepOutcome::Done);
    const auto rows = journalFile();
    ASSERT_EQ(rows.size(), 5u);
    // 仕入高 611 on the debit side of the first slip, 売上高 411 on the credit side of the
    // second; the category code and the tax amount of each side.
    EXPECT_EQ(rows[0][11], "511");
    EXPECT_EQ(rows[0][18], c.purchase);
    EXPECT_EQ(rows[0][21], "1429");
    EXPECT_EQ(rows[1][22], "411");
    EXPECT_EQ(rows[1][29], c.sale);
    EXPECT_EQ(rows[1][32], "5000");
  }
}

}  // namespace
}  // namespace ledra
