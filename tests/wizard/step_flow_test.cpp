#include "wizard/step_flow.hpp"

#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <new>

#include "import/account_master.hpp"
#include "state/conversion_state.hpp"
#include "support/blue_fixtures.hpp"
#include "support/fixtures.hpp"
#include "support/scripted_platform.hpp"
#include "support/yayoi_fixtures.hpp"
#include "support/zip_reader.hpp"

namespace ledra {
namespace {

using testing::ScriptedPlatform;

std::string journalLine(const std::string& date, const std::string& voucher,
                        const std::string& debit, const std::string& credit,
                        const std::string& amount) {
  std::vector<std::string> f(29);
  f[0] = "[明細行]";
  f[1] = date;
  f[2] = voucher;
  f[9] = debit;
  f[14] = amount;
  f[15] = "0";
  f[16] = credit;
  f[21] = amount;
  f[22] = "0";
  f[23] = "摘要";
  std::string line;
  for (size_t i = 0; i < f.size(); ++i) line += (i ? "," : "") + f[i];
  return line;
}

class StepFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    out = dir.path() + "/out";
    std::filesystem::create_directories(out);
    const auto paths = testing::sampleYayoiCompany().writeTo(dir.path());
    for (int k = 0; k < 5; ++k) state.sourceFiles[kEverySourceFile[k]] = paths[k];
    state.sourceFiles[SourceFile::Journal] = dir.file("仕訳データ.txt");
    testing::writeCp932Lines(state.sourceFiles[SourceFile::Journal],
                             {"帳票名,仕訳日記帳", "書式名,汎用形式",
                              journalLine("2026/04/01", "1", "現金", "売上高", "10500"),
                              journalLine("2026/04/02", "2", "仕入高", "普通預金", "2100")});
    const std::string master = dir.file("master.csv");
    testing::writeCp932Lines(master, {"U1,テスト商事,111,現金,x", ",,112,普通預金,x",
                                      ",,411,売上高,x", ",,511,仕入高,x"});
    ASSERT_TRUE(loadStandardAccountMaster(state, master));
    state.ledraAccountFile = master;
    state.sourcePackage = SourcePackage::Yayoi;
    state.outputFolder = out;
    state.screenState = Screen::FileSettings;
  }

  std::vector<std::string> outputFiles() const {
    std::vector<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(out))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  testing::TempDir dir;
  std::string out;
  ConversionState state;
  ScriptedPlatform platform;
};

TEST_F(StepFlow, ImportReachesTheMappingScreenAndLeavesNoDialogOpen) {
  ASSERT_TRUE(runImportStep(state, platform));
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(state.workAccounts.count(), 4);
  EXPECT_EQ(state.workSubAccounts.count(), 2);
  EXPECT_EQ(state.journalRows.count(), 2);
  EXPECT_FALSE(platform.progressVisible);
  EXPECT_FALSE(platform.busy);
  state.screenState = Screen::Mapping;
  EXPECT_TRUE(evaluateNextButton(state));
}

// Also after a 読込 that read them: the tables hold nothing of the files left out.
TEST_F(StepFlow, EmptySubAccountPathsSkipTheirImports) {
  ASSERT_TRUE(runImportStep(state, platform));
  ASSERT_GT(state.workSubAccounts.count(), 0);
  ASSERT_GT(state.workSubAccountBalances.count(), 0);
  state.sourceFiles[SourceFile::SubAccountList].clear();
  state.sourceFiles[SourceFile::SubAccountBalances].clear();
  ASSERT_TRUE(runImportStep(state, platform));
  EXPECT_EQ(state.workSubAccounts.count(), 0);
  EXPECT_EQ(state.workSubAccountBalances.count(), 0);
  EXPECT_EQ(state.journalRows.count(), 2);
  EXPECT_TRUE(subAccountCodesUnique(state).empty());
}

