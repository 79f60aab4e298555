#pragma once

#include <QWidget>
#include <functional>

#include "wizard/main_presenter.hpp"

class QFrame;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace ledra::gui {

class FileSettingsScreen;

// The main form Main: the company label, the three step frames, 次へ / 終了 / 作業状態を保存.
// Renders the main presenter's view, sized and placed from its layout, and forwards events.
class MainWindow : public QWidget {
  Q_OBJECT
 public:
  explicit MainWindow(MainPresenter& presenter, QWidget* parent = nullptr);

  void render();

  // The frame F_3rdStep and its three panel frames (F_Conv, F_Hojo, F_Bumon): the mapping
  // screen's panels are put into these.
  QGroupBox* mappingStep() const { return thirdStep_; }
  QFrame* accountPanel() const { return accountPanel_; }
  QFrame* subAccountPanel() const { return subAccountPanel_; }
  QFrame* departmentPanel() const { return departmentPanel_; }

  // Called after the mapping screen's own render, when the main view may have changed.
  void setMappingRenderer(std::function<void()> renderer) { renderMapping_ = std::move(renderer); }

 signals:
  // The form closed after the user agreed; the application ends.
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildWelcome();
  void buildMapping();
  void applyLayout(const WindowLayout& layout);
  void showPicture();

  MainPresenter& presenter_;
  QLabel* company_;
  QPushButton* exit_;
  QPushButton* next_;
  QPushButton* statusSave_;
  QPushButton* forceCsv_;
  QGroupBox* firstStep_ = nullptr;
  QPlainTextEdit* message_ = nullptr;
  QLabel* picture_ = nullptr;
  FileSettingsScreen* secondStep_ = nullptr;
  QGroupBox* thirdStep_ = nullptr;
  QLabel* packageLabel_ = nullptr;
  QFrame* accountPanel_ = nullptr;
  QFrame* subAccountPanel_ = nullptr;
  QFrame* departmentPanel_ = nullptr;
  std::function<void()> renderMapping_;
  bool closing_ = false;
  bool working_ = false;
};

}  // namespace ledra::gui
