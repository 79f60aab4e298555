#include "gui/sub_account_panel.hpp"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "gui/widget_names.hpp"
#include "wizard/mapping_presenter.hpp"

namespace ledra::gui {

SubAccountPanel::SubAccountPanel(MappingPresenter& presenter, Forward forward, QWidget* parent)
    : MappingPanel("F_Hojo", presenter, std::move(forward), parent) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(16);

  auto* left = new QVBoxLayout;
  left->setSpacing(4);
  left->addWidget(heading("所属勘定科目", this, nullptr, true));
  parents_ = new QComboBox(this);
  parents_->setObjectName("C_N_SKK");
  parents_->setFixedWidth(230);
  parents_->setMaxVisibleItems(20);
  left->addWidget(parents_);
  parentCaption_ = heading("", this, "L_Y_SYK");
  parentCaption_->setWordWrap(true);
  parentCaption_->setFixedWidth(230);
  parentCaption_->setFrameShape(QFrame::StyledPanel);
  parentCaption_->setMargin(4);
  left->addSpacing(6);
  left->addWidget(parentCaption_);
  left->addStretch(1);
  row->addLayout(left);
  connect(parents_, &QComboBox::activated, this,
          [this](int index) { forward_([this, index] { presenter_.chooseParent(index); }); });

  QGridLayout* g = rowGrid();
  grid_ = g;
  g->addWidget(heading("Ledra", this, "L_N_1", true), 0, 0, 1, 2);
  g->addWidget(heading("コード", this), 1, 0);
  g->addWidget(heading("補助科目", this), 1, 1);
  bar_ = panelBar("VS_hojo_0", this);
  rowBars_ = {{bar_, 2}};
  g->addWidget(bar_, 2, 2, kPanelRows, 1);
  g->setColumnStretch(1, 1);
  connect(bar_, &QScrollBar::valueChanged, this,
          [this](int value) { forward_([this, value] { presenter_.scrollSubAccounts(value); }); });
  row->addLayout(g, 1);
  watchFixedControls();
}

QList<QWidget*> SubAccountPanel::tabChain() const {
  QList<QWidget*> chain{parents_};
  for (const Row& r : rows_) chain << r.code;
  return chain;
}

void SubAccountPanel::addRow() {
  const int r = static_cast<int>(rows_.size());
  Row s{};
  s.code = rowBox(arrayName("T_N_HKCode", r), this, 90, false);
  s.name = rowBox(arrayName("T_N_HK", r), this, 0);
  setBack(s.code, kDoneBack);
  setBack(s.name, kDoneBack);
  grid_->addWidget(s.code, r + 2, 0);
  grid_->addWidget(s.name, r + 2, 1);
  connect(s.code, &QLineEdit::textEdited, this, [this, r](const QString& text) {
    shown_[static_cast<size_t>(r)].reset();
    forward_([this, r, text] { presenter_.changeSubCode(r, text.toStdString()); });
  });
  for (QWidget* w : {s.code, s.name}) watchRowControl(w, r);
  rows_.push_back(s);
  shown_.emplace_back();
}

QWidget* SubAccountPanel::rowFocus(int row) const { return rows_[static_cast<size_t>(row)].code; }

std::vector<QWidget*> SubAccountPanel::rowControls(int row) const {
  const Row& s = rows_[static_cast<size_t>(row)];
  return {s.code, s.name};
}

bool SubAccountPanel::rowEvent(QObject* watched, int row, QEvent* event) {
  if (watched != rows_[static_cast<size_t>(row)].code) return false;
  switch (event->type()) {
    case QEvent::FocusIn:
      forward_([this, row] { presenter_.clickSubCode(row); });
      return false;
    case QEvent::FocusOut:
      forward_([this, row] { presenter_.leaveSubCode(row); });
      return false;
    default: {
      const int key = static_cast<QKeyEvent*>(event)->key();
      const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
      forward_([this, row, enter] { presenter_.pressSubCodeKey(row, enter); });
      return enter;
    }
  }
}

void SubAccountPanel::render(const SubAccountPanelView& v) {
  {
    const QSignalBlocker b(parents_);
    // The list only changes with a mapping; refilling two thousand items each time would lag.
    if (shownParents_ != v.parentChoices) {
      parents_->clear();
      QStringList items;
      items.reserve(static_cast<qsizetype>(v.parentChoices.size()));
      for (const std::string& s : v.parentChoices) items << q(s);
      parents_->addItems(items);
      shownParents_ = v.parentChoices;
    }
    parents_->setCurrentIndex(v.parentChoiceIndex);
  }
  QString caption = q(v.parentCaption);
  caption.replace("\r\n", "\n");
  parentCaption_->setText(caption);
  {
    const QSignalBlocker b(bar_);
    bar_->setMaximum(v.scrollMax);
    bar_->setValue(v.scrollValue);
  }
  for (size_t r = 0; r < v.rows.size(); ++r) {
    const SubAccountRowView& row = v.rows[r];
    if (shown_[r] == row) continue;
    const Row& w = rows_[r];
    const QSignalBlocker b1(w.code);
    const QSignalBlocker b2(w.name);
    setBox(w.code, row.code);
    setBox(w.name, row.name);
    const QColor back = row.state == RowState::NeedsAttention ? kAttentionBack : kDoneBack;
    setBack(w.code, back);
    setBack(w.name, back);
    w.code->setReadOnly(row.codeLocked);
    w.name->setReadOnly(true);
    shown_[r] = row;
  }
  followFocus(v.focusSerial, v.focusedRow);
}

}  // namespace ledra::gui
