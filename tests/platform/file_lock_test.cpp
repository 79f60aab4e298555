#include "platform/file_lock.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.hpp"

namespace ledra {
namespace {

// A step that takes a lock its caller already holds goes on; the lock file goes with the last
// holder, so no file is left beside the work state.
TEST(FileLockTest, NestedHoldersShareTheLockAndTheFileGoesWithTheLast) {
  testing::TempDir dir;
  const std::string lockFile = workStateLockFile(dir.file("state.dat"));
  EXPECT_EQ(lockFile, dir.file(".state.dat.lock"));
  {
    FileLock outer;
    ASSERT_EQ(outer.acquire(lockFile), FileLock::Outcome::Locked);
    {
      FileLock inner;
      EXPECT_EQ(inner.acquire(lockFile), FileLock::Outcome::Locked);
    }
    EXPECT_TRUE(std::filesystem::exists(lockFile));
  }
  EXPECT_FALSE(std::filesystem::exists(lockFile));
  FileLock nowhere;
  EXPECT_EQ(nowhere.acquire(dir.file("missing/.x.lock")), FileLock::Outcome::Unavailable);
}

}  // namespace
}  // namespace ledra
