#include "gui/panel_widgets.hpp"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QWheelEvent>
#include <optional>

#include "wizard/mapping_presenter.hpp"

namespace ledra::gui {

namespace {

std::optional<RowKey> rowKey(const QKeyEvent* key) {
  const bool ctrl = key->modifiers().testFlag(Qt::ControlModifier);
  switch (key->key()) {
    case Qt::Key_Up:
      return RowKey::Up;
    case Qt::Key_Down:
      return RowKey::Down;
    case Qt::Key_PageUp:
      return RowKey::PageUp;
    case Qt::Key_PageDown:
      return RowKey::PageDown;
    case Qt::Key_Home:
      return ctrl ? std::optional(RowKey::First) : std::nullopt;
    case Qt::Key_End:
      return ctrl ? std::optional(RowKey::Last) : std::nullopt;
    default:
      return std::nullopt;
  }
}

}  // namespace

QString q(const std::string& text) { return QString::fromStdString(text); }

QLineEdit* rowBox(const QString& name, QWidget* parent, int width, bool display) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setFixedHeight(kRowHeight);
  if (width > 0) e->setFixedWidth(width);
  e->setMinimumWidth(20);
  e->setAutoFillBackground(true);
  if (display) {
    e->setReadOnly(true);
    // Display boxes can be clicked into to copy a text, but Tab passes them by.
    e->setFocusPolicy(Qt::ClickFocus);
  }
  return e;
}

QLabel* heading(const QString& text, QWidget* parent, const char* name, bool bold) {
  auto* l = new QLabel(text, parent);
  if (name) l->setObjectName(name);
  if (bold) {
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
  }
  return l;
}

QScrollBar* panelBar(const QString& name, QWidget* parent) {
  auto* b = new QScrollBar(Qt::Vertical, parent);
  b->setObjectName(name);
  b->setSingleStep(1);
  b->setPageStep(kPanelRows);
  return b;
}

QGridLayout* rowGrid() {
  auto* g = new QGridLayout;
  g->setContentsMargins(0, 0, 0, 0);
  g->setHorizontalSpacing(2);
  g->setVerticalSpacing(kRowSpacing);
  return g;
}

void setBox(QLineEdit* e, const TextBoxView& v) {
  const QString text = q(v.text);
  if (e->text() != text) {
    // While the user types, what the box removed or folded lies before the cursor: the
    // cursor keeps its distance from the end. Otherwise the text is shown from its start.
    const QString after = e->text().mid(e->cursorPosition());
    const bool typing = e->hasFocus() && !e->isReadOnly() && text.endsWith(after);
    e->setText(text);
    e->setCursorPosition(typing ? static_cast<int>(text.size() - after.size()) : 0);
  }
  const QString tip = q(v.toolTip);
  if (e->toolTip() != tip) e->setToolTip(tip);
}

void setBack(QLineEdit* e, const QColor& c) {
  QPalette p = e->palette();
  if (p.color(QPalette::Base) == c) return;
  p.setColor(QPalette::Base, c);
  e->setPalette(p);
}

void setTextColour(QWidget* w, const QColor& c) {
  if (w->palette().color(QPalette::WindowText) == c) return;
  QPalette p = w->palette();
  p.setColor(QPalette::WindowText, c);
  w->setPalette(p);
}

MappingPanel::MappingPanel(const char* name, MappingPresenter& presenter, Forward forward,
                           QWidget* parent)
    : QFrame(parent), presenter_(presenter), forward_(std::move(forward)) {
  setObjectName(name);
  setFrameShape(QFrame::NoFrame);
}

void MappingPanel::watchFixedControls() {
  installEventFilter(this);
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

void MappingPanel::watchRowControl(QWidget* w, int row) {
  rowOf_.insert(w, row);
  w->installEventFilter(this);
}

bool MappingPanel::rowEvent(QObject* /*watched*/, int /*row*/, QEvent* /*event*/) { return false; }

namespace {

bool isUndoKey(const QKeyEvent* e) {
  const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
  if (e->key() == Qt::Key_Z)
    return mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier);
  return e->key() == Qt::Key_Y && mods == Qt::ControlModifier;
}

}  // namespace

bool MappingPanel::showRows(int rows) {
  const int built = builtRows();
  for (int r = built; r < rows; ++r) addRow();
  if (rows == shownRows_) return false;
  shownRows_ = rows;
  for (int r = 0; r < builtRows(); ++r)
    for (QWidget* w : rowControls(r)) w->setVisible(r < rows);
  // The scroll bars run along the rows shown and page by them.
  for (const auto& [bar, column] : rowBars_) {
    bar->setPageStep(rows);
    grid_->removeWidget(bar);
    grid_->addWidget(bar, 2, column, rows, 1);
  }
  return rows > built;
}

void MappingPanel::followFocus(int serial, int row) {
  if (serial == focusSerial_) return;
  focusSerial_ = serial;
  if (row >= 0 && row < builtRows()) rowFocus(row)->setFocus(Qt::OtherFocusReason);
}

bool MappingPanel::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Wheel: {
      // Over any control of the panel, also those that would take the wheel themselves
      // (scroll bars, the combo box), the wheel moves the list one row.
      const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
      if (delta != 0) forward_([this, delta] { presenter_.wheel(delta); });
      return true;
    }
    case QEvent::ShortcutOverride:
      // Undo and redo are the screen's, not the code box's own text undo.
      if (rowOf_.contains(watched) && isUndoKey(static_cast<QKeyEvent*>(event))) {
        event->ignore();
        return true;
      }
      return false;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::KeyPress:
      break;
    default:
      return false;
  }
  const auto found = rowOf_.constFind(watched);
  if (found == rowOf_.constEnd()) return false;
  const int r = found.value();
  if (event->type() == QEvent::KeyPress) {
    if (const std::optional<RowKey> step = rowKey(static_cast<QKeyEvent*>(event))) {
      const RowKey k = *step;
      forward_([this, r, k] { presenter_.pressRowKey(r, k); });
      return true;
    }
  }
  return rowEvent(watched, r, event);
}

}  // namespace ledra::gui
