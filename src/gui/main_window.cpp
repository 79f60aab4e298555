#include "gui/main_window.hpp"

#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

#include "gui/file_settings_screen.hpp"
#include "gui/focus_mark.hpp"
#include "gui/mapping_screen.hpp"
#include "gui/widget_names.hpp"

namespace ledra::gui {

namespace {

constexpr int kTwipsPerPixel = 15;
// The layouts give the outer size of the form; the frame and title bar take this much.
constexpr int kBorderWidth = 4;
constexpr int kBorderHeight = 30;
constexpr int kMargin = 8;
constexpr int kHeaderHeight = 32;
constexpr int kButtonHeight = 25;

int px(int twips) { return twips / kTwipsPerPixel; }

// The mapping screen's size, place and maximised state between runs.
QSettings windowSettings() {
  return QSettings(QSettings::IniFormat, QSettings::UserScope, "ledra-convert", "window");
}
constexpr const char* kMappingGeometryKey = "mapping/geometry";

QString q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

MainWindow::MainWindow(MainPresenter& presenter, QWidget* parent)
    : QWidget(parent), presenter_(presenter) {
  setObjectName("Main");
  // The mapping screen can be made larger or maximised; the other screens keep their size.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
  // The focus is marked from the start, not only after the first Tab.
  setAttribute(Qt::WA_KeyboardFocusChange);

  company_ = new QLabel(this);
  company_->setObjectName("L_Company");
  QFont big = company_->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.15);
  company_->setFont(big);

  exit_ = new QPushButton("終了", this);
  exit_->setObjectName("B_Exit");
  next_ = new QPushButton(this);
  next_->setObjectName("B_Next");
  next_->setDefault(false);
  statusSave_ = new QPushButton("作業状態を保存", this);
  statusSave_->setObjectName("B_StatusSave");
  forceCsv_ = new QPushButton("強制CSV出力", this);
  forceCsv_->setObjectName("B_ToWriteCSV");
  forceCsv_->hide();
  outputFolder_ = new QPushButton("出力先を変更...", this);
  outputFolder_->setObjectName("B_OutputFolder");
  outputFolder_->hide();

  buildWelcome();
  secondStep_ = new FileSettingsScreen(presenter_.fileSettings(), this);
  thirdStep_ = new MappingScreen(presenter_.mapping(), this);

  connect(next_, &QPushButton::clicked, this, [this] {
    working_ = true;
    presenter_.clickNext();
    working_ = false;
    render();
  });
  connect(statusSave_, &QPushButton::clicked, this, [this] {
    presenter_.clickSave();
    render();
  });
  connect(outputFolder_, &QPushButton::clicked, this, [this] {
    presenter_.clickOutputFolder();
    render();
  });
  connect(exit_, &QPushButton::clicked, this, &QWidget::close);
  connect(secondStep_, &FileSettingsScreen::readinessChanged, this, &MainWindow::render);
  connect(thirdStep_, &MappingScreen::changed, this, &MainWindow::renderNextButton);
  connect(thirdStep_, &MappingScreen::rowsAdded, this, &MainWindow::chainTabOrder);

