#include "output/archive.hpp"

#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>
#include <string>
#include <vector>

#include "output/path_parts.hpp"
#include "state/conversion_state.hpp"
#include "support/fixtures.hpp"
#include "support/scripted_platform.hpp"
#include "support/temp_dir.hpp"
#include "support/zip_reader.hpp"

namespace ledra {
namespace {

using testing::fileExistsAt;
using testing::readBytes;
using testing::ScriptedPlatform;
using testing::TempDir;
using testing::writeBytes;

TEST(ArcsmpCommonTest, SeparatorForAndStripExtension) {
  EXPECT_EQ(separatorFor("/home/u/out/"), "");
  EXPECT_EQ(separatorFor("/home/u/out"), "/");
  EXPECT_EQ(stripExtension("a.tar.gz"), "a.tar");
  EXPECT_EQ(stripExtension("/out/README"), "/out/README");
  EXPECT_EQ(stripExtension("/out.d/README"), "/out");  // the last dot, wherever it is
}

TEST(ArcsmpCommonTest, SplitPath) {
  struct Case {
    std::string path, folder, base, name;
  };
  for (const Case& c :
       std::vector<Case>{{"/out dir/kanjyo.csv", "/out dir/", "kanjyo", "kanjyo.csv"},
                         {"rp.lst", "", "rp", "rp.lst"},
                         {"/out/", "/out/", "", ""},
                         {"/out/kanjyo", "/out/", "kanjyo", "kanjyo"}}) {
    std::string base = "x", name = "x";
    EXPECT_EQ(splitPath(c.path, base, name), c.folder) << c.path;
    EXPECT_EQ(base, c.base) << c.path;
    EXPECT_EQ(name, c.name) << c.path;
  }
}

using Member = testing::ZipMember;
using testing::readZip;

constexpr const char* kArchiveName = "U123_output_20261208102030.zip";

class PackArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state.outputFolder = root.path() + "/出力 先";
    std::filesystem::create_directories(state.outputFolder);
    state.ledraUserCode = "U123";
    state.ledraUserName = "テスト商店";
    for (const char* name : {"kanjyo.csv", "hojokamoku.csv", "zandaka.csv", "busho.csv"}) {
      writeBytes(out(name), std::string("U123\r\n") + name + "\r\n");
    }
    departments(2);
  }

  void departments(int n) {
    state.workDepartments.clear();
    for (int i = 0; i < n; ++i) state.workDepartments.append();
  }

  std::string out(const std::string& name) const { return state.outputFolder + "/" + name; }

  // Stands in for the archiver, noting whether the old archive was still there when called.
  void fakeArchiver(int result) {
    platform.archiver = [this, result](const ArchiveRequest&) {
      archiveExistedAtCall = fileExistsAt(out(kArchiveName));
      return result;
    };
  }

  MessageRequest overwriteQuestion() const {
    return {std::string(kArchiveName) +
                "はすでに存在しています。\r\nファイルを上書きしますか?\r\n"
                "(はいで上書き,いいえで追加圧縮,キャンセルで圧縮中止)",
            "上書き確認", MsgButtons::YesNoCancel, MsgIcon::Information, 1};
  }

  TempDir root;
  ConversionState state;
  ScriptedPlatform platform;
  bool archiveExistedAtCall = false;
};

bool sameRequest(const MessageRequest& a, const MessageRequest& b) {
  return a.text == b.text && a.title == b.title && a.buttons == b.buttons && a.icon == b.icon &&
         a.defaultButton == b.defaultButton;
}

