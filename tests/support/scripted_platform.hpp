#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/posix_platform.hpp"
#include "support/temp_dir.hpp"

namespace ledra::testing {

// A Platform for tests: records every message box and dialog, answers from a script, and
// uses the real file system (tests point it at temporary folders).
class ScriptedPlatform : public PosixPlatform {
 public:
  struct ProgressEvent {
    enum Kind { Show, Hide, Caption, Max, Value } kind;
    std::string caption;
    int64_t number = 0;
  };

  // Answers, taken in order. When a queue is empty: message boxes answer their default
  // button, dialogs and input boxes are cancelled.
  std::deque<MsgResult> messageAnswers;
  std::deque<std::optional<std::string>> openAnswers;
  std::deque<std::optional<std::string>> saveAnswers;
  std::deque<std::optional<std::string>> inputAnswers;
  std::deque<std::string> folderAnswers;

  // What happened.
  std::vector<MessageRequest> messages;
  std::vector<FileDialogRequest> openRequests;
  std::vector<FileDialogRequest> saveRequests;
  std::vector<InputRequest> inputRequests;
  std::vector<std::string> folderPrompts;
  std::vector<std::string> folderStarts;  // browseFolderFrom's start folder, per prompt
  std::map<RememberedFolder, std::string> remembered;  // kept in memory only
  std::vector<ProgressEvent> progress;
  std::vector<ArchiveRequest> archiveRequests;
  int busyChanges = 0;
  bool busy = false;
  bool progressVisible = false;
  std::string progressCaption;
  int64_t progressMax = 0;
  int64_t progressValue = 0;
  bool recordProgressValues = false;  // values are many; keep only the last unless asked

  DateTime clock{{2026, 12, 8}, 10, 20, 30};
  std::string documents;  // documentsFolder(); a temporary folder by default
  std::string home;       // homeFolder(); a temporary folder by default
  std::string temp;       // tempFolder(); a temporary folder by default
  std::function<int(const ArchiveRequest&)> archiver;  // the real archiver when empty

  ScriptedPlatform();

  MsgResult messageBox(const MessageRequest& request) override;
  std::optional<std::string> inputBox(const InputRequest& request) override;
  std::optional<std::string> openFileDialog(const FileDialogRequest& request) override;
  std::optional<std::string> saveFileDialog(const FileDialogRequest& request) override;
  std::string browseFolder(const std::string& prompt) override;
  std::string browseFolderFrom(const std::string& prompt, const std::string& startFolder) override;
  std::string rememberedFolder(RememberedFolder which) override;
  void rememberFolder(RememberedFolder which, const std::string& folder) override;
  std::string documentsFolder() override { return documents; }
  std::string homeFolder() override { return home; }
  std::string tempFolder() override { return temp; }
  void setBusy(bool b) override;
  void progressShow() override;
  void progressHide() override;
  void progressSetCaption(const std::string& caption) override;
  void progressSetMax(int64_t max) override;
  void progressSetValue(int64_t value) override;
  DateTime now() override { return clock; }
  ArchiveResult runArchive(const ArchiveRequest& request, PreparedMembers* prepared) override;

  // The texts of all message boxes so far, in order.
  std::vector<std::string> messageTexts() const;

  // Files opened in the viewer; viewerOpens says whether it succeeds.
  std::vector<std::string> viewed;
  bool viewerOpens = true;
  bool openInViewer(const std::string& path) override {
    viewed.push_back(path);
    return viewerOpens;
  }
  const MessageRequest& lastMessage() const { return messages.back(); }

 private:
  TempDir ownDir_;
};

}  // namespace ledra::testing
