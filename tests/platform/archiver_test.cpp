#include "platform/archiver.hpp"

#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/fixtures.hpp"
#include "support/temp_dir.hpp"
#include "support/zip_reader.hpp"

namespace ledra {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;
using testing::writeCp932Lines;

using Member = testing::ZipMember;
using testing::readZip;

std::vector<std::string> names(const std::vector<Member>& members) {
  std::vector<std::string> out;
  for (const auto& m : members) out.push_back(m.name);
  return out;
}

class ArchiverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base = root.path() + "/out dir/";
    std::filesystem::create_directories(base);
    list = lists.file("rp.lst");
  }

  std::string command(const std::string& mode, const std::string& archive = "x.zip") const {
    return mode + "  -9 \"" + archive + "\" \"" + base + "\" @" + list;
  }

  TempDir root;
  TempDir lists;
  std::string base;
  std::string list;
};

TEST_F(ArchiverTest, PacksTheListedMembersDeflatedUnderTheBaseFolder) {
  const std::string a = "\"1\",\"現金\"\r\n" + std::string(2000, 'x') + "\r\n";
  const std::string b = "U1\r\nname\r\n";
  writeBytes(base + "a.csv", a);
  writeBytes(base + "b.csv", b);
  writeBytes(base + "無効化一覧.txt", "");
  writeCp932Lines(list, {"b.csv", "a.csv", "無効化一覧.txt"});

  ASSERT_EQ(runZipCommand(command("-r")), 0);

  EXPECT_EQ(readZip(base + "x.zip"), (std::vector<Member>{{"b.csv", b, ZIP_CM_DEFLATE},
                                                          {"a.csv", a, ZIP_CM_DEFLATE},
                                                          {"無効化一覧.txt", "", ZIP_CM_DEFLATE}}));
  EXPECT_FALSE(std::filesystem::exists(lists.file("x.zip")));
}

TEST_F(ArchiverTest, AbsoluteArchiveNameIsUsedAsGiven) {
  writeBytes(base + "a.csv", "a");
  writeCp932Lines(list, {"a.csv"});
  const std::string elsewhere = lists.file("y.zip");

  ASSERT_EQ(runZipCommand(command("-r", elsewhere)), 0);

  EXPECT_EQ(names(readZip(elsewhere)), std::vector<std::string>{"a.csv"});
  EXPECT_FALSE(std::filesystem::exists(base + "y.zip"));
}

TEST_F(ArchiverTest, ReplaceModeStartsTheArchiveAfresh) {
  writeBytes(base + "a.csv", "a");
  writeBytes(base + "b.csv", "b");
  writeCp932Lines(list, {"a.csv", "b.csv"});
  ASSERT_EQ(runZipCommand(command("-r")), 0);

  writeCp932Lines(list, {"b.csv"});
  ASSERT_EQ(runZipCommand(command("-r")), 0);

  EXPECT_EQ(names(readZip(base + "x.zip")), std::vector<std::string>{"b.csv"});
}

TEST_F(ArchiverTest, UpdateModeReplacesAndAddsMembers) {
  writeBytes(base + "a.csv", "old a");
  writeBytes(base + "b.csv", "b");
  writeCp932Lines(list, {"a.csv", "b.csv"});
  ASSERT_EQ(runZipCommand(command("-r")), 0);

  writeBytes(base + "a.csv", "new a");
  writeBytes(base + "c.csv", "c");
  writeCp932Lines(list, {"a.csv", "c.csv"});
  ASSERT_EQ(runZipCommand(command("-u")), 0);

  EXPECT_EQ(readZip(base + "x.zip"), (std::vector<Member>{{"a.csv", "new a", ZIP_CM_DEFLATE},
                                                          {"b.csv", "b", ZIP_CM_DEFLATE},
                                                          {"c.csv", "c", ZIP_CM_DEFLATE}}));
}

