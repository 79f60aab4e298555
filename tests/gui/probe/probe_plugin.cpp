// Loaded into the real program by the GUI tests (QT_QPA_GENERIC_PLUGINS=ledraprobe): waits
// for a visible window whose caption is $LEDRA_PROBE_TITLE, prints "found: CAPTION" and
// closes that window the way the close box does. Gives up after ten seconds.
#include <QApplication>
#include <QElapsedTimer>
#include <QGenericPlugin>
#include <QTimer>
#include <QWidget>
#include <cstdio>

class Probe : public QObject {
 public:
  Probe() {
    expected_ = qEnvironmentVariable("LEDRA_PROBE_TITLE");
    clock_.start();
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &Probe::look);
    timer_->start(50);
  }

 private:
  void look() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (!w->isVisible() || w->windowTitle() != expected_) continue;
      std::printf("found: %s %s\n", w->objectName().toUtf8().constData(),
                  w->windowTitle().toUtf8().constData());
      std::fflush(stdout);
      timer_->stop();  // the application deletes its plugins' objects itself
      w->close();
      return;
    }
    if (clock_.elapsed() > 10000) {
      std::printf("not found\n");
      std::fflush(stdout);
      QCoreApplication::exit(3);
    }
  }
  QTimer* timer_;
  QString expected_;
  QElapsedTimer clock_;
};

class ProbePlugin : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "probe.json")
 public:
  QObject* create(const QString&, const QString&) override { return new Probe; }
};

#include "probe_plugin.moc"
