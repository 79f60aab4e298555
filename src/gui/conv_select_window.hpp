#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "wizard/conv_select_presenter.hpp"

class QLabel;
class QPushButton;
class QGroupBox;

namespace ledra::gui {

// The start form ConvSelect: renders the start presenter's view and forwards its buttons.
class ConvSelectWindow : public QWidget {
  Q_OBJECT
 public:
  // onAction gets what the presenter asks for after each button.
  ConvSelectWindow(ConvSelectPresenter& presenter, std::function<void(StartAction)> onAction,
                   QWidget* parent = nullptr);

  void render();

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  ConvSelectPresenter& presenter_;
  std::function<void(StartAction)> onAction_;
  QLabel* message_;
  QGroupBox* pattern_;
  std::array<QPushButton*, 4> packages_{};
  QPushButton* continue_;
  QPushButton* exit_;
};

}  // namespace ledra::gui
