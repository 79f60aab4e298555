#include "gui/input_data.hpp"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QProgressBar>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

namespace ledra::gui {

namespace {
constexpr int kRepaintIntervalMs = 50;
constexpr int kBarSteps = 1000;  // the bar counts in thousandths, whatever the row count
// Below half a second the work is over before the window could be read.
constexpr int kShowDelayMs = 500;
}  // namespace

InputData::InputData(QWidget* parent) : QDialog(parent), showDelayMs_(kShowDelayMs) {
  setObjectName("InputData");
  setWindowTitle("進捗状況");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 12, 12, 12);
  bar_ = new QProgressBar(this);
  bar_->setObjectName("ProgressBar");
  bar_->setRange(0, kBarSteps);
  bar_->setValue(0);
  bar_->setTextVisible(true);
  bar_->setFormat("%p%");
  layout->addWidget(bar_);
  setFixedSize(360, 52);
}

void InputData::start() {
  max_ = 0;
  value_ = 0;
  applyValue();
  if (!sinceStart_.isValid()) sinceStart_.start();
  showWhenDue();
  repaintNow();
}

void InputData::showWhenDue() {
  if (isVisible() || !sinceStart_.isValid() || sinceStart_.elapsed() < showDelayMs_) return;
  show();
  raise();
}

void InputData::setTask(const QString& task) {
  setWindowTitle(task);
  showWhenDue();
  repaintNow();
}

void InputData::setMaximum(int64_t max) {
  max_ = std::max<int64_t>(0, max);
  applyValue();
}

void InputData::setValue(int64_t value) {
  value_ = value;
  applyValue();
  if (!sinceRepaint_.isValid() || sinceRepaint_.elapsed() >= kRepaintIntervalMs) {
    showWhenDue();
    repaintNow();
  }
}

void InputData::applyValue() {
  const int64_t v = std::clamp<int64_t>(value_, 0, max_);
  const int steps = max_ > 0 ? static_cast<int>(v * kBarSteps / max_) : 0;
  if (bar_->value() != steps) bar_->setValue(steps);
}

void InputData::repaintNow() {
  // Paint and timers only: clicks and keys wait until the work is done.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  sinceRepaint_.restart();
}

void InputData::closeEvent(QCloseEvent* event) {
  // The work closes it; the user cannot.
  event->ignore();
}

void InputData::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) return;  // no cancelling half an import
  QDialog::keyPressEvent(event);
}

}  // namespace ledra::gui