// Members are compressed side by side; the archive must still list them in the list's order,
// each with its own content, and honour the level (0 stores).
TEST_F(ArchiverTest, ManyMembersKeepTheirOrderAndContentAtEveryLevel) {
  std::vector<std::string> listed;
  std::vector<Member> expected;
  for (int i = 0; i < 12; ++i) {
    const std::string name = "m" + std::to_string(11 - i) + ".csv";
    const std::string body = std::string(static_cast<size_t>(i * 3000), 'a' + i % 26) + name;
    writeBytes(base + name, body);
    listed.push_back(name);
    expected.push_back({name, body, ZIP_CM_DEFLATE});
  }
  writeCp932Lines(list, listed);
  ASSERT_EQ(runZipCommand(command("-r")), 0);
  EXPECT_EQ(readZip(base + "x.zip"), expected);

  for (auto& m : expected) m.method = ZIP_CM_STORE;
  ASSERT_EQ(runZipCommand("-r -0 \"x.zip\" \"" + base + "\" @" + list), 0);
  EXPECT_EQ(readZip(base + "x.zip"), expected);
}

struct BadRun {
  const char* label;
  std::string commandLine;  // {base} and {list} are filled in
  std::vector<std::string> listLines;
  int expected;
};

std::string fill(std::string s, const std::string& base, const std::string& list) {
  for (auto [key, value] :
       {std::pair<std::string, std::string>{"{base}", base}, {"{list}", list}}) {
    for (size_t at; (at = s.find(key)) != std::string::npos;) s.replace(at, key.size(), value);
  }
  return s;
}

TEST_F(ArchiverTest, RefusesBadRunsWithTheirCode) {
  const std::vector<std::string> good = {"a.csv"};
  const std::vector<BadRun> runs = {
      {"unknown switch", "-r -x \"x.zip\" \"{base}\" @{list}", good, zip_result::kBadCommand},
      {"unclosed quote", "-r  -9 \"x.zip \"{base}\" @{list}", good, zip_result::kBadCommand},
      {"no mode", "-9 \"x.zip\" \"{base}\" @{list}", good, zip_result::kBadCommand},
      {"two modes", "-r -u \"x.zip\" \"{base}\" @{list}", good, zip_result::kBadCommand},
      {"no list file", "-r  -9 \"x.zip\" \"{base}\"", good, zip_result::kBadCommand},
      {"no base folder", "-r  -9 \"x.zip\" @{list}", good, zip_result::kBadCommand},
      {"extra name", "-r \"x.zip\" \"{base}\" a.csv @{list}", good, zip_result::kBadCommand},
      {"member outside the base",
       "-r \"x.zip\" \"{base}\" @{list}",
       {"../a.csv"},
       zip_result::kBadCommand},
      {"absolute member",
       "-r \"x.zip\" \"{base}\" @{list}",
       {"/etc/hostname"},
       zip_result::kBadCommand},
      {"member with backslash",
       "-r \"x.zip\" \"{base}\" @{list}",
       {"..\\a.csv"},
       zip_result::kBadCommand},
      {"missing member",
       "-r  -9 \"x.zip\" \"{base}\" @{list}",
       {"a.csv", "zandaka.csv"},
       zip_result::kOpenFailed},
      {"missing list file", "-r \"x.zip\" \"{base}\" @{list}.none", good, zip_result::kOpenFailed},
      {"empty list", "-r \"x.zip\" \"{base}\" @{list}", {}, zip_result::kNothingToDo},
  };
  writeBytes(base + "a.csv", "a");
  for (const auto& run : runs) {
    writeCp932Lines(list, run.listLines);
    EXPECT_EQ(runZipCommand(fill(run.commandLine, base, list)), run.expected) << run.label;
    EXPECT_FALSE(std::filesystem::exists(base + "x.zip")) << run.label;
  }
}

TEST_F(ArchiverTest, UpdatingSomethingThatIsNotAnArchiveFails) {
  writeBytes(base + "a.csv", "a");
  writeBytes(base + "x.zip", "not a zip file at all");
  writeCp932Lines(list, {"a.csv"});
  EXPECT_EQ(runZipCommand(command("-u")), zip_result::kBadArchive);
  EXPECT_EQ(readBytes(base + "x.zip"), "not a zip file at all");
}

TEST_F(ArchiverTest, AFailedRunLeavesTheEarlierArchiveUntouched) {
  writeBytes(base + "a.csv", "a");
  writeCp932Lines(list, {"a.csv"});
  ASSERT_EQ(runZipCommand(command("-r")), 0);
  const std::string before = readBytes(base + "x.zip");

  writeCp932Lines(list, {"a.csv", "missing.csv"});
  EXPECT_EQ(runZipCommand(command("-r")), zip_result::kOpenFailed);
  EXPECT_EQ(readBytes(base + "x.zip"), before);
}

}  // namespace
}  // namespace ledra
