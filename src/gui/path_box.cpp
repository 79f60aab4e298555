#include "gui/path_box.hpp"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace ledra::gui {

namespace {
// QLineEdit's own space between its frame and the text.
constexpr int kHorizontalMargin = 2;
}  // namespace

PathBox::PathBox(QWidget* parent) : QLineEdit(parent) {}

QRect PathBox::textRect() const {
  QStyleOptionFrame option;
  initStyleOption(&option);
  QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
  r = r.marginsRemoved(textMargins());
  return r.adjusted(kHorizontalMargin, 0, -kHorizontalMargin, 0);
}

QString PathBox::shownText() const {
  if (hasFocus()) return text();
  return fontMetrics().elidedText(text(), Qt::ElideMiddle, textRect().width());
}

void PathBox::paintEvent(QPaintEvent* event) {
  const QString shown = shownText();
  if (shown == text()) {
    QLineEdit::paintEvent(event);
    return;
  }
  QPainter painter(this);
  QStyleOptionFrame option;
  initStyleOption(&option);
  style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
  painter.drawText(textRect(), Qt::AlignLeft | Qt::AlignVCenter, shown);
}

}  // namespace ledra::gui
