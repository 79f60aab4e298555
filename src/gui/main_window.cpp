#include "gui/main_window.hpp"

#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/file_settings_screen.hpp"
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

QString q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

MainWindow::MainWindow(MainPresenter& presenter, QWidget* parent)
    : QWidget(parent), presenter_(presenter) {
  setObjectName("Main");
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint);

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

void MainWindow::applyLayout(const WindowLayout& layout) {
  const int width = px(layout.formWidth) - kBorderWidth;
  const int height = px(layout.formHeight) - kBorderHeight;
  setFixedSize(width, height);

  // Buttons keep the layout's places, but never closer than the margin to the right edge.
  auto place = [width](QPushButton* b, int left, int top) {
    const int w = std::max(b->sizeHint().width(), 76);
    b->setGeometry(std::min(left, width - kMargin - w), top, w, kButtonHeight);
  };
  const int nextTop = px(layout.nextTop);
  place(exit_, px(layout.exitLeft), (kHeaderHeight - kButtonHeight) / 2 + 1);
  place(next_, px(layout.nextLeft), nextTop);
  company_->setGeometry(kMargin, 0, std::min(px(layout.companyLabelWidth), exit_->x() - kMargin),
                        kHeaderHeight);
  if (layout.moveStatusSave) {
    const int w = std::max(statusSave_->sizeHint().width(), 110);
    statusSave_->setGeometry(std::min(px(layout.statusSaveLeft), next_->x() - 8 - w),
                             px(layout.statusSaveTop), w, kButtonHeight);
  }
  // Its design place lies outside the smaller forms: it is only seen on the mapping screen.
  statusSave_->setVisible(layout.moveStatusSave);

  const QRect steps(kMargin, kHeaderHeight, width - 2 * kMargin, nextTop - 4 - kHeaderHeight);
  firstStep_->setGeometry(steps);
  secondStep_->setGeometry(steps);
  thirdStep_->setGeometry(steps);
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
  applyLayout(v.layout);
  renderOutputFolderButton();
  secondStep_->render();
  if (v.thirdStepVisible) thirdStep_->render(v.packageLabel);
  renderNextButton();
}

void MainWindow::renderOutputFolderButton() {
  // Beside 作業状態を保存, so a failed 変換 can be tried again elsewhere without losing the work.
  const MainView& v = presenter_.view();
  outputFolder_->setVisible(v.outputFolderVisible);
  outputFolder_->setToolTip("出力先: " + q(v.outputFolder));
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

}  // namespace ledra::gui
