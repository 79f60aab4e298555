#pragma once

#include <optional>
#include <string>
#include <vector>

#include "gui/panel_widgets.hpp"
#include "matching/sub_account_view.hpp"

class QComboBox;

namespace ledra::gui {

// The sub-account panel F_Hojo: the parent combo C_N_SKK, the caption L_Y_SYK and the rows of
// sub-account codes and names.
class SubAccountPanel : public MappingPanel {
 public:
  SubAccountPanel(MappingPresenter& presenter, Forward forward, QWidget* parent);

  QList<QWidget*> tabChain() const override;
  void render(const SubAccountPanelView& v);

 protected:
  bool rowEvent(QObject* watched, int row, QEvent* event) override;

 private:
  struct Row {
    QLineEdit* code;
    QLineEdit* name;
  };
  int builtRows() const override { return static_cast<int>(rows_.size()); }
  void addRow() override;
  std::vector<QWidget*> rowControls(int row) const override;
  QWidget* rowFocus(int row) const override;

  QComboBox* parents_ = nullptr;
  std::vector<std::string> shownParents_;
  QLabel* parentCaption_ = nullptr;
  QScrollBar* bar_ = nullptr;
  std::vector<Row> rows_;
  std::vector<std::optional<SubAccountRowView>> shown_;
};

}  // namespace ledra::gui
