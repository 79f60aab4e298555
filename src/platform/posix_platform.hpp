#pragma once

#include "platform/platform.hpp"

namespace ledra {

// The parts of Platform that need no dialog: files, folders, the clock and the archiver.
// The GUI and the console derive from it and add the dialogs.
class PosixPlatform : public Platform {
 public:
  bool fileExists(const std::string& path) override;
  bool folderExists(const std::string& path) override;
  std::string documentsFolder() override;
  std::string homeFolder() override;
  std::string tempFolder() override;
  DateTime now() override;
  int runArchiver(const std::string& commandLine) override;
  int runArchiverPrepared(const std::string& commandLine, PreparedMembers& prepared) override;
};

}  // namespace ledra
