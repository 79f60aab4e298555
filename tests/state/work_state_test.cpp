#include "state/work_state.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "base/text.hpp"
#include "matching/sub_account_lists.hpp"
#include "platform/cp932.hpp"
#include "state/account_links.hpp"
#include "state/conversion_state.hpp"
#include "state/derived_lists.hpp"
#include "state/work_state_format.hpp"
#include "support/fixtures.hpp"
#include "support/scripted_platform.hpp"
#include "support/temp_dir.hpp"
#include "support/yayoi_fixtures.hpp"

namespace ledra {
namespace {

using testing::ScriptedPlatform;
using testing::TempDir;

const std::string kSmallFile = std::string(LEDRA_TEST_DATA_DIR) + "/work_state_small.dat";
const std::string kBadFile = "保存データの形式が正しくありません。";
const std::string kSaveFailed = "作業状態の保存に失敗しました。";

// The state that tests/data/work_state_small.dat holds.
ConversionState smallState() {
  ConversionState s;
  s.sourcePackage = SourcePackage::Yayoi;
  s.screenState = Screen::Mapping;
  s.ledraUserCode = "U0001";
  s.ledraUserName = "山田商店";
  s.departmentTotalName = "本社(合計)";
  s.baseFolder = "/home/u/Documents";
  s.sourceFiles[SourceFile::AccountList] = "/home/u/Documents/Yayoi/Exchange/勘定科目一覧表.txt";
  s.sourceFiles[SourceFile::TrialBalance] = "/home/u/Documents/Yayoi/Exchange/科目残高試算表.txt";
  s.outputFolder = "/home/u/out/";
  s.ledraAccountFile = "/home/u/master.csv";
  s.standardAccounts.append({"", "", "111", "現金", "1", true});
  s.standardAccounts.append({"", "", "131", "普通預金", "1", false});
  s.standardAccounts.append({"", "", "", "見出し", "", false});

  WorkAccount& a = s.workAccounts.append();
  a.col(1) = "[明細行]";
  a.col(10) = "100";
  a.sourceCode = "100";
  a.sourceName = "現金";
  a.ledraCode = "111";
  a.ledraName = "現金";
  a.openingBalance = -1500;
  a.hasSubAccounts = true;
  a.subAccountGroupNo = 2;
  a.subAccountGroupCode = "02";
  a.matched = true;
  a.displayBalance = -1500;
  a.selected = a.valid = a.inUse = true;
  a.section = "BS";

  WorkAccountBalance& b = s.workAccountBalances.append();
  b.col(1) = "[明細行]";
  b.col(4) = "[貸借対照表]";
  b.col(5) = "現金";
  b.col(6) = "B6";
  b.amount1 = -1500;
  b.amount2 = 200;
  b.amount3 = 300;
  b.amount4 = -1600;
  b.ratio = 12.5f;
  b.accountSourceCode = "100";
  b.accountSourceName = "現金";
  b.linkAmount = -1500;
  b.accountHasSubAccounts = true;
  b.subAccountGroupNo = 2;
  b.subAccountGroupCode = "02";
  b.processed = true;

  WorkSubAccountBalance& sb = s.workSubAccountBalances.append();
  sb.col(1) = "[明細行]";
  sb.col(5) = "現金";
  sb.col(6) = "指定なし";
  sb.ratio = 1.5e7f;
  sb.newSubCode = "999";
  sb.subAccountName = "指定なし";
  sb.subAccountGroupNo = 2;
  sb.subAccountGroupCode = "02";
  sb.linkedToAccount = true;

  WorkDepartment& d = s.workDepartments.append();
  d.col(1) = "[明細行]";
  d.col(2) = "本社";
  d.level1Code = "1";
  d.departmentCode = "1";
  d.matchName = "本社";

  s.balanceSheetView.append(0);
  s.allView.append(0);
  s.consumptionTaxOn = true;
  return s;
}

// A ブルーリターン state in which every saved field holds its own value.
ConversionState richState() {
  ConversionState s;
  s.sourcePackage = SourcePackage::BlueReturn;
  s.screenState = Screen::Mapping;
  s.ledraUserCode = "L-77";
  s.ledraUserName = "青色,商店";  // a comma is harmless in a whole-line setting
  s.departmentTotalName = " 全社(合計) ";
  s.baseFolder = "/data/書類";
  for (SourceFile f : kEverySourceFile)
    s.sourceFiles[f] = "/data/f" + std::to_string(static_cast<int>(f)) + "～.txt";
  s.outputFolder = "/data/出力";
  s.ledraAccountFile = "/data/master.csv";
  s.consumptionTaxOn = false;
  s.simplifiedTaxation = true;

  for (int i = 0; i < 4; ++i)
    s.standardAccounts.append({"r1-" + std::to_string(i), "r2",
                               i == 2 ? "" : "C" + std::to_string(i), "標準" + std::to_string(i),
                               "v" + std::to_string(i), true});

  const int32_t groups[] = {12, 0, 105};
  for (int i = 0; i < 3; ++i) {
    WorkAccount& a = s.workAccounts.append();
    for (int n = 1; n <= 18; ++n) a.col(n) = "a" + std::to_string(i) + "-" + std::to_string(n);
    a.sourceCode = "S" + std::to_string(i);
    a.sourceName = "科目" + std::to_string(i);
    a.ledraCode = i == 1 ? "" : "C" + std::to_string(i);
    a.ledraName = i == 1 ? "" : "標準" + std::to_string(i);
    a.openingBalance = i == 0 ? std::numeric_limits<int32_t>::min() : 1000 * i;
    a.hasSubAccounts = groups[i] != 0;
    a.subAccountGroupNo = groups[i];
    a.subAccountGroupCode = "XX";  // never read back: the number decides
    a.notAutoMatched = i == 1;
    a.matched = i != 1;
    a.displayBalance = std::numeric_limits<int32_t>::max() - i;
    a.selected = true;
    a.valid = i != 2;
    a.inUse = i == 0;
    a.section = "PL";
  }

  const float ratios[] = {0.1f, 1e-10f, 3.4e38f, -0.0f, 123456.79f};
  for (int i = 0; i < 5; ++i) {
    WorkAccountBalance& b = s.workAccountBalances.append();
    for (int n = 1; n <= 6; ++n) b.col(n) = "b" + std::to_string(i) + "-" + std::to_string(n);
    b.amount1 = -i;
    b.amount2 = 2 * i;
    b.amount3 = 3 * i;
    b.amount4 = 4 * i;
    b.ratio = ratios[i];
    b.accountSourceCode = "S" + std::to_string(i % 3);
    b.accountSourceName = "科目" + std::to_string(i % 3);
    b.linkAmount = 7 * i;
    b.accountHasSubAccounts = i % 2 == 0;
    b.subAccountGroupNo = groups[i % 3];
    b.subAccountGroupCode = "";
    b.accountNotAutoMatched = i == 1;
    b.processed = i != 3;
    b.departmentCode = std::to_string(i);
  }

  for (int i = 0; i < 4; ++i) {
    WorkSubAccount& sub = s.workSubAccounts.append();
    for (int n = 1; n <= 11; ++n) sub.col(n) = "s" + std::to_string(i) + "-" + std::to_string(n);
    sub.col(2) = i < 3 ? "科目0" : "";  // the parent account's name
    sub.newSubCode = std::to_string(100 + i);
    sub.subAccountName = "補助" + std::to_string(i);
    sub.subAccountGroupNo = i < 3 ? 12 : 0;
    sub.subAccountGroupCode = "";
    sub.openingBalance = -100 * i;
    sub.ownRow = i;
    sub.linkedToAccount = i < 3;
  }

  for (int i = 0; i < 2; ++i) {
    WorkSubAccountBalance& sb = s.workSubAccountBalances.append();
    for (int n = 1; n <= 6; ++n) sb.col(n) = "sb" + std::to_string(i) + "-" + std::to_string(n);
    sb.amount1 = 11 + i;
    sb.amount2 = 12 + i;
    sb.amount3 = 13 + i;
    sb.amount4 = 14 + i;
    sb.ratio = 0.75f + i;
    sb.newSubCode = "10" + std::to_string(i);
    sb.subAccountName = "補助" + std::to_string(i);
    sb.subAccountGroupNo = 12;
    sb.unusedLong1 = 5;
    sb.unusedLong2 = -6;
    sb.linkedToAccount = i == 0;
    sb.departmentCode = "D" + std::to_string(i);
  }

  for (int i = 0; i < 2; ++i) {
    WorkDepartment& d = s.workDepartments.append();
    for (int n = 1; n <= 12; ++n) d.col(n) = "d" + std::to_string(i) + "-" + std::to_string(n);
    d.joinedName = "結合" + std::to_string(i);
    d.level1Code = "1";
    d.level2Code = "2";
    d.level3Code = "3";
    d.departmentCode = std::to_string(i + 1);
    d.matchName = "部門" + std::to_string(i);
    d.unusedText = "u";
    d.parentDepartmentName = i == 0 ? "" : "部門0";
  }

  s.journalRows.resize(42);
  s.profitAndLossView.append(2);
  s.profitAndLossView.append(0);
  s.balanceSheetView.append(1);
  for (int32_t i = 0; i < 3; ++i) s.allView.append(i);
  return s;
}

template <class T, int32_t C, class Normalize>
void expectTable(const char* name, const Table<T, C>& want, const Table<T, C>& got,
                 Normalize normalize) {
  ASSERT_EQ(got.count(), want.count()) << name;
  for (int32_t i = 0; i < want.count(); ++i)
    EXPECT_TRUE(normalize(want[i]) == got[i]) << name << " entry " << i;
}

std::string codeOf(int32_t no) { return subAccountGroupCode(no).value(); }

// Every saved table and setting as the restore must give it back: unsaved fields at their
// defaults, Taken False, group codes following the group numbers.
void expectRestoredFrom(const ConversionState& saved, const ConversionState& got) {
  EXPECT_EQ(got.sourcePackage, saved.sourcePackage);
  EXPECT_EQ(got.screenState, saved.screenState);
  EXPECT_EQ(got.ledraUserCode, saved.ledraUserCode);
  EXPECT_EQ(got.ledraUserName, saved.ledraUserName);
  EXPECT_EQ(got.departmentTotalName, saved.departmentTotalName);
  EXPECT_EQ(got.baseFolder, saved.baseFolder);
  EXPECT_EQ(got.sourceFiles, saved.sourceFiles);
  EXPECT_EQ(got.outputFolder, saved.outputFolder);
  EXPECT_EQ(got.ledraAccountFile, saved.ledraAccountFile);
  EXPECT_EQ(got.consumptionTaxOn, saved.consumptionTaxOn);
  EXPECT_EQ(got.simplifiedTaxation, saved.simplifiedTaxation);
  EXPECT_EQ(got.journalRows.count(), saved.journalRows.count());

  expectTable("StandardAccounts", saved.standardAccounts, got.standardAccounts,
              [](StandardAccount e) {
                e.taken = false;
                return e;
              });
  expectTable("WorkAccounts", saved.workAccounts, got.workAccounts, [](WorkAccount e) {
    e.section.clear();
    e.subAccountGroupCode = codeOf(e.subAccountGroupNo);
    return e;
  });
  expectTable("WorkAccountBalances", saved.workAccountBalances, got.workAccountBalances,
              [](WorkAccountBalance e) {
                e.subAccountGroupCode = codeOf(e.subAccountGroupNo);
                return e;
              });
  expectTable("WorkSubAccounts", saved.workSubAccounts, got.workSubAccounts, [](WorkSubAccount e) {
    e.subAccountGroupCode = codeOf(e.subAccountGroupNo);
    return e;
  });
  expectTable("WorkSubAccountBalances", saved.workSubAccountBalances, got.workSubAccountBalances,
              [](WorkSubAccountBalance e) {
                e.subAccountGroupCode = codeOf(e.subAccountGroupNo);
                return e;
              });
  auto same = [](auto e) { return e; };
  expectTable("WorkDepartments", saved.workDepartments, got.workDepartments, same);
  expectTable("ProfitAndLossView", saved.profitAndLossView, got.profitAndLossView, same);
  expectTable("BalanceSheetView", saved.balanceSheetView, got.balanceSheetView, same);
  expectTable("AllView", saved.allView, got.allView, same);

  // The sub-account panel lists what was read.
  SubAccountLists lists;
  ConversionState shown = got;  // the refill records an overflow in the state it is given
  rebuildSubAccountLists(shown, lists);
  EXPECT_EQ(lists.parentName, "全て表示");
  EXPECT_EQ(lists.parentCode, "全て表示");
  ASSERT_EQ(lists.entries.count(), saved.workSubAccounts.count());
  for (int32_t i = 0; i < lists.entries.count(); ++i) {
    const SubAccountIndexEntry want{saved.workSubAccounts[i].newSubCode,
                                    saved.workSubAccounts[i].subAccountName, i};
    EXPECT_EQ(lists.entries[i], want) << i;
  }
  int32_t candidates = 0;
  for (const StandardAccount& a : saved.standardAccounts) {
    if (a.ledraCode.empty() || a.ledraName.empty()) continue;
    ASSERT_LT(candidates, got.standardAccountCandidates.count());
    const StandardAccountCandidate want{a.ledraCode, a.ledraName, false};
    EXPECT_EQ(got.standardAccountCandidates[candidates++], want);
  }
  EXPECT_EQ(got.standardAccountCandidates.count(), candidates);
  ASSERT_GE(lists.parentChoices.count(), 1);
  EXPECT_EQ(lists.parentChoices[0], (ParentAccountChoice{"全て表示", "全て表示", 1}));
}

void expectAllTablesEmpty(const ConversionState& s) {
  EXPECT_EQ(s.standardAccounts.count(), 0);
  EXPECT_EQ(s.standardAccountCandidates.count(), 0);
  EXPECT_EQ(s.workAccounts.count(), 0);
  EXPECT_EQ(s.workAccountBalances.count(), 0);
  EXPECT_EQ(s.workSubAccounts.count(), 0);
  EXPECT_EQ(s.workSubAccountBalances.count(), 0);
  EXPECT_EQ(s.workDepartments.count(), 0);
  EXPECT_EQ(s.journalRows.count(), 0);
  EXPECT_EQ(s.profitAndLossView.count(), 0);
  EXPECT_EQ(s.balanceSheetView.count(), 0);
  EXPECT_EQ(s.allView.count(), 0);
}

// A state that already holds something, to see what a restore replaces.
ConversionState occupiedState() {
  ConversionState s = smallState();
  s.baseFolder = "/start/folder";
  s.sourcePackage = SourcePackage::BlueReturn;
  rebuildStandardAccountCandidates(s);
  return s;
}

TEST(WorkStateSave, SmallStateGivesTheExpectedBytes) {
  TempDir dir;
  ScriptedPlatform platform;
  ConversionState state = smallState();
  const std::string path = dir.file("small.dat");
  ASSERT_TRUE(saveWorkStateToFile(state, platform, path));
  EXPECT_EQ(testing::readBytes(path), testing::readBytes(kSmallFile));
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(state.workStateFile, path);
}

TEST(WorkStateSave, ButtonAsksForTheFileAndReports) {
  TempDir dir;
  ScriptedPlatform platform;
  ConversionState state = smallState();
  const std::string path = dir.file("作業.dat");
  testing::writeBytes(path, "older content");
  platform.saveAnswers.push_back(path);

  EXPECT_EQ(saveWorkState(state, platform), SaveResult::Saved);

  ASSERT_EQ(platform.saveRequests.size(), 1u);
  const FileDialogRequest& r = platform.saveRequests[0];
  EXPECT_EQ(r.title, "ログファイルを作成");
  EXPECT_EQ(r.filter, "datファイル|*.dat|すべてのファイル|*.*");
  EXPECT_EQ(r.filterIndex, 1);
  EXPECT_EQ(r.initialFolder, "/home/u/Documents");
  EXPECT_EQ(r.fileName, "");
  EXPECT_EQ(r.options, (FileDialogOptions{
                           .overwritePrompt = true, .pathMustExist = true, .hideReadOnly = true}));
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, "作業状態を\r\n" + path + "\r\nに保存しました。");
  EXPECT_EQ(platform.messages[0].title, "保存完了");
  EXPECT_EQ(platform.messages[0].buttons, MsgButtons::Ok);
  EXPECT_EQ(testing::readBytes(path), testing::readBytes(kSmallFile));
}

TEST(WorkStateSave, CancelledDialogDoesNothing) {
  ScriptedPlatform platform;
  ConversionState state = smallState();
  platform.saveAnswers.push_back(std::nullopt);
  EXPECT_EQ(saveWorkState(state, platform), SaveResult::Cancelled);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(state.workStateFile, "");
}

TEST(WorkStateSave, WriteErrorIsReported) {
  TempDir dir;
  ScriptedPlatform platform;
  ConversionState state = smallState();
  const std::string path = dir.file("no such folder/state.dat");
  platform.saveAnswers.push_back(path);
  EXPECT_EQ(saveWorkState(state, platform), SaveResult::Failed);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_TRUE(startsWith(platform.messages[0].text, kSaveFailed + "\r\n"));
  EXPECT_EQ(platform.messages[0].title, "保存失敗");
  EXPECT_FALSE(testing::fileExistsAt(path));
  EXPECT_EQ(state.workStateFile, "");
}

TEST(WorkStateSave, RefusesTextsTheFormatCannotCarry) {
  struct Case {
    std::function<void(ConversionState&)> change;
    std::string detail;
  } cases[] = {
      {[](ConversionState& s) { s.ledraUserName = "山田\r\n商店"; },
       "LedraUserName: 改行を含んでいます"},
      {[](ConversionState& s) { s.workSubAccountBalances[0].subAccountName = "指定\nなし"; },
       "変更中補助残高 1件目 SubAccountName: 改行を含んでいます"},
      {[](ConversionState& s) { s.workAccounts[0].ledraName = "普通\r預金"; },
       "変更中勘定科目 1件目 LedraName: 改行を含んでいます"},
      {[](ConversionState& s) {
         s.workAccountBalances[0].ratio = std::numeric_limits<float>::quiet_NaN();
       },
       "変更中科目残高 1件目 Ratio: 数値ではありません"},
      {[](ConversionState& s) { s.sourcePackage = SourcePackage::None; }, "SourcePackage: 0"},
      // A path is held as the file system gives it; folded, it would name another folder.
      {[](ConversionState& s) { s.outputFolder = "/home/u/出力😀"; },
       "OutputFolder: CP932で表せない文字を含んでいます（/home/u/出力😀）"},
      {[](ConversionState& s) {
         s.sourceFiles[SourceFile::SubAccountBalances] = "/home/u/Café/仕訳日記帳.txt";
       },
       "SourceFiles(3): CP932で表せない文字を含んでいます（/home/u/Café/仕訳日記帳.txt）"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    ScriptedPlatform platform;
    ConversionState state = smallState();
    c.change(state);
    const std::string path = dir.file("state.dat");
    testing::writeBytes(path, "older content");
    EXPECT_FALSE(saveWorkStateToFile(state, platform, path)) << c.detail;
    ASSERT_EQ(platform.messages.size(), 1u) << c.detail;
    EXPECT_EQ(platform.messages[0].text, kSaveFailed + "\r\n" + c.detail);
    EXPECT_EQ(platform.messages[0].title, "保存失敗");
    EXPECT_EQ(testing::readBytes(path), "older content") << c.detail;
  }
}

// A save never replaces a folder or a file the conversion reads.
TEST(WorkStateSave, RefusesAFolderOrAnInputAsTheTarget) {
  TempDir dir;
  ConversionState state = smallState();
  state.sourceFiles[SourceFile::Journal] = dir.file("仕訳.txt");
  state.ledraAccountFile = dir.file("master.csv");
  std::filesystem::create_directories(dir.file("folder.dat"));
  for (auto [target, why] : std::vector<std::pair<std::string, std::string>>{
           {dir.file("folder.dat"), "フォルダです（保存するファイルの名前を指定してください）"},
           {dir.path() + "/./仕訳.txt", "読み込むファイルです（別の名前で保存してください）"},
           {dir.file("master.csv"), "読み込むファイルです（別の名前で保存してください）"}}) {
    testing::writeBytes(state.sourceFiles[SourceFile::Journal], "journal");
    testing::writeBytes(state.ledraAccountFile, "master");
    ScriptedPlatform platform;
    platform.saveAnswers.push_back(target);
    EXPECT_EQ(saveWorkState(state, platform), SaveResult::Failed);
    EXPECT_EQ(platform.lastMessage().text, kSaveFailed + "\r\n" + target + ": " + why);
    EXPECT_EQ(testing::readBytes(state.sourceFiles[SourceFile::Journal]), "journal");
    EXPECT_EQ(testing::readBytes(state.ledraAccountFile), "master");
  }
}

TEST(WorkStateRestore, RoundTripGivesBackEverySavedTableAndSetting) {
  TempDir dir;
  ScriptedPlatform platform;
  ConversionState saved = richState();
  const std::string path = dir.file("rich.dat");
  platform.saveAnswers.push_back(path);
  ASSERT_EQ(saveWorkState(saved, platform), SaveResult::Saved);

  ConversionState restored;
  restored.baseFolder = "/start/folder";
  // The save remembered its folder, and the dialog would start there; with nothing remembered
  // it starts in the base folder.
  EXPECT_EQ(platform.remembered[RememberedFolder::SavedState], dir.path());
  platform.remembered.clear();
  platform.openAnswers.push_back(path);
  ASSERT_TRUE(restoreWorkState(restored, platform));

  ASSERT_EQ(platform.openRequests.size(), 1u);
  const FileDialogRequest& r = platform.openRequests[0];
  EXPECT_EQ(r.title, "保存ファイルを開く");
  EXPECT_EQ(r.filter, "datファイル|*.dat|すべてのファイル|*.*");
  EXPECT_EQ(r.filterIndex, 1);
  EXPECT_EQ(r.initialFolder, "/start/folder");
  EXPECT_EQ(r.fileName, "");
  EXPECT_EQ(r.maxFileSize, 1024);
  EXPECT_EQ(r.options, (FileDialogOptions{.fileMustExist = true,
                                          .pathMustExist = true,
                                          .hideReadOnly = true,
                                          .noChangeDir = true}));
  EXPECT_EQ(platform.messages.size(), 1u);  // only the save's; the caller reports the restore

  expectRestoredFrom(saved, restored);
  EXPECT_EQ(restored.sourcePackage, SourcePackage::BlueReturn);
  EXPECT_EQ(restored.workAccounts[0].subAccountGroupCode, "12");
  EXPECT_EQ(restored.workAccounts[1].subAccountGroupCode, "00");
  EXPECT_EQ(restored.workAccounts[2].subAccountGroupCode, "A5");
  EXPECT_EQ(restored.workSubAccounts[3].subAccountGroupCode, "00");
  for (const StandardAccount& a : restored.standardAccounts) EXPECT_FALSE(a.taken);
  EXPECT_TRUE(std::signbit(restored.workAccountBalances[3].ratio));
  SubAccountLists lists;
  refillParentAccountChoices(restored, lists);
  ASSERT_EQ(lists.parentChoices.count(), 2);
  EXPECT_EQ(lists.parentChoices[1], (ParentAccountChoice{"C0", "標準0", 12}));
}

TEST(WorkStateRestore, ImportedCompanyWithChangedMappingsComesBack) {
  TempDir dir;
  ScriptedPlatform platform;
  ConversionState saved;
  saved.sourcePackage = SourcePackage::Yayoi;
  saved.standardAccounts.append({"", "", "111", "現金", "x", false});
  saved.standardAccounts.append({"", "", "112", "普通預金", "x", false});
  saved.standardAccounts.append({"", "", "411", "売上高", "x", false});
  rebuildStandardAccountCandidates(saved);
  ASSERT_TRUE(testing::importYayoiCompany(saved, platform,
                                          testing::sampleYayoiCompany().writeTo(dir.path())));
  // The user's decisions: 仕入高 left out, 売上高 mapped elsewhere, one sub-account code.
  for (WorkAccount& a : saved.workAccounts) {
    if (a.sourceName == "仕入高") {
      a.valid = false;
      a.matched = true;
    }
    if (a.sourceName == "売上高") a.ledraCode = "999";
  }
  saved.workSubAccounts[1].newSubCode = "7";
  const std::string path = dir.file("company.dat");
  ASSERT_TRUE(saveWorkStateToFile(saved, platform, path)) << platform.lastMessage().text;

  ConversionState restored;
  ASSERT_TRUE(restoreWorkStateFromFile(restored, platform, path));
  expectRestoredFrom(saved, restored);
  EXPECT_EQ(restored.workSubAccounts[1].newSubCode, "7");
  SubAccountLists savedLists;
  SubAccountLists restoredLists;
  EXPECT_EQ(refillParentAccountChoices(restored, restoredLists),
            refillParentAccountChoices(saved, savedLists));
}

TEST(WorkStateRestore, ReplacesWhatTheStateHeld) {
  TempDir dir;
  ScriptedPlatform platform;
  ConversionState saved = richState();
  const std::string path = dir.file("rich.dat");
  ASSERT_TRUE(saveWorkStateToFile(saved, platform, path));
  ConversionState state = occupiedState();
  ASSERT_TRUE(restoreWorkStateFromFile(state, platform, path));
  expectRestoredFrom(saved, state);
  EXPECT_TRUE(platform.messages.empty());
}

TEST(WorkStateRestore, CancelledDialogIsSilent) {
  ScriptedPlatform platform;
  ConversionState state = occupiedState();
  platform.openAnswers.push_back(std::nullopt);
  EXPECT_FALSE(restoreWorkState(state, platform));
  platform.openAnswers.push_back(std::string());
  EXPECT_FALSE(restoreWorkState(state, platform));
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(state.workAccounts.count(), 1);
  EXPECT_EQ(state.sourcePackage, SourcePackage::BlueReturn);
}

TEST(WorkStateRestore, MissingFileIsNamed) {
  TempDir dir;
  ScriptedPlatform platform;
  ConversionState state = occupiedState();
  const std::string path = dir.file("gone.dat");
  EXPECT_FALSE(restoreWorkStateFromFile(state, platform, path));
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, path + "が存在しません。");
  EXPECT_EQ(platform.messages[0].title, "エラー");
  EXPECT_EQ(state.workAccounts.count(), 1);
}

TEST(WorkStateRestore, ReadsCountLinesWithAnyBlanksAndBareLineFeeds) {
  std::vector<std::string> lines = testing::readCp932Lines(kSmallFile);
  lines[10] = "3";     // standard accounts
  lines[15] = "   1";  // accounts
  lines[21] = "0\t";   // sub-accounts
  TempDir dir;
  for (bool bareLf : {false, true}) {
    const std::string path = dir.file("blanks.dat");
    if (bareLf) {
      std::string text;
      for (const std::string& l : lines) text += l + "\n";
      testing::writeCp932Text(path, text);
    } else {
      testing::writeCp932Lines(path, lines);
    }
    ScriptedPlatform platform;
    ConversionState state;
    ASSERT_TRUE(restoreWorkStateFromFile(state, platform, path)) << bareLf;
    expectRestoredFrom(smallState(), state);
    EXPECT_TRUE(platform.messages.empty());
  }
}

// Replaces field n (1-based) of a comma-separated line.
std::string withField(const std::string& line, size_t n, const std::string& value) {
  std::vector<std::string> parts = splitPlain(line, ",");
  parts.at(n - 1) = value;
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) out += (i ? "," : "") + parts[i];
  return out;
}