TEST_F(PackArchiveTest, ListsBushoOnlyWhenThereIsNotExactlyOneDepartment) {
  const std::vector<std::string> three = {"kanjyo.csv", "hojokamoku.csv", "zandaka.csv"};
  std::vector<std::string> four = three;
  four.push_back("busho.csv");
  for (auto [count, expected] :
       std::vector<std::pair<int, std::vector<std::string>>>{{0, four}, {1, three}, {2, four}}) {
    departments(count);
    platform.archiveRequests.clear();
    fakeArchiver(0);
    EXPECT_TRUE(packArchive(state, platform, state.outputFolder)) << count;
    ASSERT_EQ(platform.archiveRequests.size(), 1u);
    EXPECT_EQ(platform.archiveRequests[0].members, expected) << count;
  }
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(PackArchiveTest, RequestNamesTheStampedArchiveInTheOutputFolder) {
  platform.clock = DateTime{{2027, 1, 2}, 3, 4, 5};
  fakeArchiver(0);

  ASSERT_TRUE(packArchive(state, platform, state.outputFolder));

  ASSERT_EQ(platform.archiveRequests.size(), 1u);
  const ArchiveRequest& r = platform.archiveRequests[0];
  EXPECT_EQ(r.archivePath, state.outputFolder + "/U123_output_20270102030405.zip");
  EXPECT_EQ(r.baseFolder, state.outputFolder + "/");
  EXPECT_EQ(r.mode, ArchiveMode::Replace);
  EXPECT_EQ(r.level, 9);
}

// Quotation marks and blanks once split the archiver's command line; now nothing parses it.
TEST_F(PackArchiveTest, AnyCharacterOfTheFolderPathWorks) {
  state.outputFolder = root.path() + "/\"引用\" @x -u 'a'";
  std::filesystem::create_directories(state.outputFolder);
  for (const char* name : {"kanjyo.csv", "hojokamoku.csv", "zandaka.csv", "busho.csv"})
    writeBytes(out(name), name);

  ASSERT_TRUE(packArchive(state, platform, state.outputFolder));

  EXPECT_EQ(readZip(out(kArchiveName)),
            (std::vector<Member>{{"kanjyo.csv", "kanjyo.csv", ZIP_CM_DEFLATE},
                                 {"hojokamoku.csv", "hojokamoku.csv", ZIP_CM_DEFLATE},
                                 {"zandaka.csv", "zandaka.csv", ZIP_CM_DEFLATE},
                                 {"busho.csv", "busho.csv", ZIP_CM_DEFLATE}}));
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(PackArchiveTest, ExistingArchiveIsReplacedOrAddedToAsAnswered) {
  struct Case {
    MsgResult answer;
    ArchiveMode mode;
  };
  for (const Case& c :
       {Case{MsgResult::Yes, ArchiveMode::Replace}, Case{MsgResult::No, ArchiveMode::Update}}) {
    writeBytes(out(kArchiveName), "old");
    platform.messages.clear();
    platform.archiveRequests.clear();
    platform.messageAnswers = {c.answer};
    fakeArchiver(0);

    EXPECT_TRUE(packArchive(state, platform, state.outputFolder));

    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(sameRequest(platform.messages[0], overwriteQuestion()));
    ASSERT_EQ(platform.archiveRequests.size(), 1u);
    EXPECT_EQ(platform.archiveRequests[0].mode, c.mode);
    // Even on Yes the old archive stays until the archiver has the new one complete.
    EXPECT_TRUE(archiveExistedAtCall);
  }
}

TEST_F(PackArchiveTest, FailedReplacementKeepsTheOldArchive) {
  writeBytes(out(kArchiveName), "old");
  platform.messageAnswers = {MsgResult::Yes};
  fakeArchiver(14);

  EXPECT_FALSE(packArchive(state, platform, state.outputFolder));

  EXPECT_EQ(readBytes(out(kArchiveName)), "old");
  EXPECT_EQ(platform.messages.back().text, "圧縮に失敗しました。Error Code:0xE");
}

TEST_F(PackArchiveTest, CancellingTheQuestionStopsWithoutPacking) {
  writeBytes(out(kArchiveName), "old");
  platform.messageAnswers = {MsgResult::Cancel};
  fakeArchiver(0);

  EXPECT_FALSE(packArchive(state, platform, state.outputFolder));

  EXPECT_TRUE(platform.archiveRequests.empty());
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_TRUE(sameRequest(platform.messages[1], {"圧縮をキャンセルしました。", "Failed",
                                                 MsgButtons::Ok, MsgIcon::Critical, 1}));
  EXPECT_EQ(readBytes(out(kArchiveName)), "old");
}

TEST_F(PackArchiveTest, ArchiverErrorIsShownAsSixteenBitHex) {
  for (auto [code, text] : std::vector<std::pair<int, std::string>>{
           {16, "10"}, {0x7FFF, "7FFF"}, {-1, "FFFF"}, {-32768, "8000"}, {-0x1235, "EDCB"}}) {
    platform.messages.clear();
    fakeArchiver(code);
    EXPECT_FALSE(packArchive(state, platform, state.outputFolder)) << code;
    ASSERT_EQ(platform.messages.size(), 1u) << code;
    EXPECT_TRUE(sameRequest(platform.messages[0], {"圧縮に失敗しました。Error Code:0x" + text,
                                                   "Failed", MsgButtons::Ok, MsgIcon::Critical, 1}))
        << platform.messages[0].text;
  }
}

TEST_F(PackArchiveTest, ResultBeyondSixteenBitsFailsWithoutMessage) {
  for (int code : {0x8000, 0x10000, -32769}) {
    fakeArchiver(code);
    EXPECT_FALSE(packArchive(state, platform, state.outputFolder)) << code;
  }
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(PackArchiveTest, ArchiveHoldsTheServiceFiles) {
  ASSERT_TRUE(packArchive(state, platform, state.outputFolder));

  EXPECT_EQ(
      readZip(out(kArchiveName)),
      (std::vector<Member>{{"kanjyo.csv", readBytes(out("kanjyo.csv")), ZIP_CM_DEFLATE},
                           {"hojokamoku.csv", readBytes(out("hojokamoku.csv")), ZIP_CM_DEFLATE},
                           {"zandaka.csv", readBytes(out("zandaka.csv")), ZIP_CM_DEFLATE},
                           {"busho.csv", readBytes(out("busho.csv")), ZIP_CM_DEFLATE}}));
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_TRUE(std::filesystem::is_empty(platform.temp));  // nothing outside the output folder
}

TEST_F(PackArchiveTest, SecondRunInTheSameSecondReplacesTheArchiveOnYes) {
  ASSERT_TRUE(packArchive(state, platform, state.outputFolder));
  writeBytes(out("kanjyo.csv"), "U123\r\nchanged\r\n");
  departments(1);
  platform.messageAnswers = {MsgResult::Yes};

  ASSERT_TRUE(packArchive(state, platform, state.outputFolder));

  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_TRUE(sameRequest(platform.messages[0], overwriteQuestion()));
  EXPECT_EQ(
      readZip(out(kArchiveName)),
      (std::vector<Member>{{"kanjyo.csv", "U123\r\nchanged\r\n", ZIP_CM_DEFLATE},
                           {"hojokamoku.csv", readBytes(out("hojokamoku.csv")), ZIP_CM_DEFLATE},
                           {"zandaka.csv", readBytes(out("zandaka.csv")), ZIP_CM_DEFLATE}}));
}

TEST_F(PackArchiveTest, MissingServiceFileIsReportedWithTheArchiverCode) {
  std::filesystem::remove(out("zandaka.csv"));

  EXPECT_FALSE(packArchive(state, platform, state.outputFolder));

  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text,
            "圧縮に失敗しました。Error Code:0x12\r\n" + out("zandaka.csv") +
                ": ファイルを読み込めません（ファイルまたはフォルダがありません: No such file or "
                "directory）");
  EXPECT_FALSE(fileExistsAt(out(kArchiveName)));
}

// The archive's own failure names the archive and the system's reason.
TEST_F(PackArchiveTest, ArchiveThatCannotBeWrittenIsNamedWithTheReason) {
  std::filesystem::create_directories(out(kArchiveName));

  const StepResult packed = packArchive(state, platform, state.outputFolder);
  EXPECT_FALSE(packed);

  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, "圧縮に失敗しました。Error Code:0xF\r\n" +
                                           out(kArchiveName) +
                                           ": 圧縮ファイルを書き込めません（フォルダです: Is a "
                                           "directory）");
  EXPECT_EQ(packed.error().file, out(kArchiveName));
}

TEST_F(PackArchiveTest, UserCodeThatIsNoPlainNameWritesNoArchive) {
  StepResult packed = StepResult::success();
  for (const char* code : {"../X", "/abs/X", "a/b", "a\x01b", ".."}) {
    state.ledraUserCode = code;
    fakeArchiver(0);
    packed = packArchive(state, platform, state.outputFolder);
    EXPECT_FALSE(packed) << code;
    EXPECT_TRUE(platform.archiveRequests.empty()) << code;
  }
  EXPECT_EQ(packed.error().describe(),
            "ユーザーコード「..」はファイル名に使えません（「/」「\\」、制御文字、「.」「..」"
            "だけのもの、長すぎるものは使えません）");
}

}  // namespace
}  // namespace ledra
