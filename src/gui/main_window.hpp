#pragma once

#include <QByteArray>
#include <QWidget>

#include "wizard/main_presenter.hpp"

class QFrame;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace ledra::gui {

class FileSettingsScreen;
class MappingScreen;

// The main form Main: the company label, the three step frames, 次へ / 終了 / 作業状態を保存.
// Renders the main presenter's view, sized and placed from its layout, and forwards events.
class MainWindow : public QWidget {
  Q_OBJECT
 public:
  explicit MainWindow(MainPresenter& presenter, QWidget* parent = nullptr);

  void render();

  // The frame F_3rdStep with its panels F_Conv, F_Hojo, F_Bumon and the picker.
  MappingScreen* mappingStep() const { return thirdStep_; }

 signals:
  // The form closed after the user agreed; the application ends.
  void closed();

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildWelcome();
  void renderNextButton();
  void applyLayout(const WindowLayout& layout, bool resizable);
  // Places the buttons and the step frames at the window's present size, each kept at its
  // design distance from the right and bottom edges.
  void placeChildren();
  void chainTabOrder();
  void rememberGeometry();
  void showPicture();
  void renderOutputFolderButton();
  void placeOutputFolderButton();

  MainPresenter& presenter_;
  QLabel* company_;
  QPushButton* exit_;
  QPushButton* next_;
  QPushButton* statusSave_;
  QPushButton* forceCsv_;
  QPushButton* outputFolder_;
  QGroupBox* firstStep_ = nullptr;
  QPlainTextEdit* message_ = nullptr;
  QLabel* picture_ = nullptr;
  FileSettingsScreen* secondStep_ = nullptr;
  MappingScreen* thirdStep_ = nullptr;
  bool closing_ = false;
  bool working_ = false;
  WindowLayout shownLayout_;
  QWidget* shownStep_ = nullptr;
  bool geometryRestored_ = false;
  QByteArray savedGeometry_;  // applied again when the window is first shown
};

}  // namespace ledra::gui