TEST(WorkStateRestore, RefusesMalformedFiles) {
  using Lines = std::vector<std::string>;
  struct Case {
    std::function<void(Lines&)> change;
    std::string detail;
  } cases[] = {
      {[](Lines& l) { l[0] = "ブルーリターンＡ"; },
       "1行目: 「弥生会計」でも「ブルーリターン」でもありません"},
      {[](Lines& l) { l.clear(); }, "1行目: 行がありません"},
      {[](Lines& l) { l[1] = "ファイル出力"; }, "2行目: 画面の状態「ファイル出力」がありません"},
      {[](Lines& l) { l[6] = withField(l[6], 11, "extra") + ","; },
       "7行目: ソースファイルが10個ではありません"},
      {[](Lines& l) { l[14] = "変更中勘定科目 "; }, "15行目: 「変更中勘定科目」ではありません"},
      {[](Lines& l) { l[29] = "[TBL]ProfitAndloss"; },
       "30行目: 「[TBL]ProfitAndLoss」ではありません"},
      {[](Lines& l) { l.pop_back(); }, "40行目: 行がありません"},
      {[](Lines& l) { l.resize(20); }, "21行目: 行がありません"},
      {[](Lines& l) { l[10] = " x "; }, "11行目: 件数が数値ではありません"},
      {[](Lines& l) { l[10] = " 3.0 "; }, "11行目: 件数が数値ではありません"},
      {[](Lines& l) { l[10] = " 2002 "; }, "11行目: 件数 2002 が範囲外です（上限 2001）"},
      {[](Lines& l) { l[21] = "-1 "; }, "22行目: 件数 -1 が範囲外です（上限 5001）"},
      {[](Lines& l) { l[28] = " 30002 "; }, "29行目: 件数 30002 が範囲外です（上限 30001）"},
      {[](Lines& l) { l[10] = " 4 "; }, "15行目: 項目数が 1 です（5 項目）"},
      {[](Lines& l) { l[38] = "true"; },
       "39行目: ConsumptionTaxOn が True でも False でもありません"},
      {[](Lines& l) { l[16] = withField(l[16], 24, "-1"); },
       "17行目: HasSubAccounts が True でも False でもありません"},
      {[](Lines& l) { l[19] = withField(l[19], 6, "-15x0"); },
       "20行目: Amount1 が数値ではありません"},
      {[](Lines& l) { l[19] = withField(l[19], 8, "3000000000"); }, "20行目: Amount3 が範囲外です"},
      {[](Lines& l) { l[19] = withField(l[19], 8, "2147483648"); }, "20行目: Amount3 が範囲外です"},
      {[](Lines& l) { l[19] = withField(l[19], 8, "-0000000000000002147483649"); },
       "20行目: Amount3 が範囲外です"},
      {[](Lines& l) { l[19] = withField(l[19], 8, "-"); }, "20行目: Amount3 が数値ではありません"},
      {[](Lines& l) { l[19] = withField(l[19], 10, "1.2.3"); },
       "20行目: Ratio が数値ではありません"},
      {[](Lines& l) { l[24] = withField(l[24], 11, "1e60"); },
       "25行目: Ratio が数値ではありません"},
      {[](Lines& l) { l[16] = withField(l[16], 25, "360"); },
       "17行目: SubAccountGroupNo 360 に対応する記号がありません"},
      {[](Lines& l) { l[16] = l[16].substr(0, l[16].size() - 5); },  // drops "True,"
       "17行目: 項目数が 31 です（32 項目）"},
      {[](Lines& l) { l[16] += "x,"; }, "17行目: 項目数が 33 です（32 項目）"},
      {[](Lines& l) { l[11] = ",,111,現金,1"; }, "12行目: 行末に「,」がありません"},
      {[](Lines& l) { l[27] += ","; }, "28行目: 項目数が 21 です（20 項目）"},
      {[](Lines& l) { l[34] = "1,"; }, "35行目: 勘定科目番号 1 が範囲外です"},
      {[](Lines& l) { l[34] = ""; }, "35行目: 件数 1 と値の数が合いません"},
      {[](Lines& l) { l[31] = "0,"; }, "32行目: 件数 0 と値の数が合いません"},
      {[](Lines& l) { l[37] = "a,"; }, "38行目: 勘定科目番号 が数値ではありません"},
      {[](Lines& l) { l.push_back(""); }, "41行目: 余分な行があります"},
      {[](Lines& l) { l[2] = "../X"; },
       "3行目: ユーザーコード「../X」はファイル名に使えません（「/」「\\」、制御文字、「.」「..」"
       "だけのもの、長すぎるものは使えません）"},
  };
  const Lines good = testing::readCp932Lines(kSmallFile);
  ASSERT_EQ(good.size(), 40u);
  for (const Case& c : cases) {
    Lines lines = good;
    c.change(lines);
    TempDir dir;
    const std::string path = dir.file("bad.dat");
    testing::writeCp932Lines(path, lines);
    ScriptedPlatform platform;
    ConversionState state = occupiedState();
    EXPECT_FALSE(restoreWorkStateFromFile(state, platform, path)) << c.detail;
    ASSERT_EQ(platform.messages.size(), 1u) << c.detail;
    EXPECT_EQ(platform.messages[0].text, kBadFile + "\r\n" + path + " " + c.detail);
    EXPECT_EQ(platform.messages[0].title, "エラー");
    expectAllTablesEmpty(state);
    // Settings are taken only from a file that was accepted as a whole.
    EXPECT_EQ(state.baseFolder, "/start/folder") << c.detail;
    EXPECT_EQ(state.sourcePackage, SourcePackage::BlueReturn) << c.detail;
  }
}

