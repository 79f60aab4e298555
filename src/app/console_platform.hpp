#pragma once

#include <cstdio>
#include <string>

#include "platform/posix_platform.hpp"

namespace ledra {

// The command line's Platform: messages go to stdout (errors to stderr) in UTF-8, questions
// are answered with OK / Yes, dialogs are cancelled, and a progress bar is drawn on stderr
// when it is a terminal.
class ConsolePlatform : public PosixPlatform {
 public:
  ConsolePlatform(std::FILE* out = stdout, std::FILE* err = stderr);
  ~ConsolePlatform() override;

  MsgResult messageBox(const MessageRequest& request) override;
  std::optional<std::string> inputBox(const InputRequest& request) override;
  std::optional<std::string> openFileDialog(const FileDialogRequest& request) override;
  std::optional<std::string> saveFileDialog(const FileDialogRequest& request) override;
  std::string browseFolder(const std::string& prompt) override;
  void setBusy(bool) override {}
  void progressShow() override;
  void progressHide() override;
  void progressSetCaption(const std::string& caption) override;
  void progressSetMax(int64_t max) override;
  void progressSetValue(int64_t value) override;

 private:
  void drawProgress(bool force);
  void clearProgressLine();

  std::FILE* out_;
  std::FILE* err_;
  bool tty_ = false;
  bool progressVisible_ = false;
  bool lineDrawn_ = false;
  std::string caption_;
  int64_t max_ = 0;
  int64_t value_ = 0;
  int lastPercent_ = -1;
};

}  // namespace ledra
