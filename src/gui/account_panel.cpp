#include "gui/account_panel.hpp"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "gui/widget_names.hpp"
#include "wizard/mapping_presenter.hpp"

namespace ledra::gui {

namespace {

void setNumberBox(QLineEdit* e) { e->setAlignment(Qt::AlignRight | Qt::AlignVCenter); }

}  // namespace

std::array<QWidget*, 8> AccountPanel::Row::all() const {
  return {sourceCode, sourceName, sourceBalance, invalid, pick, ledraCode, ledraName, ledraBalance};
}

std::array<QLineEdit*, 6> AccountPanel::Row::boxes() const {
  return {sourceCode, sourceName, sourceBalance, ledraCode, ledraName, ledraBalance};
}

AccountPanel::AccountPanel(MappingPresenter& presenter, Forward forward, QWidget* parent)
    : MappingPanel("F_Conv", presenter, std::move(forward), parent) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(2);

  auto* top = new QHBoxLayout;
  const char* names[] = {"全て", "BS科目", "PL科目"};
  const AccountFilter kinds[] = {AccountFilter::All, AccountFilter::BalanceSheet,
                                 AccountFilter::ProfitAndLoss};
  for (int i = 0; i < 3; ++i) {
    auto* r = new QRadioButton(QString::fromUtf8(names[i]), this);
    r->setObjectName(arrayName("R_KKS", i));
    r->setAutoExclusive(false);  // the view says which one is selected
    top->addWidget(r);
    filters_[static_cast<size_t>(i)] = r;
    const AccountFilter kind = kinds[i];
    connect(r, &QRadioButton::clicked, this,
            [this, kind] { forward_([this, kind] { presenter_.chooseFilter(kind); }); });
  }
  top->addSpacing(16);
  top->addWidget(heading("検索", this));
  find_ = new QLineEdit(this);
  find_->setObjectName("T_Find");
  find_->setFixedWidth(120);
  find_->setClearButtonEnabled(true);
  find_->setToolTip(
      "コードまたは科目名の一部を入力すると、最初に該当する勘定科目まで移動します。"
      "Enterで次の該当へ進みます。");
  top->addWidget(find_);
  findMissed_ = heading("該当なし", this, "L_FindMissed");
  findMissed_->setVisible(false);
  top->addWidget(findMissed_);
  connect(find_, &QLineEdit::textEdited, this, [this](const QString& text) {
    forward_([this, text] { presenter_.findAccount(text.toStdString()); });
  });
  connect(find_, &QLineEdit::returnPressed, this,
          [this] { forward_([this] { presenter_.findNextAccount(); }); });
  top->addStretch(1);
  remaining_ = heading("", this, "RemainObj", true);
  top->addWidget(remaining_);
  column->addLayout(top);

  QGridLayout* g = rowGrid();
  grid_ = g;
  column->addLayout(g);
  // Columns: source code, name, balance, VS_conv(1), 無効, 選択, Ledra code, name, balance,
  // VS_conv(0).
  sourceHeading_ = heading("", this, "L_Y_0", true);
  g->addWidget(sourceHeading_, 0, 0, 1, 3);
  g->addWidget(heading("Ledra", this, "L_N_0", true), 0, 6);
  // What else keeps 変換 grey stands over the service side, beside the count above it.
  blocking_ = heading("", this, "L_Blocking", true);
  blocking_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  setTextColour(blocking_, kWarningText);
  g->addWidget(blocking_, 0, 7, 1, 3);
  const char* heads[] = {"コード", "勘定科目", "期首残高"};
  for (int c = 0; c < 3; ++c) {
    g->addWidget(heading(QString::fromUtf8(heads[c]), this), 1, c);
    g->addWidget(heading(QString::fromUtf8(heads[c]), this), 1, 6 + c);
  }
  g->addWidget(heading("無効", this), 1, 4, Qt::AlignHCenter);
  g->setColumnStretch(1, 1);
  g->setColumnStretch(7, 1);
  g->setColumnMinimumWidth(3, 6);
  for (int i = 0; i < 2; ++i) {
    QScrollBar* b = panelBar(arrayName("VS_conv", i), this);
    bars_[static_cast<size_t>(i)] = b;
    rowBars_.emplace_back(b, i == 0 ? 9 : 3);
    g->addWidget(b, 2, rowBars_.back().second, kPanelRows, 1);
    connect(b, &QScrollBar::valueChanged, this,
            [this](int value) { forward_([this, value] { presenter_.scrollAccounts(value); }); });
  }
  watchFixedControls();
}

