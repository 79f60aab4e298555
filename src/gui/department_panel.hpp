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

  bool showRows(int rows) override;
  QList<QWidget*> tabChain() const override;
  void render(const DepartmentPanelView& v);
  QWidget* lastCodeBox() const;

 private:
  struct Row {
    QLineEdit* code;
    QLineEdit* name;
    QLineEdit* parent;
  };
  void addRow();

  QGridLayout* grid_ = nullptr;
  QScrollBar* bar_ = nullptr;
  std::vector<Row> rows_;
  std::vector<std::optional<DepartmentRowView>> shown_;
  int focusSerial_ = 0;
};

}  // namespace ledra::gui
