#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "import/account_master.hpp"
#include "import/classification.hpp"
#include "platform/platform.hpp"
#include "state/conversion_state.hpp"

namespace ledra::fuzz {

// A platform that asks nobody and shows nothing; files are the real ones.
class QuietPlatform : public Platform {
 public:
  MsgResult messageBox(const MessageRequest&) override { return MsgResult::Ok; }
  std::optional<std::string> inputBox(const InputRequest&) override { return std::nullopt; }
  std::optional<std::string> openFileDialog(const FileDialogRequest&) override {
    return std::nullopt;
  }
  std::optional<std::string> saveFileDialog(const FileDialogRequest&) override {
    return std::nullopt;
  }
  std::string browseFolder(const std::string&) override { return {}; }
  bool fileExists(const std::string& path) override {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
  }
  bool folderExists(const std::string& path) override {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
  }
  std::string documentsFolder() override { return scratchFolder(); }
  std::string homeFolder() override { return scratchFolder(); }
  std::string tempFolder() override { return scratchFolder(); }
  void setBusy(bool) override {}
  void progressShow() override {}
  void progressHide() override {}
  void progressSetCaption(const std::string&) override {}
  void progressSetMax(int64_t) override {}
  void progressSetValue(int64_t) override {}
  DateTime now() override { return DateTime{}; }
  ArchiveResult runArchive(const ArchiveRequest&, PreparedMembers*) override { return {}; }

  // A folder of this process's own, made on first use.
  static const std::string& scratchFolder() {
    static const std::string folder = [] {
      const auto dir =
          std::filesystem::temp_directory_path() / ("ledra-fuzz-" + std::to_string(::getpid()));
      std::filesystem::create_directories(dir);
      return dir.string();
    }();
    return folder;
  }
};

// Writes the input to a file of the scratch folder and gives its path.
inline std::string inputFile(const uint8_t* data, size_t size, const char* name) {
  const std::string path = QuietPlatform::scratchFolder() + "/" + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return path;
}

inline std::string_view asText(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

inline std::string examplesFolder() { return std::string(LEDRA_SOURCE_DIR) + "/examples/"; }

// A state holding the example master, for the given package.
inline ConversionState withExampleMaster(SourcePackage package) {
  ConversionState s;
  (void)loadStandardAccountMaster(s, examplesFolder() + "ledra_master.csv", nullptr);
  s.sourcePackage = package;
  return s;
}

// The classification ブルーリターンＡ's account file is followed by; stops at the first refusal.
inline bool classifyAll(ConversionState& s, Platform& platform) {
  for (ReportKind kind :
       {ReportKind::DepartmentList, ReportKind::AccountList, ReportKind::TrialBalance,
        ReportKind::SubAccountList, ReportKind::SubAccountBalances})
    if (!classifyImport(s, platform, kind)) return false;
  return true;
}

// Every slip is written, so that the journal writer's whole record is reached.
inline void writeEverySlip(ConversionState& s) {
  s.ledraUserCode = "S0001234";
  for (WorkAccount& a : s.workAccounts) a.valid = true;
  for (WorkAccountBalance& b : s.workAccountBalances) b.processed = true;
  s.outputFolder = QuietPlatform::scratchFolder();
}

}  // namespace ledra::fuzz