// Balance rows and sub-account rows repeat their account's mapping in the file. The account's
// own fields decide, so a file whose copies disagree (an older or edited one) is read as its
// accounts say, and saved again as they say.
TEST(WorkStateRestore, RowsFollowTheirAccountsMappingNotTheFilesCopy) {
  std::vector<std::string> lines = testing::readCp932Lines(kSmallFile);
  ASSERT_EQ(lines.at(17), "変更中科目残高");
  lines[19] = withField(withField(withField(lines[19], 14, "999"), 15, "別名"), 23, "False");
  ASSERT_EQ(lines.at(22), "変更中補助残高");
  lines[24] = withField(lines[24], 16, "999");
  TempDir dir;
  const std::string edited = dir.file("edited.dat");
  testing::writeCp932Lines(edited, lines);

  ScriptedPlatform platform;
  ConversionState state;
  ASSERT_TRUE(restoreWorkStateFromFile(state, platform, edited));
  const AccountLinks links(state);
  EXPECT_EQ(links.ledraCodeOf(state.workAccountBalances[0]), "111");
  EXPECT_TRUE(links.validOf(state.workAccountBalances[0]));
  EXPECT_EQ(links.parentLedraCodeOf(state.workSubAccountBalances[0]), "111");
  const std::string saved = dir.file("saved.dat");
  ASSERT_TRUE(saveWorkStateToFile(state, platform, saved));
  EXPECT_EQ(testing::readBytes(saved), testing::readBytes(kSmallFile));

  // 無効 on the account: its row says so in the file, still matched, and the rest is as before.
  state.workAccounts[0].valid = false;
  state.workAccounts[0].ledraCode = "112";
  ASSERT_TRUE(saveWorkStateToFile(state, platform, saved));
  const std::vector<std::string> again = testing::readCp932Lines(saved);
  lines = testing::readCp932Lines(kSmallFile);
  EXPECT_EQ(again[19], withField(withField(lines[19], 14, "112"), 23, "False"));
  EXPECT_EQ(again[24], withField(lines[24], 16, "112"));
}

