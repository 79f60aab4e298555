#pragma once

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
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildWelcome();
  void renderNextButton();
  void applyLayout(const WindowLayout& layout);
  void showPicture();
  void renderOutputFolderButton();

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
};

}  // namespace ledra::gui
