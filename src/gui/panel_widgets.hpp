#pragma once

#include <QColor>
#include <QFrame>
#include <QHash>
#include <QString>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "matching/panel_rows.hpp"

class QEvent;
class QGridLayout;
class QLabel;
class QLineEdit;
class QScrollBar;

namespace ledra {
class MappingPresenter;
}

namespace ledra::gui {

inline constexpr int kRowHeight = 22;
inline constexpr int kRowSpacing = 2;
inline constexpr int kRowPitch = kRowHeight + kRowSpacing;

// The colours that show a row's state; the logic below the windows knows states only.
inline const QColor kDoneBack{192, 255, 255};       // light cyan: the row needs nothing more
inline const QColor kAttentionBack{255, 192, 192};  // light red: the row needs attention
inline const QColor kUntouchedBack{255, 255, 255};  // a row never drawn yet
inline const QColor kWarningText{255, 0, 0};        // what still blocks 変換
inline const QColor kPlainText{0, 0, 0};

// Runs a presenter call, then has the screen render what it changed.
using Forward = std::function<void(const std::function<void()>&)>;

QString q(const std::string& text);
// A text box of a panel row; display boxes are read-only and Tab passes them by.
QLineEdit* rowBox(const QString& name, QWidget* parent, int width, bool display = true);
QLabel* heading(const QString& text, QWidget* parent, const char* name = nullptr,
                bool bold = false);
QScrollBar* panelBar(const QString& name, QWidget* parent);
QGridLayout* rowGrid();
// Shows a box's text and tool tip, keeping the cursor where the user types.
void setBox(QLineEdit* e, const TextBoxView& v);
void setBack(QLineEdit* e, const QColor& c);
void setTextColour(QWidget* w, const QColor& c);

// One of the mapping screen's panels. Its controls hand the wheel, and the keys that move
// through the rows, to the presenter; each panel handles its rows' own focus and key events.
class MappingPanel : public QFrame {
 public:
  MappingPanel(const char* name, MappingPresenter& presenter, Forward forward, QWidget* parent);

  // Builds rows up to `rows`, shows the first `rows` and hides the others; true when rows were
  // built, so that the tab order is chained again.
  bool showRows(int rows);
  int shownRows() const { return shownRows_; }
  // The controls Tab goes through, in order.
  virtual QList<QWidget*> tabChain() const = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // A focus or key event of row `row`'s control (the keys that move through the rows are
  // handled already); true when it was used up.
  virtual bool rowEvent(QObject* watched, int row, QEvent* event);
  // The panel's fixed controls and the frame itself take the wheel too.
  void watchFixedControls();
  void watchRowControl(QWidget* w, int row);
  // The rows built so far, building one more, and the controls of one.
  virtual int builtRows() const = 0;
  virtual void addRow() = 0;
  virtual std::vector<QWidget*> rowControls(int row) const = 0;
  // The control of a row that takes the focus when the view puts it there.
  virtual QWidget* rowFocus(int row) const = 0;
  // Moves the focus to the row when the view asks anew (a serial not seen before).
  void followFocus(int serial, int row);

  QGridLayout* grid_ = nullptr;
  // The scroll bars beside the rows, each with its grid column.
  std::vector<std::pair<QScrollBar*, int>> rowBars_;

  MappingPresenter& presenter_;
  Forward forward_;
  int shownRows_ = 0;

 private:
  int focusSerial_ = 0;
  QHash<QObject*, int> rowOf_;
};

}  // namespace ledra::gui
