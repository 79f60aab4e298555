#pragma once

#include <QLineEdit>

namespace ledra::gui {

// A text box for a path. While the user is not typing in it, a path too long for the box shows
// its start and its end with "…" between, so the file name can be read; the whole path is in
// the tool tip, and typing works on the whole text as in any text box.
class PathBox : public QLineEdit {
  Q_OBJECT
 public:
  explicit PathBox(QWidget* parent = nullptr);

  // What the box shows now.
  QString shownText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QRect textRect() const;
};

}  // namespace ledra::gui
