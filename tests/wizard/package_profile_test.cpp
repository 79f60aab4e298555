#include "state/package_profile.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/text.hpp"
#include "platform/cp932.hpp"
#include "state/conversion_state.hpp"
#include "state/work_state_format.hpp"
#include "wizard/step_flow.hpp"

namespace ledra {
namespace {

struct PackageCase {
  SourcePackage package;
  std::vector<SourceFile> required;  // rows the next button waits for
  std::vector<SourceFile> optional;
  bool needsMaster;
};

const PackageCase kPackages[] = {
    {SourcePackage::Yayoi,
     {SourceFile::AccountList, SourceFile::TrialBalance, SourceFile::DepartmentList,
      SourceFile::Journal},
     {SourceFile::SubAccountList, SourceFile::SubAccountBalances},
     true},
    {SourcePackage::BlueReturn, {SourceFile::BlueAccounts, SourceFile::BlueJournal}, {}, false},
};

ConversionState chosenFiles(const PackageCase& c) {
  ConversionState s;
  s.sourcePackage = c.package;
  s.screenState = Screen::FileSettings;
  for (SourceFile f : c.required) s.sourceFiles[f] = "/in/" + std::to_string(static_cast<int>(f));
  s.outputFolder = "/out";
  s.ledraAccountFile = "/m.csv";
  return s;
}

TEST(PackageProfile, NextButtonWaitsForEachRequiredRowOfThePackage) {
  for (const PackageCase& c : kPackages) {
    SCOPED_TRACE(packageName(c.package));
    ConversionState s = chosenFiles(c);
    EXPECT_TRUE(evaluateNextButton(s));
    for (SourceFile f : c.required) {
      ConversionState without = s;
      without.sourceFiles[f].clear();
      EXPECT_FALSE(evaluateNextButton(without)) << static_cast<int>(f);
    }
    ConversionState noFolder = s;
    noFolder.outputFolder.clear();
    EXPECT_FALSE(evaluateNextButton(noFolder));
    ConversionState noMaster = s;
    noMaster.ledraAccountFile.clear();
    EXPECT_EQ(evaluateNextButton(noMaster), !c.needsMaster);
    // The rows the package does not need, and the other package's rows, are never waited for.
    const PackageProfile& profile = *packageProfile(c.package);
    for (const SourceSlot& row : profile.rows) {
      const bool isOptional =
          std::find(c.optional.begin(), c.optional.end(), row.file) != c.optional.end();
      EXPECT_EQ(row.optional, isOptional) << row.label;
    }
  }
}

// Each row the user fills is kept by the work-state file in its own field of line 7.
TEST(PackageProfile, EveryRowOfEachPackageSurvivesSaveAndRestore) {
  for (const PackageCase& c : kPackages) {
    SCOPED_TRACE(packageName(c.package));
    ConversionState saved = chosenFiles(c);
    for (const SourceSlot& row : packageProfile(c.package)->rows)
      saved.sourceFiles[row.file] = "/in/" + std::string(row.label);
    const std::string text = decodeCp932(workStateBytes(saved).value());
    const std::vector<std::string> lines = splitPlain(text, "\r\n");
    const std::vector<std::string> fields = splitPlain(lines.at(6), ",");
    ASSERT_EQ(fields.size(), 11u);
    ConversionData restored;
    std::string problem;
    ASSERT_TRUE(parseWorkState(text, restored, &problem)) << problem;
    for (const SourceSlot& row : packageProfile(c.package)->rows) {
      EXPECT_EQ(fields[static_cast<size_t>(row.file)], "/in/" + std::string(row.label));
      EXPECT_EQ(restored.sourceFiles[row.file], saved.sourceFiles[row.file]) << row.label;
    }
  }
}

}  // namespace
}  // namespace ledra
