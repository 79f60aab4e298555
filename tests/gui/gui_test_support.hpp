#pragma once

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>
#include <stdexcept>
#include <string>

namespace ledra::testing {

// The one application object of the GUI tests.
inline QApplication& guiApplication() {
  static int argc = 1;
  static char name[] = "test_gui";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    auto* a = new QApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // The windows remember their size in the user's settings: the tests keep theirs apart.
    static QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    return a;
  }();
  return *app;
}

// The control called name inside window; fails the test when there is none.
template <class T>
T* control(QWidget* window, const char* name) {
  T* w = window->findChild<T*>(QString::fromLatin1(name));
  if (!w) throw std::runtime_error(std::string("no control ") + name);
  return w;
}

inline std::string text(const QString& s) { return s.toStdString(); }

}  // namespace ledra::testing
