#pragma once

#include <optional>
#include <vector>

#include "gui/panel_widgets.hpp"
#include "matching/department_view.hpp"

namespace ledra::gui {

// The department panel F_Bumon: the service's departments, display only.
class DepartmentPanel : public MappingPanel {
 public:
  DepartmentPanel(MappingPresenter& presenter, Forward forward, QWidget* parent);

  QList<QWidget*> tabChain() const override;
  void render(const DepartmentPanelView& v);
  QWidget* lastCodeBox() const;

 private:
  struct Row {
    QLineEdit* code;
    QLineEdit* name;
    QLineEdit* parent;
  };
  int builtRows() const override { return static_cast<int>(rows_.size()); }
  void addRow() override;
  std::vector<QWidget*> rowControls(int row) const override;
  QWidget* rowFocus(int row) const override;

  QScrollBar* bar_ = nullptr;
  std::vector<Row> rows_;
  std::vector<std::optional<DepartmentRowView>> shown_;
};

}  // namespace ledra::gui