TEST(WorkStateRestore, ReadsEveryFormOfANumberToItsValue) {
  struct Case {
    const char* amount;
    int32_t value;
    const char* ratio;
    float ratioValue;
  } cases[] = {
      {"-2147483648", INT32_MIN, "16777215", 16777215.0f},
      {"2147483647", INT32_MAX, "16777217", 16777216.0f},  // the float nearest
      {"007", 7, "0.5", 0.5f},
      {" 12 ", 12, "3", 3.0f},
      {"2.5", 2, "-0", -0.0f},  // halves to even, as the file's numbers always were
      {"-0", 0, "1e3", 1000.0f},
  };
  const std::vector<std::string> good = testing::readCp932Lines(kSmallFile);
  for (const Case& c : cases) {
    std::vector<std::string> lines = good;
    lines[19] = withField(withField(lines[19], 8, c.amount), 10, c.ratio);
    TempDir dir;
    const std::string path = dir.file("numbers.dat");
    testing::writeCp932Lines(path, lines);
    ScriptedPlatform platform;
    ConversionState state;
    ASSERT_TRUE(restoreWorkStateFromFile(state, platform, path)) << c.amount;
    EXPECT_EQ(state.workAccountBalances[0].amount3, c.value) << c.amount;
    EXPECT_EQ(state.workAccountBalances[0].ratio, c.ratioValue) << c.ratio;
    EXPECT_EQ(std::signbit(state.workAccountBalances[0].ratio), std::signbit(c.ratioValue))
        << c.ratio;
  }
}