TEST_F(StepFlow, ASubAccountListWithoutBalancesIsLinkedToItsAccounts) {
  state.sourceFiles[SourceFile::SubAccountBalances].clear();
  ASSERT_TRUE(runImportStep(state, platform));
  ASSERT_GT(state.workSubAccounts.count(), 1);
  for (const WorkSubAccount& s : state.workSubAccounts) {
    SCOPED_TRACE(s.subAccountName);
    EXPECT_TRUE(s.linkedToAccount);
    EXPECT_NE(s.subAccountGroupNo, 0);
  }
  EXPECT_TRUE(mappingComplete(state)) << "nothing left that the user could not decide";
}

TEST_F(StepFlow, EveryMissingFileStopsWithItsPath) {
  for (SourceFile file :
       {SourceFile::DepartmentList, SourceFile::AccountList, SourceFile::TrialBalance,
        SourceFile::SubAccountList, SourceFile::SubAccountBalances, SourceFile::Journal}) {
    const auto index = static_cast<int>(file);
    ConversionState s = state;
    ScriptedPlatform p;
    s.sourceFiles[file] = dir.file("missing.txt");
    EXPECT_FALSE(runImportStep(s, p)) << index;
    ASSERT_EQ(p.messages.size(), 1u) << index;
    EXPECT_EQ(p.lastMessage().text, dir.file("missing.txt") + "が存在しません。");
    EXPECT_EQ(p.lastMessage().title, "");
  }
  state.outputFolder = dir.file("no-such-folder");
  EXPECT_FALSE(runImportStep(state, platform));
  EXPECT_EQ(platform.lastMessage().text, dir.file("no-such-folder") + "が存在しません。");
}

TEST_F(StepFlow, ImportFailuresNameTheirStep) {
  struct Case {
    SourceFile file;
    std::string label;
  } cases[] = {
      {SourceFile::DepartmentList, "部門一覧"},     {SourceFile::AccountList, "勘定科目"},
      {SourceFile::TrialBalance, "科目残高"},       {SourceFile::SubAccountList, "補助科目"},
      {SourceFile::SubAccountBalances, "補助残高"}, {SourceFile::Journal, "仕訳データ"}};
  for (const auto& c : cases) {
    ConversionState s = state;
    ScriptedPlatform p;
    // A file of another report kind (or a journal without its header) is refused.
    const std::string wrong = dir.file("wrong" + std::string(c.label) + ".txt");
    testing::writeCp932Lines(wrong, {"帳票名,別の帳票", "書式名,標準"});
    s.sourceFiles[c.file] = wrong;
    const StepResult result = runImportStep(s, p);
    EXPECT_FALSE(result) << c.label;
    ASSERT_FALSE(p.messages.empty()) << c.label;
    const auto& m = p.lastMessage();
    // The failure returned is the one the message names on its second line.
    EXPECT_EQ(result.error().file, wrong);
    EXPECT_EQ(m.text, c.label + "取込に失敗しました。\r\n" + result.error().describe());
    EXPECT_EQ(m.title, "エラー");
    EXPECT_FALSE(p.progressVisible);
  }
}

// Memory running out partway is said in plain words, naming the step's own file.
class OutOfMemoryAt : public ScriptedPlatform {
 public:
  std::string caption;
  void progressSetMax(int64_t max) override {
    if (progressCaption == caption) throw std::bad_alloc();
    ScriptedPlatform::progressSetMax(max);
  }
};

TEST_F(StepFlow, RunningOutOfMemoryNamesTheStep) {
  OutOfMemoryAt p;
  p.caption = "仕訳データ取込中";
  EXPECT_FALSE(runImportStep(state, p));
  EXPECT_EQ(p.lastMessage().text, "仕訳データ取込に失敗しました。\r\n" +
                                      state.sourceFiles[SourceFile::Journal] +
                                      ": メモリが不足しています");
  ASSERT_TRUE(runImportStep(state, platform));
  state.screenState = Screen::Mapping;
  OutOfMemoryAt q;
  q.caption = "zandaka.csv出力中";
  EXPECT_EQ(runOutputStep(state, q, false), StepOutcome::Failed);
  EXPECT_EQ(q.lastMessage().text,
            "zandaka.csv出力に失敗しました。\r\n" + out + "/zandaka.csv: メモリが不足しています");
}

