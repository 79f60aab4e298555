#include "gui/conv_select_window.hpp"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/focus_mark.hpp"
#include "gui/widget_names.hpp"

namespace ledra::gui {

ConvSelectWindow::ConvSelectWindow(ConvSelectPresenter& presenter,
                                   std::function<void(StartAction)> onAction, QWidget* parent)
    : QWidget(parent), presenter_(presenter), onAction_(std::move(onAction)) {
  setObjectName("ConvSelect");
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint);
  // The focus is marked from the start, not only after the first Tab.
  setAttribute(Qt::WA_KeyboardFocusChange);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 14, 16, 14);
  layout->setSpacing(10);

  message_ = new QLabel(this);
  message_->setObjectName("L_Mes");
  layout->addWidget(message_);

  pattern_ = new QGroupBox(this);
  pattern_->setObjectName("F_Pattern");
  auto* grid = new QGridLayout(pattern_);
  grid->setContentsMargins(12, 12, 12, 12);
  grid->setSpacing(8);
  for (int i = 0; i < 4; ++i) {
    auto* b = new QPushButton(pattern_);
    b->setObjectName(arrayName("B_Ptn", i));
    b->setMinimumHeight(36);
    grid->addWidget(b, i / 2, i % 2);
    connect(b, &QPushButton::clicked, this, [this, i] { onAction_(presenter_.clickPackage(i)); });
    packages_[static_cast<size_t>(i)] = b;
  }
  layout->addWidget(pattern_);

  auto* row = new QHBoxLayout;
  continue_ = new QPushButton(this);
  continue_->setObjectName("B_Continue");
  exit_ = new QPushButton(this);
  exit_->setObjectName("B_Exit");
  row->addWidget(continue_);
  row->addStretch(1);
  row->addWidget(exit_);
  layout->addLayout(row);
  connect(continue_, &QPushButton::clicked, this,
          [this] { onAction_(presenter_.clickContinue()); });
  connect(exit_, &QPushButton::clicked, this, [this] { onAction_(presenter_.clickExit()); });

  setTabOrder(packages_[0], packages_[1]);
  setTabOrder(packages_[1], continue_);
  setTabOrder(continue_, exit_);
  // Enter presses the focused button, as Space does; the first package has the focus.
  for (QPushButton* b : findChildren<QPushButton*>()) b->setAutoDefault(true);
  packages_[0]->setFocus(Qt::OtherFocusReason);
  setFixedSize(400, 220);
}

void ConvSelectWindow::render() {
  const ConvSelectView& v = presenter_.view();
  const QSignalBlocker block(this);
  setWindowTitle(QString::fromStdString(v.caption));
  message_->setText(QString::fromStdString(v.message));
  for (size_t i = 0; i < packages_.size(); ++i) {
    packages_[i]->setText(QString::fromStdString(v.packageLabels[i]));
    packages_[i]->setEnabled(v.packageEnabled[i]);
  }
  continue_->setText(QString::fromStdString(v.continueCaption));
  exit_->setText(QString::fromStdString(v.exitCaption));
}

void ConvSelectWindow::closeEvent(QCloseEvent* event) {
  // The close box is the same as 終了 while the start form is the window in front.
  if (isVisible()) onAction_(StartAction::Exit);
  event->accept();
}

void ConvSelectWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  keepFocusMark(this, event);
}

}  // namespace ledra::gui
