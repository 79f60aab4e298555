#pragma once

#include "platform/platform.hpp"

namespace ledra {

// The parts of Platform that need no dialog: files, folders, the clock and the archiver.
// The GUI and the console derive from it and add the dialogs.
class PosixPlatform : public Platform {
 public:
  PosixPlatform() = default;
  PosixPlatform(const PosixPlatform&) = delete;
  PosixPlatform& operator=(const PosixPlatform&) = delete;
  ~PosixPlatform() override;

  bool fileExists(const std::string& path) override;
  bool folderExists(const std::string& path) override;
  std::string documentsFolder() override;
  std::string homeFolder() override;
  std::string tempFolder() override;
  DateTime now() override;
  ArchiveResult runArchive(const ArchiveRequest& request, PreparedMembers* prepared) override;

 private:
  std::string runTempFolder_;  // made on first use, removed with the platform
  int runTempLock_ = -1;       // held while the folder is in use
};

}  // namespace ledra