// At the window the closing message offers the report; declining opens nothing, and a viewer
// that cannot open it is said so with the file's path.
TEST_F(StepFlow, TheReportIsOpenedOnlyWhenAskedAndAFailureToOpenIsSaid) {
  ASSERT_TRUE(runImportStep(state, platform));
  state.screenState = Screen::Mapping;
  const std::string report = out + "/変換レポート.txt";
  for (const bool wanted : {false, true}) {
    SCOPED_TRACE(wanted);
    platform.messages.clear();
    platform.viewed.clear();
    platform.viewerOpens = false;
    platform.clock.second = wanted ? 31 : 30;  // a new archive each time
    platform.messageAnswers = {MsgResult::Ok, wanted ? MsgResult::Yes : MsgResult::No};
    ASSERT_EQ(runOutputStep(state, platform, true, true), StepOutcome::Done);
    EXPECT_EQ(platform.viewed,
              wanted ? std::vector<std::string>{report} : std::vector<std::string>{});
    EXPECT_EQ(platform.messages.size(), wanted ? 3u : 2u);
    if (wanted) {
      EXPECT_EQ(platform.lastMessage().text, "変換レポートを開けませんでした。\r\n" + report);
      EXPECT_EQ(platform.lastMessage().icon, MsgIcon::Exclamation);
    }
  }
}

TEST_F(StepFlow, OutputRunWritesEverythingAndCanRepeat) {
  ASSERT_TRUE(runImportStep(state, platform));
  state.screenState = Screen::Mapping;
  platform.messages.clear();

  platform.messageAnswers = {MsgResult::Cancel};
  EXPECT_EQ(runOutputStep(state, platform, true), StepOutcome::Cancelled);
  EXPECT_TRUE(outputFiles().empty());

  EXPECT_EQ(runOutputStep(state, platform, true), StepOutcome::Done);
  const std::vector<std::string> expected = {"U1_output_20261208102030.zip",
                                             "hojokamoku.csv",
                                             "kanjyo.csv",
                                             "shiwake.csv",
                                             "zandaka.csv",
                                             "変換レポート.txt",
                                             "無効化一覧.txt",
                                             "照合表.csv"};  // one department: no busho.csv
  EXPECT_EQ(outputFiles(), expected);
  EXPECT_EQ(platform.lastMessage().text,
            "変換を正常に終了しました。\r\n照合表の差額はすべて0です。\r\n照合表: " + out +
                "/照合表.csv\r\n変換レポート: " + out + "/変換レポート.txt");
  EXPECT_EQ(platform.lastMessage().title, "終了");

  // Again, a second later: everything is written anew beside the first archive.
  std::filesystem::remove(out + "/kanjyo.csv");
  platform.clock.second = 31;
  EXPECT_EQ(runOutputStep(state, platform, true), StepOutcome::Done);
  EXPECT_TRUE(testing::fileExistsAt(out + "/kanjyo.csv"));
  EXPECT_TRUE(testing::fileExistsAt(out + "/U1_output_20261208102031.zip"));
}

