#pragma once

#include <optional>
#include <string>

#include "platform/posix_platform.hpp"

namespace ledra::bench {

// Answers every question with OK, as the user confirming each change.
class AnsweringPlatform : public PosixPlatform {
 public:
  MsgResult messageBox(const MessageRequest& r) override {
    ++messages;
    lastText = r.text;
    if (r.buttons == MsgButtons::YesNo || r.buttons == MsgButtons::YesNoCancel)
      return MsgResult::Yes;
    return MsgResult::Ok;
  }
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
  int messages = 0;
  std::string lastText;  // of the last message, for a test's failure report
};

}  // namespace ledra::bench
