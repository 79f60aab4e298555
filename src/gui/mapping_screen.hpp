#pragma once

#include <QGroupBox>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "wizard/mapping_presenter.hpp"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace ledra::gui {

class PickerDialog;

// The frame F_3rdStep "データコンバート": the panel buttons and the three panels F_Conv, F_Hojo
// and F_Bumon. Renders the mapping presenter's view and forwards every control event to it.
// Only rows that changed since the last render are written, so a wheel step or a code
// decision stays instant with a full chart of accounts.
class MappingScreen : public QGroupBox {
  Q_OBJECT
 public:
  explicit MappingScreen(MappingPresenter& presenter, QWidget* parent = nullptr);

  // packageName: the heading L_Y(0) over the source side.
  void render(const std::string& packageName);
  void render();

  QFrame* accountPanel() const { return accountPanel_; }
  QFrame* subAccountPanel() const { return subAccountPanel_; }
  QFrame* departmentPanel() const { return departmentPanel_; }
  PickerDialog* picker() const { return picker_; }

  QWidget* firstControl() const;
  QWidget* lastControl() const;

 signals:
  // The presenter handled an event: the main form's next button may have changed.
  void changed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct AccountRow {
    QLineEdit* sourceCode;
    QLineEdit* sourceName;
    QLineEdit* sourceBalance;
    QCheckBox* invalid;
    QPushButton* pick;
    QLineEdit* ledraCode;
    QLineEdit* ledraName;
    QLineEdit* ledraBalance;
  };
  struct SubRow {
    QLineEdit* code;
    QLineEdit* name;
  };
  struct DepartmentRow {
    QLineEdit* code;
    QLineEdit* name;
    QLineEdit* parent;
  };

  QFrame* buildAccountPanel();
  QFrame* buildSubAccountPanel();
  QFrame* buildDepartmentPanel();
  void renderOnce();
  void renderAccounts();
  void renderSubAccounts();
  void renderDepartments();
  void renderPicker();
  // Runs a presenter call, then renders what it changed.
  template <class F>
  void forward(F&& call);
  void watch(QWidget* w);

  MappingPresenter& presenter_;
  std::array<QPushButton*, 3> panelButtons_{};
  std::string packageName_;

  QFrame* accountPanel_ = nullptr;
  QLabel* sourceHeading_ = nullptr;
  std::array<QRadioButton*, 3> filters_{};
  QLabel* remaining_ = nullptr;
  std::array<QScrollBar*, 2> accountBars_{};
  std::array<AccountRow, kPanelRows> accountRows_{};
  std::array<std::optional<AccountRowView>, kPanelRows> shownAccounts_;
  int accountFocusSerial_ = 0;

  QFrame* subAccountPanel_ = nullptr;
  QComboBox* parents_ = nullptr;
  std::vector<std::string> shownParents_;
  QLabel* parentCaption_ = nullptr;
  QScrollBar* subBar_ = nullptr;
  std::array<SubRow, kPanelRows> subRows_{};
  std::array<std::optional<SubAccountRowView>, kPanelRows> shownSubs_;
  int subFocusSerial_ = 0;

  QFrame* departmentPanel_ = nullptr;
  QScrollBar* departmentBar_ = nullptr;
  std::array<DepartmentRow, kPanelRows> departmentRows_{};
  std::array<std::optional<DepartmentRowView>, kPanelRows> shownDepartments_;

  PickerDialog* picker_ = nullptr;
  int depth_ = 0;  // events being handled or renders running
  bool renderAgain_ = false;
};

}  // namespace ledra::gui