// Restored work whose folder moved: at the window the run asks for the journal and the output
// folder before anything is read, the account list follows the journal, and the closing
// message says where the files went.
TEST_F(StepFlow, AtTheWindowMovedInputsAreAskedForAndTheClosingMessageNamesThePlace) {
  ASSERT_TRUE(runImportStep(state, platform));
  state.screenState = Screen::Mapping;
  const std::string oldJournal = state.sourceFiles[SourceFile::Journal];
  const std::string moved = dir.file("moved");
  std::filesystem::create_directories(moved);
  std::filesystem::rename(oldJournal, moved + "/仕訳データ.txt");
  const std::string accountList = state.sourceFiles[SourceFile::AccountList];
  const std::string accountListName = std::filesystem::path(accountList).filename().string();
  std::filesystem::rename(accountList, moved + "/" + accountListName);
  std::filesystem::remove_all(out);
  const std::string newOut = dir.file("new-out");
  std::filesystem::create_directories(newOut);

  // Declining leaves everything as it was and the run fails as before.
  platform.messages.clear();
  platform.messageAnswers = {MsgResult::Ok, MsgResult::Cancel};
  EXPECT_EQ(runOutputStep(state, platform, true, true), StepOutcome::Failed);
  EXPECT_EQ(state.sourceFiles[SourceFile::Journal], oldJournal);
  EXPECT_EQ(platform.messages.at(1).text,
            oldJournal + "が存在しません。\r\n移動した仕訳データを指定して下さい。");

  platform.messages.clear();
  platform.messageAnswers = {MsgResult::Ok, MsgResult::Ok, MsgResult::Ok};
  platform.openAnswers = {moved + "/仕訳データ.txt"};
  platform.folderAnswers = {newOut};
  ASSERT_EQ(runOutputStep(state, platform, true, true), StepOutcome::Done);
  EXPECT_EQ(platform.messageTexts(),
            (std::vector<std::string>{
                "出力処理を行います。宜しいですか？",
                oldJournal + "が存在しません。\r\n移動した仕訳データを指定して下さい。",
                out + "が存在しません。\r\n出力先フォルダを指定して下さい。",
                "変換を正常に終了しました。\r\n出力先: " + newOut +
                    "\r\n圧縮ファイル: U1_output_20261208102030.zip\r\n照合表の差額はすべて0です。"
                    "\r\n照合表: " +
                    newOut + "/照合表.csv\r\n変換レポート: " + newOut +
                    "/変換レポート.txt\r\n\r\n変換レポートを開きますか？"}));
  EXPECT_EQ(platform.lastMessage().buttons, MsgButtons::YesNo);
  EXPECT_EQ(platform.viewed, std::vector<std::string>{newOut + "/変換レポート.txt"});
  EXPECT_EQ(state.sourceFiles[SourceFile::AccountList], moved + "/" + accountListName);
  EXPECT_EQ(state.outputFolder, newOut);
  EXPECT_TRUE(testing::fileExistsAt(newOut + "/U1_output_20261208102030.zip"));
}

TEST(BlueReturnExpansion, ShowsItsOwnCaption) {
  testing::TempDir dir;
  const std::string folder = dir.file("Data/Y2007");
  testing::exampleBlueCompany().writeTo(folder);
  ConversionState state;
  ScriptedPlatform platform;
  ASSERT_TRUE(loadStandardAccountMaster(state, LEDRA_SOURCE_DIR "/examples/ledra_master.csv"));
  state.sourcePackage = SourcePackage::BlueReturn;
  state.sourceFiles[SourceFile::BlueAccounts] = folder + "/kcode.brf";
  state.sourceFiles[SourceFile::BlueJournal] = folder + "/仕訳データ";
  state.outputFolder = dir.path();
  state.journalPeriod = {2007, 1, 1, 2007, 12, 31};
  ASSERT_TRUE(runImportStep(state, platform));
  std::vector<std::string> captions;
  for (const auto& e : platform.progress)
    if (e.kind == ScriptedPlatform::ProgressEvent::Caption) captions.push_back(e.caption);
  EXPECT_EQ(captions.back(), "仕訳データ展開中");
}

