#pragma once

#include <QObject>
#include <memory>

#include "wizard/conv_select_presenter.hpp"
#include "wizard/main_presenter.hpp"

namespace ledra::gui {

class ConvSelectWindow;
class MainWindow;
class QtPlatform;

// Runs the forms: the start form, then the main form once a package is chosen or saved work
// is restored, and the end of the program when either form ends it.
class GuiController : public QObject {
  Q_OBJECT
 public:
  // qtPlatform, when given, is the same object as platform: dialogs get the window in front
  // as their owner.
  GuiController(ConversionState& state, Platform& platform, QtPlatform* qtPlatform = nullptr);
  ~GuiController() override;

  // Loads and shows the start form.
  void start();

  ConvSelectWindow* convSelect() const { return convSelect_.get(); }
  MainWindow* mainWindow() const { return main_.get(); }
  MainPresenter& mainPresenter() { return mainPresenter_; }
  bool finished() const { return finished_; }

 signals:
  void programEnded();

 private:
  void onStartAction(StartAction action);
  void openMain();
  void finish();

  ConversionState& state_;
  Platform& platform_;
  QtPlatform* qtPlatform_;
  ConvSelectPresenter startPresenter_;
  MainPresenter mainPresenter_;
  std::unique_ptr<ConvSelectWindow> convSelect_;
  std::unique_ptr<MainWindow> main_;
  bool finished_ = false;
};

// Name, icon and font of the program's windows; needs the application object.
void setUpApplication();

// The GUI program: the application object, the Qt platform and the start form.
int runGui(int argc, char** argv);

}  // namespace ledra::gui
