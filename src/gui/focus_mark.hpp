#pragma once

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace ledra {

// Activating a window clears the keyboard focus mark; it is put back once the focus has settled,
// so a keyboard user always sees where Enter goes.
inline void keepFocusMark(QWidget* window, QEvent* event) {
  if (event->type() == QEvent::ActivationChange && window->isActiveWindow())
    QTimer::singleShot(0, window, [window] {
      window->setAttribute(Qt::WA_KeyboardFocusChange);
      window->update();
    });
}

}  // namespace ledra