TEST_F(StepFlow, AFailedStepIsNamedAndLeavesEveryEarlierOutputAsItWas) {
  ASSERT_TRUE(runImportStep(state, platform));
  state.screenState = Screen::Mapping;
  // Writers in their order (one department: busho.csv is not written), then the archive.
  const std::vector<std::string> order = {"kanjyo.csv",     "hojokamoku.csv",
                                          "zandaka.csv",    "shiwake.csv",
                                          "無効化一覧.txt", "U1_output_20261208102030.zip"};
  const auto earlier = [](const std::string& name) { return "earlier " + name + "\r\n"; };
  // The report of the earlier set stays with it.
  const std::vector<std::string> reports = {"照合表.csv", "変換レポート.txt"};
  struct Case {
    std::string blocked;  // a folder stands where this file goes
    std::vector<MsgResult> answers;
    int archiverResult;
    std::vector<std::string> firstLines;
  };
  std::vector<Case> cases;
  for (size_t k = 0; k + 1 < order.size(); ++k)
    cases.push_back({order[k], {}, 0, {order[k] + "出力に失敗しました。"}});
  cases.push_back(
      {"",
       {MsgResult::Yes},
       1,
       {"", "圧縮に失敗しました。Error Code:0x1", "pressdata.zip出力に失敗しました。"}});
  cases.push_back({"",
                   {MsgResult::Cancel},
                   0,
                   {"", "圧縮をキャンセルしました。", "pressdata.zip出力に失敗しました。"}});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.blocked + " " + c.firstLines.back());
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(out);
    for (const std::string& name : order) {
      if (name == c.blocked) {
        std::filesystem::create_directories(out + "/" + name);
      } else {
        testing::writeBytes(out + "/" + name, earlier(name));
      }
    }
    for (const std::string& name : reports) testing::writeBytes(out + "/" + name, earlier(name));
    ScriptedPlatform p;
    p.messageAnswers = {c.answers.begin(), c.answers.end()};
    if (c.archiverResult != 0) p.archiver = [&](const ArchiveRequest&) { return c.archiverResult; };
    EXPECT_EQ(runOutputStep(state, p, false), StepOutcome::Failed);
    const auto texts = p.messageTexts();
    ASSERT_EQ(texts.size(), c.firstLines.size());
    for (size_t m = 0; m < texts.size(); ++m)
      EXPECT_EQ(texts[m].substr(0, c.firstLines[m].size()), c.firstLines[m]);
    EXPECT_EQ(p.lastMessage().title, "エラー");
    for (const std::string& name : order) {
      if (name != c.blocked) {
        EXPECT_EQ(testing::readBytes(out + "/" + name), earlier(name));
      }
    }
    for (const std::string& name : reports)
      EXPECT_EQ(testing::readBytes(out + "/" + name), earlier(name));
    // Nothing else: no new file, no temporary.
    std::vector<std::string> sorted = order;
    sorted.insert(sorted.end(), reports.begin(), reports.end());
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(outputFiles(), sorted);
    EXPECT_FALSE(p.progressVisible);
    EXPECT_FALSE(p.busy);
  }
}

// Changes the staged zandaka.csv while the journal is written, after its compression started.
class ChangingPlatform : public ScriptedPlatform {
 public:
  std::string folder;
  void progressSetCaption(const std::string& caption) override {
    ScriptedPlatform::progressSetCaption(caption);
    if (caption != "無効化一覧.txt出力中") return;
    for (auto& e : std::filesystem::directory_iterator(folder))
      if (e.path().filename().string().starts_with(".ledra-out-"))
        testing::writeBytes(e.path().string() + "/zandaka.csv", "changed\r\n");
  }
};

TEST_F(StepFlow, AMemberChangedBeforeTheArchiveStepIsArchivedWithItsNewBytes) {
  ASSERT_TRUE(runImportStep(state, platform));
  state.screenState = Screen::Mapping;
  ChangingPlatform p;
  p.folder = out;
  ASSERT_EQ(runOutputStep(state, p, false), StepOutcome::Done);
  EXPECT_EQ(testing::readBytes(out + "/zandaka.csv"), "changed\r\n");
  const auto members = testing::readZip(out + "/U1_output_20261208102030.zip");
  ASSERT_EQ(members.size(), 3u);
  for (const auto& m : members) EXPECT_EQ(m.bytes, testing::readBytes(out + "/" + m.name));
  EXPECT_EQ(members[2].name, "zandaka.csv");
}

