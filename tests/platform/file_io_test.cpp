#include "platform/file_io.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/fixtures.hpp"
#include "support/temp_dir.hpp"

namespace ledra {
namespace {

using testing::TempDir;

TEST(FileIo, AtomicWriteReplacesAndLeavesNoTemporary) {
  TempDir dir;
  const std::string path = dir.file("out.csv");
  ASSERT_TRUE(writeFileAtomic(path, "first"));
  ASSERT_TRUE(writeFileAtomic(path, "second"));
  EXPECT_EQ(testing::readBytes(path), "second");
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

TEST(FileIo, FailedWriteReportsAndLeavesNothing) {
  std::string error;
  EXPECT_FALSE(writeFileAtomic("/nonexistent-folder/x.csv", "data", &error));
  EXPECT_NE(error.find("/nonexistent-folder/x.csv"), std::string::npos);
}

TEST(FileIo, TextBuilderWritesCp932WithCrLf) {
  Cp932TextBuilder b;
  b.line("現金");
  b.line("");
  EXPECT_EQ(b.bytes(), "\x8C\xBB\x8B\xE0\r\n\r\n");
}

TEST(FileIo, PathHelpers) {
  EXPECT_EQ(joinPath("/a/b", "c.csv"), "/a/b/c.csv");
  EXPECT_EQ(joinPath("/a/b/", "c.csv"), "/a/b/c.csv");
  EXPECT_EQ(folderWithSeparator("/x/y/勘定科目一覧表.txt"), "/x/y/");
  EXPECT_EQ(folderWithSeparator("name"), "");
  EXPECT_FALSE(readFileBytes("/nonexistent-folder/x"));
}

}  // namespace
}  // namespace ledra