QWidget* AccountPanel::firstCodeBox() const { return rows_.front().ledraCode; }

QList<QWidget*> AccountPanel::tabChain() const {
  // Tab goes along the rows: the code, 無効 and 選択 of one row, then the next row.
  QList<QWidget*> chain;
  for (QRadioButton* f : filters_) chain << f;
  chain << find_;
  for (const Row& r : rows_) chain << r.ledraCode << r.invalid << r.pick;
  return chain;
}

void AccountPanel::addRow() {
  const int r = static_cast<int>(rows_.size());
  const int gr = r + 2;
  Row row{};
  row.sourceCode = rowBox(arrayName("T_Y_KCode", r), this, 64);
  row.sourceName = rowBox(arrayName("T_Y_KKJ", r), this, 0);
  row.sourceBalance = rowBox(arrayName("T_Y_KZ", r), this, 96);
  setNumberBox(row.sourceBalance);
  row.invalid = new QCheckBox(this);
  row.invalid->setObjectName(arrayName("C_TakeThisRec", r));
  row.invalid->setToolTip("無効");
  row.pick = new QPushButton("選択", this);
  row.pick->setObjectName(arrayName("B_N_KK", r));
  row.pick->setFixedSize(44, kRowHeight);
  // Enter on a focused button presses it, as in the rest of the program.
  row.pick->setAutoDefault(true);
  row.ledraCode = rowBox(arrayName("T_N_KCode", r), this, 64, false);
  row.ledraName = rowBox(arrayName("T_N_KKJ", r), this, 0);
  row.ledraBalance = rowBox(arrayName("T_N_KZ", r), this, 96);
  setNumberBox(row.ledraBalance);
  for (QLineEdit* e : row.boxes()) setBack(e, kUntouchedBack);
  grid_->addWidget(row.sourceCode, gr, 0);
  grid_->addWidget(row.sourceName, gr, 1);
  grid_->addWidget(row.sourceBalance, gr, 2);
  grid_->addWidget(row.invalid, gr, 4, Qt::AlignHCenter);
  grid_->addWidget(row.pick, gr, 5);
  grid_->addWidget(row.ledraCode, gr, 6);
  grid_->addWidget(row.ledraName, gr, 7);
  grid_->addWidget(row.ledraBalance, gr, 8);

  connect(row.ledraCode, &QLineEdit::textEdited, this, [this, r](const QString& text) {
    // The box now holds what was typed: it is written again even when the cleaned text is
    // what was shown before (a blank typed after a code).
    shown_[static_cast<size_t>(r)].reset();
    forward_([this, r, text] { presenter_.changeAccountCode(r, text.toStdString()); });
  });
  connect(row.ledraCode, &QLineEdit::returnPressed, this,
          [this, r] { forward_([this, r] { presenter_.pressEnterInAccountCode(r); }); });
  connect(row.invalid, &QCheckBox::clicked, this,
          [this, r] { forward_([this, r] { presenter_.clickInvalid(r); }); });
  connect(row.pick, &QPushButton::clicked, this,
          [this, r] { forward_([this, r] { presenter_.openPicker(r); }); });
  for (QWidget* w : row.all()) watchRowControl(w, r);
  rows_.push_back(row);
  shown_.emplace_back();
}

QWidget* AccountPanel::rowFocus(int row) const { return rows_[static_cast<size_t>(row)].ledraCode; }