TEST_F(StepFlow, AnArchiveAddedToKeepsItsOtherMembers) {
  ASSERT_TRUE(runImportStep(state, platform));
  state.screenState = Screen::Mapping;
  ASSERT_EQ(runOutputStep(state, platform, false), StepOutcome::Done);
  const std::string archive = out + "/U1_output_20261208102030.zip";
  int err = 0;
  zip_t* za = zip_open(archive.c_str(), 0, &err);
  ASSERT_NE(za, nullptr);
  zip_source_t* extra = zip_source_buffer(za, "x", 1, 0);
  ASSERT_GE(zip_file_add(za, "extra.txt", extra, 0), 0);
  ASSERT_EQ(zip_close(za), 0);
  const auto before = outputFiles();

  ScriptedPlatform p;
  p.messageAnswers = {MsgResult::No};  // add to the archive of the same name
  ASSERT_EQ(runOutputStep(state, p, false), StepOutcome::Done);
  std::vector<std::string> names;
  for (const auto& m : testing::readZip(archive)) names.push_back(m.name);
  EXPECT_EQ(names,
            (std::vector<std::string>{"kanjyo.csv", "hojokamoku.csv", "zandaka.csv", "extra.txt"}));
  EXPECT_EQ(outputFiles(), before);
}

TEST_F(StepFlow, DroppedJournalLinesAreReported) {
  ASSERT_TRUE(runImportStep(state, platform));
  state.screenState = Screen::Mapping;
  // 仕入高 is left out: its slip cannot be written.
  for (auto& a : state.workAccounts)
    if (a.sourceName == "仕入高") a.valid = false;
  EXPECT_EQ(runOutputStep(state, platform, false), StepOutcome::Done);
  EXPECT_EQ(state.droppedJournalLines.size(), 1u);
  EXPECT_EQ(platform.lastMessage().text,
            "変換を正常に終了しました。\r\n無効化または未設定の勘定科目を含む伝票の仕訳1行は出力さ"
            "れていません。"
            "\r\n4行目: 借方の勘定科目が無効化されています"
            "\r\n照合表で差額のある勘定科目が2件あります。\r\n照合表: " +
                out + "/照合表.csv\r\n変換レポート: " + out + "/変換レポート.txt");
}

TEST_F(StepFlow, EveryImportRunEndsWithTheHourglassOffAndTheDialogClosed) {
  // A missing journal stops after five imports.
  state.sourceFiles[SourceFile::Journal] = dir.file("missing.txt");
  EXPECT_FALSE(runImportStep(state, platform));
  EXPECT_FALSE(platform.busy);
  EXPECT_EQ(platform.busyChanges, 2);
  EXPECT_FALSE(platform.progressVisible);

  // The ブルーリターンＡ step runs under the same hourglass and dialog rule.
  ConversionState blue;
  blue.sourcePackage = SourcePackage::BlueReturn;
  blue.sourceFiles[SourceFile::BlueAccounts] = dir.file("kcode.brf");
  ScriptedPlatform p;
  EXPECT_FALSE(runImportStep(blue, p));
  EXPECT_EQ(p.messageTexts(),
            (std::vector<std::string>{dir.file("kcode.brf") + "が存在しません。"}));
  EXPECT_EQ(p.busyChanges, 2);
  EXPECT_FALSE(p.busy);
  EXPECT_FALSE(p.progressVisible);
}

// The output run reads the journal once and hands its entries to the journal writer; what it
// writes must still follow the file as it is at each run.
TEST_F(StepFlow, EachOutputRunWritesTheJournalAsItIsThen) {
  ASSERT_TRUE(runImportStep(state, platform));
  state.screenState = Screen::Mapping;
  const auto records = [&] { return testing::readCp932Lines(out + "/shiwake.csv"); };

  ASSERT_EQ(runOutputStep(state, platform, false), StepOutcome::Done);
  const auto first = records();
  ASSERT_EQ(first.size(), 2u);

  testing::writeCp932Lines(state.sourceFiles[SourceFile::Journal],
                           {"帳票名,仕訳日記帳", "書式名,汎用形式",
                            journalLine("2026/04/01", "1", "現金", "売上高", "10500"),
                            journalLine("2026/04/02", "2", "仕入高", "普通預金", "2100"),
                            journalLine("2026/04/03", "3", "現金", "売上高", "700")});
  platform.clock.second = 31;
  ASSERT_EQ(runOutputStep(state, platform, false), StepOutcome::Done);
  const auto second = records();
  ASSERT_EQ(second.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(second.begin(), second.begin() + 2), first);
  EXPECT_NE(second[2].find("\"20260403\""), std::string::npos);
}

}  // namespace
}  // namespace ledra
