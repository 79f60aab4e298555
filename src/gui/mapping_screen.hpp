#pragma once

#include <QGroupBox>
#include <QHash>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "wizard/mapping_presenter.hpp"

class QCheckBox;
class QComboBox;
class QFrame;
class QGridLayout;
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
// decision stays instant with a full chart of accounts. The panels show as many rows as the
// screen's height has room for, never fewer than ten.
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
  void addAccountRow();
  void addSubRow();
  void addDepartmentRow();
  // Builds rows up to `rows`, shows the first `rows` of each panel and hides the others.
  void showRows(int rows);
  void chainTabOrder();
  // How many rows the panels have room for at the screen's present height.
  int rowsThatFit() const;
  bool handleKey(QObject* watched, QKeyEvent* key);
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
  QLineEdit* find_ = nullptr;
  QLabel* findMissed_ = nullptr;
  QLabel* remaining_ = nullptr;
  QLabel* blocking_ = nullptr;
  QGridLayout* accountGrid_ = nullptr;
  std::array<QScrollBar*, 2> accountBars_{};
  std::vector<AccountRow> accountRows_;
  std::vector<std::optional<AccountRowView>> shownAccounts_;
  int shownFound_ = -1;
  int accountFocusSerial_ = 0;

  QFrame* subAccountPanel_ = nullptr;
  QComboBox* parents_ = nullptr;
  std::vector<std::string> shownParents_;
  QLabel* parentCaption_ = nullptr;
  QGridLayout* subGrid_ = nullptr;
  QScrollBar* subBar_ = nullptr;
  std::vector<SubRow> subRows_;
  std::vector<std::optional<SubAccountRowView>> shownSubs_;
  int subFocusSerial_ = 0;

  QFrame* departmentPanel_ = nullptr;
  QGridLayout* departmentGrid_ = nullptr;
  QScrollBar* departmentBar_ = nullptr;
  std::vector<DepartmentRow> departmentRows_;
  std::vector<std::optional<DepartmentRowView>> shownDepartments_;
  int departmentFocusSerial_ = 0;

  // The row each row control belongs to, for the keys that move through the rows.
  QHash<QObject*, int> rowOf_;
  int shownRows_ = 0;

  PickerDialog* picker_ = nullptr;
  int depth_ = 0;  // events being handled or renders running
  bool renderAgain_ = false;
};

}  // namespace ledra::gui
