#include "gui/qt_platform.hpp"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStandardPaths>
#include <QUrl>

#include "gui/input_data.hpp"
#include "wizard/conv_select_presenter.hpp"

namespace ledra::gui {

namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

// Message texts use CR LF, as the files do.
QString messageText(const std::string& text) {
  QString t = q(text);
  t.replace("\r\n", "\n");
  return t;
}

// What a message box needs beside its text: margins, the icon and the space after it.
constexpr int kMessageChromeWidth = 110;

// Where a message line may end: after punctuation, a blank or a path separator, and between a
// run of ASCII (a path, a file name) and Japanese text, unless closing punctuation follows.
bool breakAfter(const QString& line, qsizetype i) {
  static const QString kAfter = QStringLiteral("、。，．）」』】：　 /\\,;:)]");
  static const QString kNeverFirst = QStringLiteral("、。，．）」』】：ー・っゃゅょッャュョ");
  const QChar c = line[i];
  const QChar next = line[i + 1];
  if (kNeverFirst.contains(next)) return false;
  if (kAfter.contains(c)) return true;
  if (c.isHighSurrogate()) return false;
  return (c.unicode() < 0x80) != (next.unicode() < 0x80);
}

// The widest prefix of text that fits, at least one character (a surrogate pair whole).
qsizetype fittingPrefix(const QString& text, const QFontMetrics& metrics, int maxWidth) {
  qsizetype n = 0;
  while (n < text.size()) {
    const qsizetype step = text[n].isHighSurrogate() && n + 1 < text.size() ? 2 : 1;
    if (n > 0 && metrics.horizontalAdvance(text.left(n + step)) > maxWidth) break;
    n += step;
  }
  return n;
}

// A box without a title shows the program's name, as the system's boxes do.
QString titleOrProgram(const std::string& title) {
  return title.empty() ? QString::fromUtf8(kProgramCaption) : q(title);
}

QMessageBox::Icon toQtIcon(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Information:
      return QMessageBox::Information;
    case MsgIcon::Question:
      return QMessageBox::Question;
    case MsgIcon::Exclamation:
      return QMessageBox::Warning;
    case MsgIcon::Critical:
      return QMessageBox::Critical;
    case MsgIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

// Room for the places list's names ("コンピュータ") beside the files.
void widenPlaces(QFileDialog& dialog) {
  dialog.resize(680, 420);
  if (auto* splitter = dialog.findChild<QSplitter*>("splitter")) splitter->setSizes({150, 530});
}

}  // namespace

QString toQtFilter(const std::string& filter) {
  const QStringList parts = q(filter).split('|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    patterns = patterns.simplified();
    // A label that already ends with its patterns ("CSVファイル(*.csv)") is taken as it is.
    if (parts[i].endsWith("(" + patterns + ")"))
      out << parts[i];
    else
      out << parts[i] + " (" + patterns + ")";
  }
  return out.join(";;");
}

QString wrapAtNaturalPoints(const QString& text, const QFontMetrics& metrics, int maxWidth) {
  QStringList out;
  for (const QString& line : QString(text).replace("\r\n", "\n").split('\n')) {
    QStringList pieces;  // each ends where the line may be broken
    qsizetype start = 0;
    for (qsizetype i = 0; i + 1 < line.size(); ++i) {
      if (!breakAfter(line, i)) continue;
      pieces << line.mid(start, i + 1 - start);
      start = i + 1;
    }
    pieces << line.mid(start);
    QString current;
    for (QString piece : pieces) {
      if (metrics.horizontalAdvance(current + piece) <= maxWidth) {
        current += piece;
        continue;
      }
      if (!current.isEmpty()) out << current;
      // Only a piece too long for any line (a very long folder name) is cut inside.
      while (metrics.horizontalAdvance(piece) > maxWidth) {
        const qsizetype n = fittingPrefix(piece, metrics, maxWidth);
        out << piece.left(n);
        piece = piece.mid(n);
      }
      current = piece;
    }
    out << current;
  }
  return out.join('\n');
}

MsgResult toMsgResult(int standardButton) {
  switch (standardButton) {
    case QMessageBox::Cancel:
      return MsgResult::Cancel;
    case QMessageBox::Yes:
    case QMessageBox::Save:
      return MsgResult::Yes;
    case QMessageBox::No:
    case QMessageBox::Discard:
      return MsgResult::No;
    default:
      return MsgResult::Ok;
  }
}

std::unique_ptr<QMessageBox> makeMessageBox(const MessageRequest& request, QWidget* parent) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setObjectName("MessageBox");
  box->setWindowTitle(titleOrProgram(request.title));
  box->setTextFormat(Qt::PlainText);
  // Qt would wrap Japanese between any two characters, even inside a word; the lines are
  // broken here at their natural points, narrow enough that Qt leaves them as they are.
  const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
  const int softLimit = screen ? std::min(screen->availableGeometry().width() / 2, 500) : 500;
  const auto* label = box->findChild<QLabel*>("qt_msgbox_label");
  box->setText(wrapAtNaturalPoints(q(request.text),
                                   label ? label->fontMetrics() : box->fontMetrics(),
                                   softLimit - kMessageChromeWidth));
  box->setIcon(toQtIcon(request.icon));
  struct Button {
    QMessageBox::StandardButton which;
    const char* text;  // the mnemonic works without Alt in a message box
  };
  std::vector<Button> buttons;
  switch (request.buttons) {
    case MsgButtons::Ok:
      buttons = {{QMessageBox::Ok, "OK"}};
      break;
    case MsgButtons::OkCancel:
      buttons = {{QMessageBox::Ok, "OK"}, {QMessageBox::Cancel, "キャンセル"}};
      break;
    case MsgButtons::YesNo:
      buttons = {{QMessageBox::Yes, "はい(&Y)"}, {QMessageBox::No, "いいえ(&N)"}};
      break;
    case MsgButtons::YesNoCancel:
      buttons = {{QMessageBox::Yes, "はい(&Y)"},
                 {QMessageBox::No, "いいえ(&N)"},
                 {QMessageBox::Cancel, "キャンセル"}};
      break;
    case MsgButtons::SaveDiscardCancel:
      buttons = {{QMessageBox::Save, "保存(&S)"},
                 {QMessageBox::Discard, "保存しない(&N)"},
                 {QMessageBox::Cancel, "キャンセル"}};
      break;
  }
  QMessageBox::StandardButtons all;
  for (const Button& b : buttons) all |= b.which;
  box->setStandardButtons(all);
  for (const Button& b : buttons) box->button(b.which)->setText(QString::fromUtf8(b.text));
  const size_t index = static_cast<size_t>(std::max(1, request.defaultButton)) - 1;
  box->setDefaultButton(buttons[std::min(index, buttons.size() - 1)].which);
  // Escape answers the way the box can be dismissed: Cancel, No, or the only button.
  if (all & QMessageBox::Cancel)
    box->setEscapeButton(QMessageBox::Cancel);
  else if (all & QMessageBox::No)
    box->setEscapeButton(QMessageBox::No);
  else
    box->setEscapeButton(QMessageBox::Ok);
  return box;
}

