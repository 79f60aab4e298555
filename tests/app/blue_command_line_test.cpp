#include <gtest/gtest.h>

#include <string>

#include "support/blue_fixtures.hpp"
#include "support/fixtures.hpp"
#include "support/run_binary.hpp"
#include "support/temp_dir.hpp"

namespace ledra {
namespace {

// A journal the import cannot take stops the command with the step's message and its reason,
// and no work-state file is written.
TEST(BlueCommandLine, ABadJournalRecordSavesNoState) {
  testing::BlueRecord highByte = testing::blueRecord(2007, 5, 1, 101, 411, 1);
  highByte.voucher = 0x8000;
  struct Case {
    testing::BlueRecord record;
    std::string reason;
  };
  const Case cases[] = {
      {highByte, "1件目の仕訳: 伝票番号の値が正しくありません（1バイト目）"},
      {testing::blueRecord(2007, 5, 1, 101, 411, 2147483648.0),
       "1件目の仕訳: 借方の金額が大きすぎます"},
  };
  for (const Case& c : cases) {
    testing::TempDir dir;
    testing::BlueCompany company = testing::sampleBlueCompany();
    company.records = {c.record};
    company.writeTo(dir.file("Y2007"));
    const testing::BinaryRun r =
        testing::runBinary("import --package blue --master '" LEDRA_SOURCE_DIR
                           "/examples/ledra_master.csv' --blue-data '" +
                           dir.file("Y2007") + "' --from 2007/01/01 --output '" + dir.path() +
                           "' --save '" + dir.file("state.dat") + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "仕訳データの取込に失敗しました。\n" + dir.file("Y2007") +
                         "/仕訳データ: " + c.reason + "\n");
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(testing::fileExistsAt(dir.file("state.dat")));
  }
}

}  // namespace
}  // namespace ledra
