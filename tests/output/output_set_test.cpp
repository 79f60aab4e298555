#include "output/output_set.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/fixtures.hpp"
#include "support/temp_dir.hpp"

namespace ledra {
namespace {

using testing::readBytes;
using testing::writeBytes;

size_t entries(const std::string& folder) {
  size_t n = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

// A file that cannot be moved into place fails the set, and the files moved before it get
// their earlier contents back (or go again when there was none).
TEST(OutputSetTest, AFailedMovePutsBackTheFilesAlreadyMoved) {
  testing::TempDir dir;
  writeBytes(dir.file("a.csv"), "earlier a");
  {
    OutputSet set(dir.path(), {"b.csv"});
    std::string error;
    ASSERT_TRUE(set.put("a.csv", "new a", &error));
    ASSERT_TRUE(set.put("new.csv", "new", &error));
    ASSERT_TRUE(set.put("b.csv", "new b", &error));
    EXPECT_EQ(set.takeKept("b.csv"), "new b");
    EXPECT_EQ(set.takeKept("a.csv"), std::nullopt);
    EXPECT_EQ(readBytes(dir.file("a.csv")), "earlier a");  // nothing moved yet
    std::filesystem::create_directories(dir.file("b.csv"));
    std::string failed;
    EXPECT_FALSE(set.commit(&failed, &error));
    EXPECT_EQ(failed, "b.csv");
    EXPECT_EQ(error, dir.file("b.csv") + ": フォルダです: Is a directory");
  }
  EXPECT_EQ(readBytes(dir.file("a.csv")), "earlier a");
  EXPECT_FALSE(testing::fileExistsAt(dir.file("new.csv")));
  EXPECT_EQ(entries(dir.path()), 2u);  // a.csv and the folder b.csv: no staging folder left
}

TEST(OutputSetTest, PutNamesTheTargetWhenItCannotBeWritten) {
  testing::TempDir dir;
  std::filesystem::create_directories(dir.file("x.csv"));
  OutputSet set(dir.path(), {});
  std::string error;
  EXPECT_FALSE(set.put("x.csv", "x", &error));
  EXPECT_EQ(error, dir.file("x.csv") + ": フォルダです: Is a directory");
  OutputSet gone(dir.file("missing"), {});
  EXPECT_FALSE(gone.put("y.csv", "y", &error));
  EXPECT_EQ(error, dir.file("missing/y.csv") +
                       ": ファイルまたはフォルダがありません: No such file or directory");
}

}  // namespace
}  // namespace ledra
