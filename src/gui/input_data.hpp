#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <cstdint>

class QProgressBar;

namespace ledra::gui {

// The progress window "進捗状況": one bar, driven while the work runs on this thread. It
// repaints itself as the values change (user input stays queued), a few times a second at
// most so that the import is not slowed down. It appears only once the work has run for a
// moment: a short run, done before anyone could read the window, shows only the busy cursor
// instead of a window that flashes up and away.
class InputData : public QDialog {
  Q_OBJECT
 public:
  explicit InputData(QWidget* parent = nullptr);

  // Each step of a run starts the bar afresh; the delay counts from the run's first step.
  void start();
  // How long a run goes on before the window appears.
  void setShowDelay(int milliseconds) { showDelayMs_ = milliseconds; }
  void setTask(const QString& task);
  void setMaximum(int64_t max);
  void setValue(int64_t value);

  QProgressBar* bar() const { return bar_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void applyValue();
  void repaintNow();
  void showWhenDue();

  QProgressBar* bar_;
  int64_t max_ = 0;
  int64_t value_ = 0;
  QElapsedTimer sinceRepaint_;
  QElapsedTimer sinceStart_;
  int showDelayMs_;
};

}  // namespace ledra::gui
