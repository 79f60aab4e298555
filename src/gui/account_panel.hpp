#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "gui/panel_widgets.hpp"
#include "matching/account_view.hpp"

class QCheckBox;
class QPushButton;
class QRadioButton;

namespace ledra::gui {

// The account panel F_Conv: the filter R_KKS, the find box, the remaining count RemainObj and
// the rows of source and service accounts with their 無効 boxes and 選択 buttons. Only rows
// that changed since the last render are written, so that a wheel step stays instant with a
// full chart of accounts.
class AccountPanel : public MappingPanel {
 public:
  AccountPanel(MappingPresenter& presenter, Forward forward, QWidget* parent);

  QList<QWidget*> tabChain() const override;
  // packageName: the heading L_Y(0) over the source side.
  void render(const AccountPanelView& v, const std::string& packageName);
  QWidget* firstCodeBox() const;

 protected:
  bool rowEvent(QObject* watched, int row, QEvent* event) override;

 private:
  struct Row {
    QLineEdit* sourceCode;
    QLineEdit* sourceName;
    QLineEdit* sourceBalance;
    QCheckBox* invalid;
    QPushButton* pick;
    QLineEdit* ledraCode;
    QLineEdit* ledraName;
    QLineEdit* ledraBalance;
    std::array<QWidget*, 8> all() const;
    std::array<QLineEdit*, 6> boxes() const;
  };
  int builtRows() const override { return static_cast<int>(rows_.size()); }
  void addRow() override;
  std::vector<QWidget*> rowControls(int row) const override;
  QWidget* rowFocus(int row) const override;
  void renderRow(size_t r, const AccountRowView& row);

  QLabel* sourceHeading_ = nullptr;
  std::array<QRadioButton*, 3> filters_{};
  QLineEdit* find_ = nullptr;
  QLabel* findMissed_ = nullptr;
  QLabel* remaining_ = nullptr;
  QLabel* blocking_ = nullptr;
  std::array<QScrollBar*, 2> bars_{};
  std::vector<Row> rows_;
  std::vector<std::optional<AccountRowView>> shown_;
  int shownFound_ = -1;
};

}  // namespace ledra::gui
