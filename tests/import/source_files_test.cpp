#include "import/source_files.hpp"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "state/conversion_state.hpp"
#include "support/fixtures.hpp"
#include "support/temp_dir.hpp"

namespace ledra {
namespace {

// The texts that a UTF-8 master or report loses to "?": every field of the master, only the
// detail lines of a report; a CP932 file and a character CP932 holds under other bytes
// (U+301C) give none.
TEST(LackingSourceTexts, NamesFileLineAndColumnOfEveryText) {
  testing::TempDir dir;
  ConversionState state;
  state.sourcePackage = SourcePackage::Yayoi;
  const std::string bom = "\xEF\xBB\xBF";
  state.ledraAccountFile = dir.file("master.csv");
  testing::writeBytes(state.ledraAccountFile, bom + "S1,山田😀商店,111,現金,1\r\n,,112,Café,1\r\n");
  state.sourceFile(SourceFile::AccountList) = dir.file("accounts.txt");
  testing::writeBytes(state.sourceFile(SourceFile::AccountList),
                      bom +
                          "\"帳票名\",\"勘定科目一覧表😀\"\r\n"
                          "\"[明細行]\",\"[貸借対照表]\",,,\"🍣代\"\r\n"
                          "\"[明細行]\",\"[貸借対照表]\",,,\"10〜12月\"\r\n");
  state.sourceFile(SourceFile::TrialBalance) = dir.file("balances.txt");
  testing::writeCp932Lines(state.sourceFile(SourceFile::TrialBalance), {"\"[明細行]\",\"本店\""});
  state.sourceFile(SourceFile::Journal) = dir.file("journal.txt");
  testing::writeBytes(state.sourceFile(SourceFile::Journal), bom + "\"[明細行]\",\"😀\"\r\n");

  std::vector<std::tuple<std::string, int64_t, int, std::string>> found;
  for (const LackingText& t : lackingSourceTexts(state))
    found.emplace_back(t.path, t.line, t.column, t.original);
  EXPECT_EQ(found, (std::vector<std::tuple<std::string, int64_t, int, std::string>>{
                       {dir.file("master.csv"), 1, 2, "山田😀商店"},
                       {dir.file("master.csv"), 2, 4, "Café"},
                       {dir.file("accounts.txt"), 2, 5, "🍣代"},
                   }));
}

}  // namespace
}  // namespace ledra
