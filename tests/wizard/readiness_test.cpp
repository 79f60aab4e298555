#include <gtest/gtest.h>

#include "state/conversion_state.hpp"
#include "wizard/journal_period.hpp"
#include "wizard/status_report.hpp"
#include "wizard/step_flow.hpp"

namespace ledra {
namespace {

struct Sub {
  const char* parent;
  const char* code;
};

std::vector<bool> uniqueFlags(const std::vector<Sub>& rows) {
  ConversionState s;
  for (const auto& r : rows) {
    auto& sub = s.workSubAccounts.append();
    sub.newSubCode = r.code;
    if (*r.parent == '\0') continue;  // no parent account
    // Each parent code is one account's, with its own group.
    int32_t group = 0;
    for (const WorkAccount& a : s.workAccounts)
      if (a.ledraCode == r.parent) group = a.subAccountGroupNo;
    if (group == 0) {
      WorkAccount& parent = s.workAccounts.append();
      parent.ledraCode = r.parent;
      parent.hasSubAccounts = parent.matched = true;
      group = parent.subAccountGroupNo = s.workAccounts.count() + 1;
    }
    sub.subAccountGroupNo = group;
  }
  Readiness readiness;
  EXPECT_TRUE(readiness.refresh(s));
  EXPECT_FALSE(readiness.refresh(s)) << "worked out again without a change";
  std::vector<bool> out;
  for (int32_t i = 0; i < s.workSubAccounts.count(); ++i) out.push_back(readiness.codeUnique(i));
  EXPECT_EQ(out, subAccountCodesUnique(s));
  EXPECT_EQ(readiness.complete(), mappingComplete(s));
  return out;
}

TEST(MappingComplete, SubAccountCodeClashes) {
  struct Case {
    const char* name;
    std::vector<Sub> rows;
    std::vector<bool> unique;
  } cases[] = {
      {"same parent same code", {{"111", "1"}, {"111", "1"}}, {false, false}},
      {"different parents", {{"111", "1"}, {"112", "1"}}, {true, true}},
      {"three alike", {{"111", "1"}, {"111", "1"}, {"111", "1"}}, {false, false, false}},
      {"run broken by another parent",
       {{"111", "1"}, {"112", "2"}, {"111", "1"}},
       {true, true, true}},
      {"empty parent blocks", {{"", "1"}, {"111", "2"}}, {false, true}},
      {"empty parent on the last row alone does not", {{"111", "1"}, {"", "2"}}, {true, true}},
      {"case and width matter", {{"111", "a"}, {"111", "A"}, {"111", "Ａ"}}, {true, true, true}},
      {"clash further down the run",
       {{"111", "1"}, {"111", "2"}, {"111", "1"}},
       {false, true, false}},
  };
  for (const auto& c : cases) EXPECT_EQ(uniqueFlags(c.rows), c.unique) << c.name;
}

TEST(MappingComplete, NeedsEveryAccountMatched) {
  ConversionState s;
  s.workAccounts.append().matched = true;
  EXPECT_TRUE(mappingComplete(s));
  s.workAccounts.append().matched = false;
  EXPECT_FALSE(mappingComplete(s));
}

TEST(NextButton, FileSettingsNeedTheRequiredPaths) {
  ConversionState s;
  s.screenState = Screen::FileSettings;
  s.sourcePackage = SourcePackage::Yayoi;
  for (SourceFile f : {SourceFile::AccountList, SourceFile::TrialBalance,
                       SourceFile::DepartmentList, SourceFile::Journal})
    s.sourceFiles[f] = "f";
  s.outputFolder = "/out";
  s.ledraAccountFile = "/m.csv";
  EXPECT_TRUE(evaluateNextButton(s));  // sub-account reports are optional
  s.sourceFiles[SourceFile::DepartmentList].clear();
  EXPECT_FALSE(evaluateNextButton(s));
  s.sourcePackage = SourcePackage::BlueReturn;
  EXPECT_FALSE(evaluateNextButton(s));
  s.sourceFiles[SourceFile::BlueAccounts] = "k";
  s.sourceFiles[SourceFile::BlueJournal] = "j";
  EXPECT_TRUE(evaluateNextButton(s));
  s.screenState = Screen::Welcome;
  s.outputFolder.clear();
  EXPECT_TRUE(evaluateNextButton(s));
}

TEST(JournalPeriod, EndIsOneYearLaterLessADay) {
  struct Case {
    Ymd start;
    Ymd end;
  } cases[] = {{{2008, 4, 1}, {2009, 3, 31}},
               {{2008, 1, 1}, {2008, 12, 31}},
               {{2008, 2, 29}, {2009, 2, 27}},
               {{2007, 3, 1}, {2008, 2, 29}}};
  for (const auto& c : cases) EXPECT_EQ(journalPeriodEnd(c.start), c.end);
  EXPECT_FALSE(journalPeriodEnd({2008, 13, 1}));
}

TEST(StatusReport, CountsAndNamesWhatBlocks) {
  ConversionState s;
  for (int i = 0; i < 3; ++i) {
    auto& a = s.workAccounts.append();
    a.sourceCode = std::to_string(100 + i);
    a.sourceName = "科目" + std::to_string(i);
    a.matched = i != 1;
    s.allView.append(i);
  }
  auto& parent = s.workAccounts.append();
  parent.ledraCode = "111";
  parent.hasSubAccounts = parent.matched = true;
  parent.subAccountGroupNo = 2;
  auto& sub1 = s.workSubAccounts.append();
  sub1.subAccountGroupNo = 2;
  sub1.newSubCode = "1";
  sub1.subAccountName = "A銀行";
  sub1.col(2) = "普通預金";
  s.workSubAccounts.append(sub1);
  const StatusReport r = buildStatusReport(s);
  EXPECT_FALSE(r.ready);
  EXPECT_EQ(r.remaining, "マッチング科目残数：1/3");
  EXPECT_EQ(r.lines,
            (std::vector<std::string>{"マッチング科目残数：1/3", "勘定科目未設定：101 科目1",
                                      "補助科目コード重複：普通預金/A銀行 (1)",
                                      "補助科目コード重複：普通預金/A銀行 (1)"}));
}

}  // namespace
}  // namespace ledra
