#include "gui/file_settings_screen.hpp"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QUrl>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "gui/path_box.hpp"
#include "gui/widget_names.hpp"

namespace ledra::gui {

namespace {

constexpr int kRowHeight = 22;
constexpr int kBrowseWidth = 46;

QLabel* heading(const char* name, const char* text, QWidget* parent) {
  auto* l = new QLabel(QString::fromUtf8(text), parent);
  l->setObjectName(name);
  QFont f = l->font();
  f.setBold(true);
  l->setFont(f);
  return l;
}

QPushButton* browseButton(const QString& name, QWidget* parent) {
  auto* b = new QPushButton("参照", parent);
  b->setObjectName(name);
  b->setFixedSize(kBrowseWidth, kRowHeight);
  return b;
}

QLineEdit* pathBox(const QString& name, QWidget* parent) {
  auto* e = new PathBox(parent);
  e->setObjectName(name);
  // A dropped file goes to the screen, which finds its row, not into this box as text.
  e->setAcceptDrops(false);
  e->setFixedHeight(kRowHeight);
  return e;
}

// The local paths a drag carries; none for text or remote links.
std::vector<std::string> localPaths(const QMimeData* data) {
  std::vector<std::string> paths;
  if (!data || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
  return paths;
}

QGridLayout* tightGrid(QWidget* parent) {
  auto* g = new QGridLayout(parent);
  g->setContentsMargins(8, 4, 6, 6);
  g->setHorizontalSpacing(6);
  g->setVerticalSpacing(2);
  return g;
}

}  // namespace

FileSettingsScreen::FileSettingsScreen(FileSettingsPresenter& presenter, QWidget* parent)
    : QGroupBox("ファイル設定", parent), presenter_(presenter) {
  setObjectName("F_2ndStep");
  setAcceptDrops(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 2, 8, 4);
  layout->setSpacing(4);
  layout->addWidget(buildYayoiFrame());
  layout->addWidget(buildBlueFrame());
  auto* bottom = new QHBoxLayout;
  bottom->setSpacing(8);
  bottom->addWidget(buildResultFrame(), 1);
  bottom->addWidget(buildPatternFrame(), 1);
  layout->addLayout(bottom);
  layout->addStretch(1);

  // Tab order down the form: the file rows, the period, then the folder and the master.
  QWidget* previous = nullptr;
  auto chain = [&previous](QWidget* w) {
    if (previous) setTabOrder(previous, w);
    previous = w;
  };
  for (SourceFile file : kEverySourceFile) {
    if (!files_[file]) continue;  // a slot no row shows
    chain(files_[file]);
    chain(selectFile_[file]);
  }
  for (QLineEdit* p : period_) chain(p);
  chain(folder_);
  chain(selectFolder_);
  chain(master_);
  chain(selectMaster_);
}

QWidget* FileSettingsScreen::firstControl() const { return files_[SourceFile::AccountList]; }
QWidget* FileSettingsScreen::lastControl() const { return selectMaster_; }

void FileSettingsScreen::dragEnterEvent(QDragEnterEvent* event) {
  if (!localPaths(event->mimeData()).empty()) event->acceptProposedAction();
}

void FileSettingsScreen::dropEvent(QDropEvent* event) {
  const std::vector<std::string> paths = localPaths(event->mimeData());
  if (paths.empty()) return;
  event->acceptProposedAction();
  // After the drop has returned, so that a message shown meanwhile does not hold the program
  // the files came from.
  QMetaObject::invokeMethod(
      this,
      [this, paths] {
        presenter_.dropPaths(paths);
        render();
        emit readinessChanged();
      },
      Qt::QueuedConnection);
}

void FileSettingsScreen::addFileRows(QGridLayout* grid, SourcePackage package) {
  int row = 1;
  for (const SourceSlot& slot : packageProfileOrFirst(package).rows) addFileRow(grid, row++, slot);
}

void FileSettingsScreen::addFileRow(QGridLayout* grid, int row, const SourceSlot& slot) {
  const SourceFile file = slot.file;
  // The controls are numbered by the slot they fill.
  const int index = static_cast<int>(file);
  auto* l =
      new QLabel(QString::fromUtf8(slot.label.data(), static_cast<qsizetype>(slot.label.size())),
                 grid->parentWidget());
  l->setObjectName(arrayName("L_FileLabel", index));
  auto* box = pathBox(arrayName("T_FileName", index), grid->parentWidget());
  auto* button = browseButton(arrayName("B_SelectFile", index), grid->parentWidget());
  grid->addWidget(l, row, 0);
  grid->addWidget(box, row, 1);
  grid->addWidget(button, row, 2);
  files_[file] = box;
  selectFile_[file] = button;
  connect(box, &QLineEdit::textChanged, this, [this, file, box](const QString& text) {
    presenter_.setFileName(file, text.toStdString());
    box->setToolTip(QString::fromStdString(presenter_.view().fileNames[file]));
  });
  connect(button, &QPushButton::clicked, this, [this, file] {
    presenter_.clickSelectFile(file);
    render();
    emit readinessChanged();
  });
}

QGroupBox* FileSettingsScreen::buildYayoiFrame() {
  yayoi_ = new QGroupBox("変換元（弥生会計ファイル）", this);
  yayoi_->setObjectName("F_Input");
  auto* grid = tightGrid(yayoi_);
  grid->addWidget(heading("L_FileName", "弥生会計CSVファイル", yayoi_), 0, 0, 1, 3);
  addFileRows(grid, SourcePackage::Yayoi);
  grid->setColumnStretch(1, 1);
  return yayoi_;
}

QGroupBox* FileSettingsScreen::buildBlueFrame() {
  blue_ = new QGroupBox("変換元（ブルーリターンファイル）", this);
  blue_->setObjectName("F_Input_Blue");
  auto* grid = tightGrid(blue_);
  grid->addWidget(heading("L_FileName", "ブルーリターンファイル", blue_), 0, 0, 1, 3);
  addFileRows(grid, SourcePackage::BlueReturn);
  grid->setColumnStretch(1, 1);
  grid->addWidget(heading("Label1", "仕訳データ取込期間設定", blue_), 3, 0, 1, 3);

  auto* row = new QHBoxLayout;
  row->setSpacing(4);
  static constexpr const char* kNames[] = {"S_Year", "S_Mon", "S_Day", "E_Year", "E_Mon", "E_Day"};
  static constexpr const char* kUnits[] = {"年", "月", "日", "年", "月", "日"};
  for (size_t i = 0; i < 6; ++i) {
    if (i == 3) {
      auto* tilde = new QLabel("～", blue_);
      row->addSpacing(6);
      row->addWidget(tilde);
      row->addSpacing(6);
    }
    auto* box = new QLineEdit(blue_);
    box->setObjectName(kNames[i]);
    box->setAcceptDrops(false);
    box->setFixedSize(i % 3 == 0 ? 52 : 34, kRowHeight);
    box->setAlignment(Qt::AlignRight);
    box->setMaxLength(i % 3 == 0 ? 4 : 2);
    row->addWidget(box);
    row->addWidget(new QLabel(QString::fromUtf8(kUnits[i]), blue_));
    period_[i] = box;
    const auto field = static_cast<PeriodField>(i);
    connect(box, &QLineEdit::textChanged, this, [this, field](const QString& text) {
      presenter_.setPeriodText(field, text.toStdString());
    });
    // Enter in, or leaving, the month and day boxes runs the period rule.
    if (field == PeriodField::StartMonth || field == PeriodField::StartDay) {
      connect(box, &QLineEdit::editingFinished, this, [this] {
        presenter_.applyPeriod();
        render();
      });
    }
  }
  row->addStretch(1);
  grid->addLayout(row, 4, 0, 1, 3);

  tax_ = new QGroupBox("消費税対応", blue_);
  tax_->setObjectName("F_SZ");
  auto* taxRow = new QHBoxLayout(tax_);
  auto* on = new QRadioButton("する", tax_);
  on->setObjectName("SZ_OnOff_0");
  auto* off = new QRadioButton("しない", tax_);
  off->setObjectName("SZ_OnOff_1");
  off->setChecked(true);
  auto* simplified = new QCheckBox("簡易課税", tax_);
  simplified->setObjectName("SZ_KKZ");
  taxRow->addWidget(on);
  taxRow->addWidget(off);
  taxRow->addWidget(simplified);
  grid->addWidget(tax_, 5, 0, 1, 3);
  return blue_;
}

QGroupBox* FileSettingsScreen::buildResultFrame() {
  auto* frame = new QGroupBox("結果ファイルの保存先", this);
  frame->setObjectName("F_Result");
  auto* grid = tightGrid(frame);
  auto* label = new QLabel("出力先フォルダ名", frame);
  label->setObjectName("L_ForderLabel");
  folder_ = pathBox("T_ForderName", frame);
  selectFolder_ = browseButton("B_SelectForder", frame);
  grid->addWidget(label, 0, 0);
  grid->addWidget(folder_, 0, 1);
  grid->addWidget(selectFolder_, 0, 2);
  grid->setColumnStretch(1, 1);
  connect(folder_, &QLineEdit::textChanged, this, [this](const QString& text) {
    presenter_.setFolderName(text.toStdString());
    folder_->setToolTip(QString::fromStdString(presenter_.view().folderName));
  });
  connect(selectFolder_, &QPushButton::clicked, this, [this] {
    presenter_.clickSelectFolder();
    render();
    emit readinessChanged();
  });
  return frame;
}

QGroupBox* FileSettingsScreen::buildPatternFrame() {
  auto* frame = new QGroupBox("コンバートパターンファイル", this);
  frame->setObjectName("F_ConvPtn");
  auto* grid = tightGrid(frame);
  auto* label = new QLabel("結果ファイル名", frame);
  label->setObjectName("L_ConvF");
  master_ = pathBox("T_ConvF", frame);
  master_->setReadOnly(true);
  selectMaster_ = browseButton("B_ConvF", frame);  // has no action
  grid->addWidget(label, 0, 0);
  grid->addWidget(master_, 0, 1);
  grid->addWidget(selectMaster_, 0, 2);
  grid->setColumnStretch(1, 1);
  return frame;
}

void FileSettingsScreen::setText(QLineEdit* box, const std::string& text) {
  const QString t = QString::fromStdString(text);
  const QSignalBlocker block(box);
  // Only a real change is written, so that the caret stays where the user types; a path put
  // in by the program has the caret at its end, where the file name is.
  if (box->text() != t) {
    box->setText(t);
    box->setCursorPosition(static_cast<int>(t.size()));
  }
  box->setToolTip(t);
}

void FileSettingsScreen::render() {
  const FileSettingsView& v = presenter_.view();
  yayoi_->setVisible(v.yayoiInputVisible);
  blue_->setVisible(v.blueInputVisible);
  tax_->setVisible(v.taxOptionsVisible);
  for (SourceFile file : kEverySourceFile)
    if (files_[file]) setText(files_[file], v.fileNames[file]);
  setText(folder_, v.folderName);
  setText(master_, v.masterFile);
  for (size_t i = 0; i < period_.size(); ++i) {
    const QSignalBlocker block(period_[i]);
    const QString t = QString::fromStdString(v.period[i]);
    if (period_[i]->text() != t) period_[i]->setText(t);
  }
}

}  // namespace ledra::gui
