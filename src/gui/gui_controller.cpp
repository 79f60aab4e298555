#include "gui/gui_controller.hpp"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>

#include "gui/conv_select_window.hpp"
#include "gui/main_window.hpp"
#include "gui/qt_platform.hpp"
#include "state/conversion_state.hpp"

namespace ledra::gui {

namespace {

void centre(QWidget* w) {
  if (const QScreen* screen = w->screen())
    w->move(screen->availableGeometry().center() - w->rect().center());
}

}  // namespace

GuiController::GuiController(ConversionState& state, Platform& platform, QtPlatform* qtPlatform)
    : state_(state),
      platform_(platform),
      qtPlatform_(qtPlatform),
      startPresenter_(state, platform),
      mainPresenter_(state, platform) {}

GuiController::~GuiController() = default;

void GuiController::start() {
  startPresenter_.load();
  convSelect_ = std::make_unique<ConvSelectWindow>(startPresenter_,
                                                   [this](StartAction a) { onStartAction(a); });
  convSelect_->render();
  if (qtPlatform_) qtPlatform_->setDialogParent(convSelect_.get());
  centre(convSelect_.get());
  convSelect_->show();
}

void GuiController::onStartAction(StartAction action) {
  if (action == StartAction::OpenMain) {
    openMain();
  } else if (action == StartAction::Exit) {
    // With the main form open, the start form's 終了 asks what closing the main form asks.
    if (main_ && !mainPresenter_.requestClose()) return;
    finish();
  }
}

void GuiController::openMain() {
  convSelect_->hide();
  if (qtPlatform_) qtPlatform_->setDialogParent(nullptr);
  if (!mainPresenter_.load(startPresenter_.startMode())) {
    // Start-up abandoned: the program ends without a word.
    finish();
    return;
  }
  main_ = std::make_unique<MainWindow>(mainPresenter_);
  connect(main_.get(), &MainWindow::closed, this, &GuiController::finish);
  main_->render();
  if (qtPlatform_) qtPlatform_->setDialogParent(main_.get());
  centre(main_.get());
  main_->show();
}

void GuiController::finish() {
  if (finished_) return;
  finished_ = true;
  platform_.progressHide();
  if (qtPlatform_) qtPlatform_->setDialogParent(nullptr);
  if (main_) main_->hide();
  if (convSelect_) convSelect_->hide();
  emit programEnded();
  QCoreApplication::quit();
}

void setUpApplication() {
  QApplication::setApplicationName("ledra-convert");
  // No display name: the window system would append it to every title ("ようこそ — …").
  QApplication::setDesktopFileName("ledra-convert");
  QApplication::setWindowIcon(QIcon(":/ledra/icon.png"));
  // The forms end the program themselves (a dialog closing between forms must not).
  QApplication::setQuitOnLastWindowClosed(false);
  // Qt's own dialogs (file dialog, text box menus) speak Japanese like the rest of the program.
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), "qtbase", "_",
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(translator);
  QFont font("Noto Sans CJK JP");
  font.setPointSize(9);
  QApplication::setFont(font);
}

int runGui(int argc, char** argv) {
  QApplication app(argc, argv);
  setUpApplication();
  ConversionState state;
  QtPlatform platform;
  GuiController controller(state, platform, &platform);
  controller.start();
  if (controller.finished()) return 0;
  return QApplication::exec();
}

}  // namespace ledra::gui