  // Enter presses the focused button, as Space does.
  for (QPushButton* b : findChildren<QPushButton*>()) b->setAutoDefault(true);
  // The wheel over the form's own buttons and label moves the visible panel too.
  for (QWidget* w : {static_cast<QWidget*>(company_), static_cast<QWidget*>(exit_),
                     static_cast<QWidget*>(next_), static_cast<QWidget*>(statusSave_)})
    w->installEventFilter(this);
  chainTabOrder();
}

void MainWindow::chainTabOrder() {
  setTabOrder(message_, secondStep_->firstControl());
  setTabOrder(secondStep_->lastControl(), thirdStep_->firstControl());
  setTabOrder(thirdStep_->lastControl(), outputFolder_);
  setTabOrder(outputFolder_, statusSave_);
  setTabOrder(statusSave_, next_);
  setTabOrder(next_, exit_);
}

void MainWindow::buildWelcome() {
  firstStep_ = new QGroupBox("ようこそ", this);
  firstStep_->setObjectName("F_1stStep");
  auto* row = new QHBoxLayout(firstStep_);
  row->setContentsMargins(10, 6, 10, 10);
  row->setSpacing(12);
  picture_ = new QLabel(firstStep_);
  picture_->setObjectName("Image1");
  picture_->setFixedSize(160, 200);
  row->addWidget(picture_, 0, Qt::AlignTop);
  message_ = new QPlainTextEdit(firstStep_);
  message_->setObjectName("T_Msg01");
  message_->setReadOnly(true);
  message_->setFrameShape(QFrame::NoFrame);
  message_->viewport()->setAutoFillBackground(false);
  message_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  message_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  message_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  row->addWidget(message_, 1);
}

void MainWindow::applyLayout(const WindowLayout& layout, bool resizable) {
  if (layout == shownLayout_) return;  // the user's size stays while the screen stays
  shownLayout_ = layout;
  const QSize design(px(layout.formWidth) - kBorderWidth, px(layout.formHeight) - kBorderHeight);
  if (!resizable) {
    setFixedSize(design);
  } else {
    setMinimumSize(design);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(design);
    // The size and place the user left the mapping screen in last time.
    if (!geometryRestored_) {
      geometryRestored_ = true;
      savedGeometry_ = windowSettings().value(kMappingGeometryKey).toByteArray();
      if (!savedGeometry_.isEmpty()) restoreGeometry(savedGeometry_);
      if (isVisible()) savedGeometry_.clear();
    }
  }
  // Its design place lies outside the smaller forms: it is only seen on the mapping screen.
  statusSave_->setVisible(layout.moveStatusSave);
  placeChildren();
}

void MainWindow::placeChildren() {
  const WindowLayout& layout = shownLayout_;
  if (layout.formWidth == 0) return;
  // Design distances from the right and bottom edges, kept as the window grows.
  const int dx = width() - (px(layout.formWidth) - kBorderWidth);
  const int dy = height() - (px(layout.formHeight) - kBorderHeight);
  const int w = width();
  // Buttons keep the layout's places, but never closer than the margin to the right edge.
  auto place = [w](QPushButton* b, int left, int top) {
    const int bw = std::max(b->sizeHint().width(), 76);
    b->setGeometry(std::min(left, w - kMargin - bw), top, bw, kButtonHeight);
  };
  const int nextTop = px(layout.nextTop) + dy;
  place(exit_, px(layout.exitLeft) + dx, (kHeaderHeight - kButtonHeight) / 2 + 1);
  place(next_, px(layout.nextLeft) + dx, nextTop);
  company_->setGeometry(
      kMargin, 0, std::min(px(layout.companyLabelWidth) + dx, exit_->x() - kMargin), kHeaderHeight);
  if (layout.moveStatusSave) {
    const int bw = std::max(statusSave_->sizeHint().width(), 110);
    statusSave_->setGeometry(std::min(px(layout.statusSaveLeft) + dx, next_->x() - 8 - bw),
                             px(layout.statusSaveTop) + dy, bw, kButtonHeight);
    placeOutputFolderButton();
  }
  const QRect steps(kMargin, kHeaderHeight, w - 2 * kMargin, nextTop - 4 - kHeaderHeight);
  firstStep_->setGeometry(steps);
  secondStep_->setGeometry(steps);
  thirdStep_->setGeometry(steps);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  placeChildren();
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // A window opened straight on the mapping screen is placed before it is shown; the place
  // remembered wins over that.
  if (!savedGeometry_.isEmpty() && !event->spontaneous()) {
    restoreGeometry(savedGeometry_);
    savedGeometry_.clear();
  }
}

void MainWindow::hideEvent(QHideEvent* event) {
  // Closing, or the program ending, hides the window: its size is kept for the next time.
  rememberGeometry();
  QWidget::hideEvent(event);
}

void MainWindow::wheelEvent(QWheelEvent* event) {
  // The buttons, the company label and the margins pass the wheel on to the form: it moves
  // the visible panel wherever the pointer is.
  if (thirdStep_->isVisible()) thirdStep_->wheel(event->angleDelta().y());
  event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Wheel) return QWidget::eventFilter(watched, event);
  wheelEvent(static_cast<QWheelEvent*>(event));
  return true;
}

