#include "platform/posix_platform.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace ledra {
namespace {

class BarePlatform : public PosixPlatform {
 public:
  MsgResult messageBox(const MessageRequest&) override { return MsgResult::Ok; }
  std::optional<std::string> inputBox(const InputRequest&) override { return {}; }
  std::optional<std::string> openFileDialog(const FileDialogRequest&) override { return {}; }
  std::optional<std::string> saveFileDialog(const FileDialogRequest&) override { return {}; }
  std::string browseFolder(const std::string&) override { return {}; }
  void setBusy(bool) override {}
  void progressShow() override {}
  void progressHide() override {}
  void progressSetCaption(const std::string&) override {}
  void progressSetMax(int64_t) override {}
  void progressSetValue(int64_t) override {}
};

// Two conversions running at once each get a temporary folder of their own (the archiver's
// list file has a fixed name), and it goes away with the run.
TEST(PosixPlatform, EachRunHasItsOwnTemporaryFolder) {
  std::string first;
  {
    BarePlatform a, b;
    first = a.tempFolder();
    EXPECT_EQ(a.tempFolder(), first);
    EXPECT_NE(b.tempFolder(), first);
    EXPECT_TRUE(std::filesystem::is_directory(first));
    EXPECT_EQ(std::filesystem::path(first).parent_path(),
              std::filesystem::path(b.tempFolder()).parent_path());
  }
  EXPECT_FALSE(std::filesystem::exists(first));
}

}  // namespace
}  // namespace ledra