TEST(WorkStateRestore, DamagedCopiesAreRefusedOrReadWhole) {
  const std::string good = testing::readBytes(kSmallFile);
  struct Copy {
    std::string bytes;
    bool mustRefuse;
  };
  std::vector<Copy> copies;
  // Cut anywhere before the last line's CR LF, a copy lacks something.
  for (size_t n = 0; n + 2 < good.size(); n += 3) copies.push_back({good.substr(0, n), true});
  for (size_t i = 0; i < good.size(); ++i) {
    for (unsigned char flip : {0x01, 0x80}) {
      std::string bad = good;
      bad[i] = static_cast<char>(static_cast<unsigned char>(bad[i]) ^ flip);
      copies.push_back({bad, false});
    }
  }
  TempDir dir;
  ScriptedPlatform platform;
  for (size_t k = 0; k < copies.size(); ++k) {
    const Copy& copy = copies[k];
    // A fresh name each time: rewriting one file over and over is slow on some file systems.
    const std::string path = dir.file("damaged" + std::to_string(k) + ".dat");
    testing::writeBytes(path, copy.bytes);
    platform.messages.clear();
    ConversionState state = occupiedState();
    if (restoreWorkStateFromFile(state, platform, path)) {
      EXPECT_FALSE(copy.mustRefuse) << copy.bytes.size();
      EXPECT_TRUE(platform.messages.empty());
      EXPECT_EQ(state.workAccounts.count(), 1);
      EXPECT_EQ(state.standardAccounts.count(), 3);
      EXPECT_LE(state.allView.count(), state.workAccounts.count());
    } else {
      ASSERT_EQ(platform.messages.size(), 1u);
      EXPECT_TRUE(startsWith(platform.messages[0].text, kBadFile + "\r\n"));
      expectAllTablesEmpty(state);
      EXPECT_EQ(state.baseFolder, "/start/folder");
    }
  }
}

