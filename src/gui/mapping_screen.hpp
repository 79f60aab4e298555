#pragma once

#include <QGroupBox>
#include <array>
#include <string>

#include "wizard/mapping_presenter.hpp"

class QPushButton;

namespace ledra::gui {

class AccountPanel;
class DepartmentPanel;
class PickerDialog;
class SubAccountPanel;

// The frame F_3rdStep "データコンバート": the panel buttons B_ConvSelect over the three panels
// (F_Conv, F_Hojo, F_Bumon) and the picker. It places the panels, gives them as many rows as
// its height has room for (never fewer than ten), chains the tab order through them, and runs
// each event the panels forward through the presenter before rendering the result.
class MappingScreen : public QGroupBox {
  Q_OBJECT
 public:
  explicit MappingScreen(MappingPresenter& presenter, QWidget* parent = nullptr);

  // packageName: the heading L_Y(0) over the source side.
  void render(const std::string& packageName);
  void render();

  PickerDialog* picker() const { return picker_; }

  QWidget* firstControl() const;
  QWidget* lastControl() const;
  // Where the focus goes when the screen is entered: the first account's code box.
  QWidget* entryControl() const;

  // A wheel step over the main form outside the panels: the visible panel moves one row.
  void wheel(int delta);

 signals:
  // The presenter handled an event: the main form's next button may have changed.
  void changed();
  // Rows were added: the tab order through them is new.
  void rowsAdded();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void showRows(int rows);
  void chainTabOrder();
  // How many rows the panels have room for at the screen's present height.
  int rowsThatFit() const;
  void renderOnce();
  // Runs a presenter call, then renders what it changed.
  void forward(const std::function<void()>& call);

  MappingPresenter& presenter_;
  std::array<QPushButton*, 3> panelButtons_{};
  QPushButton* undo_ = nullptr;
  QPushButton* redo_ = nullptr;
  QPushButton* reuse_ = nullptr;
  std::string packageName_;
  AccountPanel* accounts_ = nullptr;
  SubAccountPanel* subAccounts_ = nullptr;
  DepartmentPanel* departments_ = nullptr;
  PickerDialog* picker_ = nullptr;
  int depth_ = 0;  // events being handled or renders running
  bool renderAgain_ = false;
};

}  // namespace ledra::gui