void MainWindow::rememberGeometry() {
  if (!thirdStep_->isVisible()) return;
  QSettings settings = windowSettings();
  settings.setValue(kMappingGeometryKey, saveGeometry());
}

void MainWindow::showPicture() {
  // The sharp drawing for high-density screens; Qt would only stretch the small one.
  const qreal ratio = devicePixelRatioF();
  QPixmap pixmap(ratio > 1.0 ? ":/ledra/welcome@2x.png" : ":/ledra/welcome.png");
  if (ratio > 1.0) pixmap.setDevicePixelRatio(2.0);
  picture_->setPixmap(pixmap);
}

void MainWindow::render() {
  const MainView& v = presenter_.view();
  if (picture_->pixmap().isNull()) showPicture();
  const QSignalBlocker block(this);
  setWindowTitle(q(v.caption));
  company_->setText(q(v.companyLabel));
  {
    QString text = q(v.welcomeText);
    text.replace("\r\n", "\n");
    if (text.endsWith('\n')) text.chop(1);
    const QSignalBlocker b(message_);
    if (message_->toPlainText() != text) message_->setPlainText(text);
  }
  firstStep_->setVisible(v.firstStepVisible);
  secondStep_->setVisible(v.secondStepVisible);
  thirdStep_->setVisible(v.thirdStepVisible);
  forceCsv_->setVisible(v.forceCsvVisible);
  applyLayout(v.layout, v.thirdStepVisible);
  renderOutputFolderButton();
  secondStep_->render();
  if (v.thirdStepVisible) thirdStep_->render(v.packageLabel);
  renderNextButton();
  // A new screen puts the focus where the user goes on: 次へ on the welcome screen, the first
  // control of the file settings, the first code box of the mapping screen.
  QWidget* step = v.firstStepVisible    ? static_cast<QWidget*>(firstStep_)
                  : v.secondStepVisible ? static_cast<QWidget*>(secondStep_)
                  : v.thirdStepVisible  ? static_cast<QWidget*>(thirdStep_)
                                        : nullptr;
  if (step != shownStep_) {
    shownStep_ = step;
    if (step == firstStep_) next_->setFocus(Qt::OtherFocusReason);
    if (step == secondStep_) {
      // The first control the package shows (ブルーリターン hides the 弥生会計 rows).
      QWidget* w = secondStep_->firstControl();
      for (int i = 0;
           i < 100 && w && !(w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus));
           ++i)
        w = w->nextInFocusChain();
      if (w && secondStep_->isAncestorOf(w)) w->setFocus(Qt::OtherFocusReason);
    }
    if (step == thirdStep_) thirdStep_->entryControl()->setFocus(Qt::OtherFocusReason);
  }
}

void MainWindow::renderOutputFolderButton() {
  // Beside 作業状態を保存, so a failed 変換 can be tried again elsewhere without losing the work.
  const MainView& v = presenter_.view();
  outputFolder_->setVisible(v.outputFolderVisible);
  outputFolder_->setToolTip("出力先: " + q(v.outputFolder));
  placeOutputFolderButton();
}

void MainWindow::placeOutputFolderButton() {
  const int w = outputFolder_->sizeHint().width();
  outputFolder_->setGeometry(statusSave_->x() - 8 - w, statusSave_->y(), w, statusSave_->height());
}

void MainWindow::renderNextButton() {
  const MainView& v = presenter_.view();
  next_->setText(q(v.nextCaption));
  next_->setEnabled(v.nextEnabled);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (closing_) {
    event->accept();
    return;
  }
  // The progress window repaints during an import or output run; a close request that
  // arrives then waits for the user to ask again afterwards.
  if (working_) {
    event->ignore();
    return;
  }
  if (!presenter_.requestClose()) {
    event->ignore();
    return;
  }
  closing_ = true;
  event->accept();
  emit closed();
}

void MainWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  keepFocusMark(this, event);
}

}  // namespace ledra::gui
