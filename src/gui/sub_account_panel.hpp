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

  bool showRows(int rows) override;
  QList<QWidget*> tabChain() const override;
  void render(const SubAccountPanelView& v);

 protected:
  bool rowEvent(QObject* watched, int row, QEvent* event) override;

 private:
  struct Row {
    QLineEdit* code;
    QLineEdit* name;
  };
  void addRow();

  QComboBox* parents_ = nullptr;
  std::vector<std::string> shownParents_;
  QLabel* parentCaption_ = nullptr;
  QGridLayout* grid_ = nullptr;
  QScrollBar* bar_ = nullptr;
  std::vector<Row> rows_;
  std::vector<std::optional<SubAccountRowView>> shown_;
  int focusSerial_ = 0;
};

}  // namespace ledra::gui
