#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <cstdint>

class QProgressBar;

namespace ledra::gui {

// The progress window "進捗状況": one bar, driven while the work runs on this thread. It
// repaints itself as the values change (user input stays queued), a few times a second at
// most so that the import is not slowed down.
class InputData : public QDialog {
  Q_OBJECT
 public:
  explicit InputData(QWidget* parent = nullptr);

  void start();
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

  QProgressBar* bar_;
  int64_t max_ = 0;
  int64_t value_ = 0;
  QElapsedTimer sinceRepaint_;
};

}  // namespace ledra::gui