// The screen is kept as the word the package's own program wrote, and read back from it.
TEST(WorkStateRestore, EveryScreenKeepsItsWord) {
  const std::pair<Screen, std::string> cases[] = {
      {Screen::Initial, "初期状態"},       {Screen::Starting, "起動時"},
      {Screen::Welcome, "広告中"},         {Screen::FileSettings, "ファイル設定"},
      {Screen::Mapping, "ファイル出力中"},
  };
  for (const auto& [screen, word] : cases) {
    ConversionState saved = smallState();
    saved.screenState = screen;
    const std::string text = decodeCp932(workStateBytes(saved).value());
    EXPECT_EQ(text.substr(0, text.find("\r\nU0001")), "弥生会計\r\n" + word) << word;
    ConversionData restored;
    std::string problem;
    ASSERT_TRUE(parseWorkState(text, restored, &problem)) << problem;
    EXPECT_EQ(restored.screenState, screen) << word;
  }
}

TEST(WorkStateRestore, FullTablesSaveAndRestore) {
  ConversionState s;
  s.sourcePackage = SourcePackage::Yayoi;
  for (int32_t i = 0; i < kAccountCapacity; ++i) {
    const std::string n = std::to_string(i);
    s.standardAccounts.append({"", "", "C" + n, "標準" + n, "", true});
    WorkAccount& a = s.workAccounts.append();
    a.sourceName = "科目" + n;
    a.subAccountGroupNo = i % 360;
    s.allView.append(i);
    s.profitAndLossView.append(kAccountCapacity - 1 - i);
    s.balanceSheetView.append(i / 2);
  }
  for (int32_t i = 0; i < kBalanceCapacity; ++i) {
    const std::string n = std::to_string(i);
    s.workAccountBalances.append().amount1 = i;
    WorkSubAccount& sub = s.workSubAccounts.append();
    sub.newSubCode = n;
    sub.subAccountName = "補助" + n;
    s.workSubAccountBalances.append().ratio = static_cast<float>(i) / 7;
  }
  for (int32_t i = 0; i < kDepartmentCapacity; ++i)
    s.workDepartments.append().departmentCode = std::to_string(i);
  s.journalRows.resize(kJournalCapacity);

  TempDir dir;
  ScriptedPlatform platform;
  const std::string path = dir.file("full.dat");
  ASSERT_TRUE(saveWorkStateToFile(s, platform, path));
  ConversionState restored;
  ASSERT_TRUE(restoreWorkStateFromFile(restored, platform, path));
  expectRestoredFrom(s, restored);
  EXPECT_TRUE(platform.messages.empty());
}