std::unique_ptr<QInputDialog> makeInputDialog(const InputRequest& request, QWidget* parent) {
  auto dialog = std::make_unique<QInputDialog>(parent);
  dialog->setObjectName("InputBox");
  dialog->setWindowTitle(titleOrProgram(request.title));
  dialog->setLabelText(messageText(request.prompt));
  dialog->setTextValue(q(request.defaultText));
  dialog->setInputMode(QInputDialog::TextInput);
  dialog->setOkButtonText("OK");
  dialog->setCancelButtonText("キャンセル");
  dialog->resize(360, dialog->sizeHint().height());
  return dialog;
}

std::unique_ptr<QFileDialog> makeFileDialog(const FileDialogRequest& request, bool save,
                                            QWidget* parent) {
  auto dialog = std::make_unique<QFileDialog>(parent, q(request.title), q(request.initialFolder));
  dialog->setObjectName(save ? "SaveFileDialog" : "OpenFileDialog");
  const QString filters = toQtFilter(request.filter);
  if (!filters.isEmpty()) {
    const QStringList list = filters.split(";;");
    dialog->setNameFilters(list);
    const qsizetype i = std::clamp<qsizetype>(request.filterIndex - 1, 0, list.size() - 1);
    dialog->selectNameFilter(list[i]);
  }
  if (save) {
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    // A name typed without an extension gets the first filter's, before the overwrite check,
    // so that the file is found again under the same filter.
    const QString first = q(request.filter).section('|', 1, 1).section(';', 0, 0);
    if (first.startsWith("*.") && first.size() > 2 && first.indexOf('*', 1) < 0)
      dialog->setDefaultSuffix(first.mid(2));
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, !request.options.overwritePrompt);
  } else {
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    // Qt's open dialog only ever returns existing files; without the option any name goes.
    dialog->setFileMode(request.options.fileMustExist ? QFileDialog::ExistingFile
                                                      : QFileDialog::AnyFile);
  }
  // Qt's dialogs never change the current folder, offer no read-only choice and only accept
  // folders that exist, so noChangeDir, hideReadOnly and pathMustExist hold by themselves.
  dialog->setLabelText(QFileDialog::Accept, save ? "保存" : "開く");
  dialog->setLabelText(QFileDialog::Reject, "キャンセル");
  dialog->setLabelText(QFileDialog::LookIn, "場所:");
  dialog->setLabelText(QFileDialog::FileName, "ファイル名:");
  dialog->setLabelText(QFileDialog::FileType, "ファイルの種類:");
  if (!request.fileName.empty()) dialog->selectFile(q(request.fileName));
  widenPlaces(*dialog);
  return dialog;
}

