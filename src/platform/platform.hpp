#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/dates.hpp"

namespace ledra {

class PreparedMembers;

// SaveDiscardCancel answers Yes for 保存, No for 保存しない.
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, SaveDiscardCancel };
enum class MsgIcon { None, Information, Question, Exclamation, Critical };
enum class MsgResult { Ok, Cancel, Yes, No };

struct MessageRequest {
  std::string text;
  std::string title;
  MsgButtons buttons = MsgButtons::Ok;
  MsgIcon icon = MsgIcon::None;
  int defaultButton = 1;  // 1-based, as the message box counts its buttons
};

// What a file dialog insists on; each platform maps these to its own dialog.
struct FileDialogOptions {
  bool overwritePrompt = false;  // ask before replacing an existing file
  bool fileMustExist = false;
  bool pathMustExist = false;
  bool hideReadOnly = false;  // no "open read-only" choice
  bool noChangeDir = false;   // the process's current folder stays as it was
  bool operator==(const FileDialogOptions&) const = default;
};

struct FileDialogRequest {
  std::string title;
  std::string filter;  // "label|pattern|label|pattern"
  std::string initialFolder;
  std::string fileName;
  int filterIndex = 1;
  FileDialogOptions options;
  int maxFileSize = 260;
};

// What the archiver is to do, given as it is rather than as a command line, so that any
// character a file name may hold (blanks, quotation marks) is carried as it stands.
enum class ArchiveMode { Replace, Update };  // a new archive, or members added to an existing one
struct ArchiveRequest {
  std::string archivePath;
  std::string baseFolder;            // the members lie here
  std::vector<std::string> members;  // names under baseFolder, in archive order
  ArchiveMode mode = ArchiveMode::Replace;
  int level = 9;  // 0 stores, 1 to 9 deflate
};

// 0 on success, else the archiver's code; when the system refused something, which file and
// its errno.
struct ArchiveResult {
  int code = 0;
  int systemError = 0;
  std::string path;
};

// The folders the user last chose, remembered between runs where the platform can.
enum class RememberedFolder { Master, Source, Output, SavedState };

struct InputRequest {
  std::string prompt;
  std::string title;
  std::string defaultText;
};

// The one boundary to the outside world: everything that asks the user, looks at the disk,
// reads the clock or packs an archive goes through here.
class Platform {
 public:
  virtual ~Platform() = default;

  virtual MsgResult messageBox(const MessageRequest& request) = 0;
  // Empty optional when the box is cancelled.
  virtual std::optional<std::string> inputBox(const InputRequest& request) = 0;
  // Empty optional when the dialog is cancelled.
  virtual std::optional<std::string> openFileDialog(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> saveFileDialog(const FileDialogRequest& request) = 0;
  // Empty text when cancelled.
  virtual std::string browseFolder(const std::string& prompt) = 0;

  virtual bool fileExists(const std::string& path) = 0;
  virtual bool folderExists(const std::string& path) = 0;
  virtual std::string documentsFolder() = 0;
  // The user's home folder, under which a Windows package's default installation is looked for.
  virtual std::string homeFolder() = 0;
  virtual std::string tempFolder() = 0;

  virtual void setBusy(bool busy) = 0;

  // The progress dialog InputData.
  virtual void progressShow() = 0;
  virtual void progressHide() = 0;
  virtual void progressSetCaption(const std::string& caption) = 0;
  virtual void progressSetMax(int64_t max) = 0;
  virtual void progressSetValue(int64_t value) = 0;

  virtual DateTime now() = 0;

  // Packs the archive; members compressed ahead (prepared may be null) are used only where
  // the files still hold the bytes they were made from. The archive is complete and on the
  // disk when this returns success, and an earlier one is replaced only then.
  virtual ArchiveResult runArchive(const ArchiveRequest& request, PreparedMembers* prepared) = 0;

  // "" when nothing is remembered; platforms without user settings remember nothing.
  virtual std::string rememberedFolder(RememberedFolder which) {
    (void)which;
    return {};
  }
  virtual void rememberFolder(RememberedFolder which, const std::string& folder) {
    (void)which;
    (void)folder;
  }
  // The folder browser started at `startFolder` where the platform can.
  virtual std::string browseFolderFrom(const std::string& prompt, const std::string& startFolder) {
    (void)startFolder;
    return browseFolder(prompt);
  }

  // Opens the file in the system's default viewer for its kind; false when there is none to
  // open it with (the command line) or the file cannot be opened.
  virtual bool openInViewer(const std::string& path) {
    (void)path;
    return false;
  }

  // Convenience for the common case.
  MsgResult message(const std::string& text, const std::string& title = {},
                    MsgButtons buttons = MsgButtons::Ok, MsgIcon icon = MsgIcon::None,
                    int defaultButton = 1) {
    return messageBox(MessageRequest{text, title, buttons, icon, defaultButton});
  }
};

}  // namespace ledra