TEST(WorkStateRestore, CommasAndQuotesInTextsComeBackAsSaved) {
  TempDir dir;
  ScriptedPlatform platform;
  ConversionState saved = smallState();
  saved.workAccounts[0].sourceName = "現金,小口";
  saved.workDepartments[0].col(8) = "\"営業\"部";
  saved.sourceFiles[SourceFile::SubAccountBalances] = "/a,b/補助科目一覧表.txt";
  const std::string path = dir.file("state.dat");
  ASSERT_TRUE(saveWorkStateToFile(saved, platform, path));
  const std::string text = testing::readCp932(path);
  EXPECT_NE(text.find(",\"現金,小口\","), std::string::npos);
  EXPECT_NE(text.find(",\"\"\"営業\"\"部\","), std::string::npos);
  EXPECT_NE(text.find(",\"/a,b/補助科目一覧表.txt\","), std::string::npos);

  ConversionState restored;
  ASSERT_TRUE(restoreWorkStateFromFile(restored, platform, path));
  EXPECT_EQ(restored.workAccounts[0].sourceName, "現金,小口");
  EXPECT_EQ(restored.workDepartments[0].col(8), "\"営業\"部");
  EXPECT_EQ(restored.sourceFiles[SourceFile::SubAccountBalances], "/a,b/補助科目一覧表.txt");
  EXPECT_EQ(workStateBytes(restored, nullptr), workStateBytes(saved, nullptr));
}

}  // namespace
}  // namespace ledra
