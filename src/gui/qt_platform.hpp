#pragma once

#include <QPointer>
#include <QString>
#include <memory>

#include "platform/posix_platform.hpp"

class QFileDialog;
class QFontMetrics;
class QInputDialog;
class QMessageBox;
class QWidget;

namespace ledra::gui {

class InputData;

// "label|pattern|label|pattern" as QFileDialog wants it: "label (pattern);;label (pattern)".
// A pattern list "*.csv;*.txt" becomes "*.csv *.txt".
QString toQtFilter(const std::string& filter);

// The dialogs of Platform as Qt widgets, built but not yet shown, so that the screenshots and
// the tests can look at exactly what the user would see.
std::unique_ptr<QMessageBox> makeMessageBox(const MessageRequest& request, QWidget* parent);
std::unique_ptr<QInputDialog> makeInputDialog(const InputRequest& request, QWidget* parent);
std::unique_ptr<QFileDialog> makeFileDialog(const FileDialogRequest& request, bool save,
                                            QWidget* parent);
std::unique_ptr<QFileDialog> makeFolderDialog(const std::string& prompt, QWidget* parent);
MsgResult toMsgResult(int standardButton);

// The text's lines (CR LF or LF), each broken further where it is wider than maxWidth: after
// punctuation, blanks and path separators, or between ASCII and Japanese text, never inside a
// word unless one word alone is wider than a line.
QString wrapAtNaturalPoints(const QString& text, const QFontMetrics& metrics, int maxWidth);

// The Platform of the GUI: Qt dialogs, the busy cursor and the InputData progress window.
// Files, folders, the clock and the archiver are the POSIX ones.
class QtPlatform : public PosixPlatform {
 public:
  QtPlatform();
  ~QtPlatform() override;

  // The window the dialogs belong to (none: centred on the screen).
  void setDialogParent(QWidget* parent) { parent_ = parent; }
  // How long a run goes on before its progress window appears (tests: 0, at once).
  void setProgressShowDelay(int milliseconds) { progressShowDelayMs_ = milliseconds; }

  MsgResult messageBox(const MessageRequest& request) override;
  std::optional<std::string> inputBox(const InputRequest& request) override;
  std::optional<std::string> openFileDialog(const FileDialogRequest& request) override;
  std::optional<std::string> saveFileDialog(const FileDialogRequest& request) override;
  std::string browseFolder(const std::string& prompt) override;
  std::string browseFolderFrom(const std::string& prompt, const std::string& startFolder) override;
  std::string documentsFolder() override;
  // In the user's settings (~/.config/ledra-convert/folders.ini).
  std::string rememberedFolder(RememberedFolder which) override;
  void rememberFolder(RememberedFolder which, const std::string& folder) override;

  // Through the desktop's own handler (QDesktopServices).
  bool openInViewer(const std::string& path) override;

  void setBusy(bool busy) override;

  void progressShow() override;
  void progressHide() override;
  void progressSetCaption(const std::string& caption) override;
  void progressSetMax(int64_t max) override;
  void progressSetValue(int64_t value) override;

 private:
  std::optional<std::string> runFileDialog(const FileDialogRequest& request, bool save);
  InputData& progress();

  QPointer<QWidget> parent_;
  // Owned here, but a child of its window, which may go first.
  QPointer<InputData> progress_;
  bool busy_ = false;
  int progressShowDelayMs_ = -1;  // the window's own when negative
};

}  // namespace ledra::gui
