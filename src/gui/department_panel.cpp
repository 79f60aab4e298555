#include "gui/department_panel.hpp"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "gui/widget_names.hpp"
#include "wizard/mapping_presenter.hpp"

namespace ledra::gui {

DepartmentPanel::DepartmentPanel(MappingPresenter& presenter, Forward forward, QWidget* parent)
    : MappingPanel("F_Bumon", presenter, std::move(forward), parent) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(2);
  column->addWidget(heading("※　コード：１　部門名：事業所　は必ず表示されます。", this, "L_alm"));
  QGridLayout* g = rowGrid();
  grid_ = g;
  column->addLayout(g);
  g->addWidget(heading("Ledra", this, "L_N_2", true), 0, 0, 1, 3);
  const char* heads[] = {"コード", "部門名", "親部署"};
  for (int c = 0; c < 3; ++c) g->addWidget(heading(QString::fromUtf8(heads[c]), this), 1, c);
  bar_ = panelBar("VS_Bumon_0", this);
  rowBars_ = {{bar_, 3}};
  g->addWidget(bar_, 2, 3, kPanelRows, 1);
  g->setColumnStretch(1, 1);
  g->setColumnStretch(2, 1);
  connect(bar_, &QScrollBar::valueChanged, this,
          [this](int value) { forward_([this, value] { presenter_.scrollDepartments(value); }); });
  watchFixedControls();
}

QWidget* DepartmentPanel::lastCodeBox() const { return rows_.back().code; }

QList<QWidget*> DepartmentPanel::tabChain() const {
  QList<QWidget*> chain;
  for (const Row& r : rows_) chain << r.code;
  return chain;
}

void DepartmentPanel::addRow() {
  const int r = static_cast<int>(rows_.size());
  Row d{};
  d.code = rowBox(arrayName("T_N_BCode", r), this, 90);
  d.name = rowBox(arrayName("T_N_BN", r), this, 0);
  d.parent = rowBox(arrayName("T_N_CBN", r), this, 0);
  // Nothing is typed here, but the code boxes take the focus so that the keys can move the
  // list.
  d.code->setFocusPolicy(Qt::StrongFocus);
  grid_->addWidget(d.code, r + 2, 0);
  grid_->addWidget(d.name, r + 2, 1);
  grid_->addWidget(d.parent, r + 2, 2);
  for (QLineEdit* e : {d.code, d.name, d.parent}) {
    setBack(e, kDoneBack);
    watchRowControl(e, r);
  }
  rows_.push_back(d);
  shown_.emplace_back();
}

QWidget* DepartmentPanel::rowFocus(int row) const { return rows_[static_cast<size_t>(row)].code; }

std::vector<QWidget*> DepartmentPanel::rowControls(int row) const {
  const Row& d = rows_[static_cast<size_t>(row)];
  return {d.code, d.name, d.parent};
}

void DepartmentPanel::render(const DepartmentPanelView& v) {
  {
    const QSignalBlocker b(bar_);
    bar_->setMaximum(v.scrollMax);
    bar_->setValue(v.scrollValue);
  }
  for (size_t r = 0; r < v.rows.size(); ++r) {
    const DepartmentRowView& row = v.rows[r];
    if (shown_[r] == row) continue;
    const Row& w = rows_[r];
    setBox(w.code, row.code);
    setBox(w.name, row.name);
    setBox(w.parent, row.parent);
    // Shown or blank, the rows are for reference: one colour.
    for (QLineEdit* e : {w.code, w.name, w.parent}) setBack(e, kDoneBack);
    shown_[r] = row;
  }
  followFocus(v.focusSerial, v.focusedRow);
}

}  // namespace ledra::gui