std::unique_ptr<QFileDialog> makeFolderDialog(const std::string& prompt, QWidget* parent) {
  auto dialog = std::make_unique<QFileDialog>(parent, q(prompt));
  dialog->setObjectName("FolderBrowser");
  dialog->setFileMode(QFileDialog::Directory);
  dialog->setOption(QFileDialog::ShowDirsOnly, true);
  dialog->setLabelText(QFileDialog::Accept, "選択");
  dialog->setLabelText(QFileDialog::Reject, "キャンセル");
  dialog->setLabelText(QFileDialog::LookIn, "場所:");
  dialog->setLabelText(QFileDialog::FileName, "フォルダー:");
  widenPlaces(*dialog);
  return dialog;
}

QtPlatform::QtPlatform() = default;

QtPlatform::~QtPlatform() {
  delete progress_.data();
  if (busy_) QGuiApplication::restoreOverrideCursor();
}

MsgResult QtPlatform::messageBox(const MessageRequest& request) {
  auto box = makeMessageBox(request, parent_);
  box->exec();
  // Escape and the close box count as the escape button.
  QAbstractButton* clicked = box->clickedButton() ? box->clickedButton() : box->escapeButton();
  return toMsgResult(clicked ? box->standardButton(clicked) : QMessageBox::Ok);
}

std::optional<std::string> QtPlatform::inputBox(const InputRequest& request) {
  auto dialog = makeInputDialog(request, parent_);
  if (dialog->exec() != QDialog::Accepted) return std::nullopt;
  return dialog->textValue().toStdString();
}

std::optional<std::string> QtPlatform::runFileDialog(const FileDialogRequest& request, bool save) {
  auto dialog = makeFileDialog(request, save, parent_);
  if (dialog->exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog->selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  return files.front().toStdString();
}

std::optional<std::string> QtPlatform::openFileDialog(const FileDialogRequest& request) {
  return runFileDialog(request, false);
}

std::optional<std::string> QtPlatform::saveFileDialog(const FileDialogRequest& request) {
  return runFileDialog(request, true);
}

std::string QtPlatform::browseFolder(const std::string& prompt) {
  return browseFolderFrom(prompt, {});
}

std::string QtPlatform::browseFolderFrom(const std::string& prompt,
                                         const std::string& startFolder) {
  auto dialog = makeFolderDialog(prompt, parent_);
  if (!startFolder.empty()) dialog->setDirectory(q(startFolder));
  if (dialog->exec() != QDialog::Accepted) return {};
  const QStringList folders = dialog->selectedFiles();
  return folders.isEmpty() ? std::string() : folders.front().toStdString();
}

std::string QtPlatform::documentsFolder() {
  const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return docs.isEmpty() ? PosixPlatform::documentsFolder() : docs.toStdString();
}

namespace {

QString settingsKey(RememberedFolder which) {
  switch (which) {
    case RememberedFolder::Master:
      return "folders/master";
    case RememberedFolder::Source:
      return "folders/source";
    case RememberedFolder::Output:
      return "folders/output";
    case RememberedFolder::SavedState:
      return "folders/savedState";
  }
  return "folders/other";
}

QSettings folderSettings() {
  return QSettings(QSettings::IniFormat, QSettings::UserScope, "ledra-convert", "folders");
}

}  // namespace

std::string QtPlatform::rememberedFolder(RememberedFolder which) {
  const QSettings settings = folderSettings();
  return settings.value(settingsKey(which)).toString().toStdString();
}

void QtPlatform::rememberFolder(RememberedFolder which, const std::string& folder) {
  if (folder.empty()) return;
  QSettings settings = folderSettings();
  settings.setValue(settingsKey(which), q(folder));
}

bool QtPlatform::openInViewer(const std::string& path) {
  // A missing file would only give the user the desktop's own, less clear, error.
  if (!QFileInfo(q(path)).isFile()) return false;
  return QDesktopServices::openUrl(QUrl::fromLocalFile(q(path)));
}

void QtPlatform::setBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy)
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QGuiApplication::restoreOverrideCursor();
}

InputData& QtPlatform::progress() {
  if (!progress_) {
    progress_ = new InputData(parent_);
    if (progressShowDelayMs_ >= 0) progress_->setShowDelay(progressShowDelayMs_);
  }
  return *progress_;
}

void QtPlatform::progressShow() { progress().start(); }

void QtPlatform::progressHide() {
  // Unloaded, as the work closes it: the next run starts afresh.
  if (progress_) {
    progress_->hide();
    delete progress_.data();
  }
}

void QtPlatform::progressSetCaption(const std::string& caption) { progress().setTask(q(caption)); }
void QtPlatform::progressSetMax(int64_t max) { progress().setMaximum(max); }
void QtPlatform::progressSetValue(int64_t value) { progress().setValue(value); }

}  // namespace ledra::gui