std::vector<QWidget*> AccountPanel::rowControls(int row) const {
  const auto all = rows_[static_cast<size_t>(row)].all();
  return {all.begin(), all.end()};
}

bool AccountPanel::rowEvent(QObject* watched, int row, QEvent* event) {
  if (watched != rows_[static_cast<size_t>(row)].ledraCode) return false;
  if (event->type() == QEvent::FocusIn) forward_([this, row] { presenter_.clickAccountCode(row); });
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && (key->modifiers() & Qt::ControlModifier)) {
      forward_([this, row] { presenter_.acceptSuggestion(row); });
      return true;
    }
  }
  return false;
}

void AccountPanel::render(const AccountPanelView& v, const std::string& packageName) {
  sourceHeading_->setText(q(packageName));
  const AccountFilter kinds[] = {AccountFilter::All, AccountFilter::BalanceSheet,
                                 AccountFilter::ProfitAndLoss};
  for (size_t i = 0; i < 3; ++i) {
    const QSignalBlocker b(filters_[i]);
    filters_[i]->setChecked(v.filter == kinds[i]);
  }
  remaining_->setText(q(v.remainingCaption));
  setTextColour(remaining_, v.accountsRemain ? kWarningText : kPlainText);
  blocking_->setText(q(v.blockingLine));
  blocking_->setVisible(!v.blockingLine.empty());
  if (find_->text() != q(v.findText)) {
    const QSignalBlocker b(find_);
    find_->setText(q(v.findText));
  }
  findMissed_->setVisible(v.findMissed);
  // The row the find box found is shown in bold until the list moves on.
  const int found = v.foundPosition >= 0 ? v.foundPosition - v.scrollValue : -1;
  if (found != shownFound_) {
    for (int r : {shownFound_, found}) {
      if (r < 0 || r >= static_cast<int>(rows_.size())) continue;
      for (QLineEdit* e :
           {rows_[static_cast<size_t>(r)].sourceCode, rows_[static_cast<size_t>(r)].sourceName}) {
        QFont f = e->font();
        f.setBold(r == found);
        e->setFont(f);
      }
    }
    shownFound_ = found;
  }
  for (QScrollBar* b : bars_) {
    const QSignalBlocker block(b);
    b->setMaximum(v.scrollMax);
    b->setValue(v.scrollValue);
  }
  for (size_t r = 0; r < v.rows.size(); ++r) {
    if (shown_[r] == v.rows[r]) continue;
    renderRow(r, v.rows[r]);
    shown_[r] = v.rows[r];
  }
  followFocus(v.focusSerial, v.focusedRow);
}

void AccountPanel::renderRow(size_t r, const AccountRowView& row) {
  const Row& w = rows_[r];
  for (QWidget* x : w.all()) x->blockSignals(true);
  setBox(w.sourceCode, row.sourceCode);
  setBox(w.sourceName, row.sourceName);
  setBox(w.sourceBalance, row.sourceBalance);
  setBox(w.ledraCode, row.ledraCode);
  setBox(w.ledraName, row.ledraName);
  setBox(w.ledraBalance, row.ledraBalance);
  // A row left blank keeps the colour it had, as a text box keeps what it showed.
  if (row.state != RowState::Blank) {
    const QColor back = row.state == RowState::NeedsAttention ? kAttentionBack : kDoneBack;
    for (QLineEdit* e : w.boxes()) setBack(e, back);
  }
  // The suggestion stands in the empty box in the placeholder's grey, apart from real codes.
  w.ledraCode->setPlaceholderText(q(row.suggestedCode));
  w.ledraName->setPlaceholderText(row.suggestedName.empty() ? QString()
                                                            : q("候補: " + row.suggestedName));
  w.ledraCode->setReadOnly(row.codeLocked);
  w.invalid->setEnabled(row.invalidEnabled);
  w.invalid->setChecked(row.invalidTicked);
  w.pick->setEnabled(row.pickEnabled);
  for (QWidget* x : w.all()) x->blockSignals(false);
}

}  // namespace ledra::gui
