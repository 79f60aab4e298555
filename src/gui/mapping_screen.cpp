#include "gui/mapping_screen.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "gui/picker_dialog.hpp"
#include "gui/widget_names.hpp"

namespace ledra::gui {

namespace {

constexpr int kRowHeight = 22;
constexpr int kRowSpacing = 2;
constexpr int kRowPitch = kRowHeight + kRowSpacing;

QString q(const std::string& text) { return QString::fromStdString(text); }

// Colour values are stored as blue * 65536 + green * 256 + red.
QColor colour(uint32_t value) {
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

QLineEdit* box(const QString& name, QWidget* parent, int width, bool display = true) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setFixedHeight(kRowHeight);
  if (width > 0) e->setFixedWidth(width);
  e->setMinimumWidth(20);
  e->setAutoFillBackground(true);
  if (display) {
    e->setReadOnly(true);
    // Display boxes can be clicked into to copy a text, but Tab passes them by.
    e->setFocusPolicy(Qt::ClickFocus);
  }
  return e;
}

QLabel* heading(const QString& text, QWidget* parent, const char* name = nullptr,
                bool bold = false) {
  auto* l = new QLabel(text, parent);
  if (name) l->setObjectName(name);
  if (bold) {
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
  }
  return l;
}

QScrollBar* bar(const QString& name, QWidget* parent) {
  auto* b = new QScrollBar(Qt::Vertical, parent);
  b->setObjectName(name);
  b->setSingleStep(1);
  b->setPageStep(kPanelRows);
  return b;
}

QFrame* panelFrame(const char* name, QWidget* parent) {
  auto* f = new QFrame(parent);
  f->setObjectName(name);
  f->setFrameShape(QFrame::NoFrame);
  return f;
}

QGridLayout* rowGrid() {
  auto* g = new QGridLayout;
  g->setContentsMargins(0, 0, 0, 0);
  g->setHorizontalSpacing(2);
  g->setVerticalSpacing(kRowSpacing);
  return g;
}

std::optional<RowKey> rowKey(const QKeyEvent* key) {
  const bool ctrl = key->modifiers().testFlag(Qt::ControlModifier);
  switch (key->key()) {
    case Qt::Key_Up:
      return RowKey::Up;
    case Qt::Key_Down:
      return RowKey::Down;
    case Qt::Key_PageUp:
      return RowKey::PageUp;
    case Qt::Key_PageDown:
      return RowKey::PageDown;
    case Qt::Key_Home:
      return ctrl ? std::optional(RowKey::First) : std::nullopt;
    case Qt::Key_End:
      return ctrl ? std::optional(RowKey::Last) : std::nullopt;
    default:
      return std::nullopt;
  }
}

void setBox(QLineEdit* e, const TextBoxView& v) {
  const QString text = q(v.text);
  if (e->text() != text) {
    // While the user types, what the box removed or folded lies before the cursor: the
    // cursor keeps its distance from the end. Otherwise the text is shown from its start.
    const QString after = e->text().mid(e->cursorPosition());
    const bool typing = e->hasFocus() && !e->isReadOnly() && text.endsWith(after);
    e->setText(text);
    e->setCursorPosition(typing ? static_cast<int>(text.size() - after.size()) : 0);
  }
  const QString tip = q(v.toolTip);
  if (e->toolTip() != tip) e->setToolTip(tip);
}

void setBack(QLineEdit* e, uint32_t value) {
  const QColor c = colour(value);
  QPalette p = e->palette();
  if (p.color(QPalette::Base) == c) return;
  p.setColor(QPalette::Base, c);
  e->setPalette(p);
}

void setNumberBox(QLineEdit* e) { e->setAlignment(Qt::AlignRight | Qt::AlignVCenter); }

}  // namespace

MappingScreen::MappingScreen(MappingPresenter& presenter, QWidget* parent)
    : QGroupBox("データコンバート", parent), presenter_(presenter) {
  setObjectName("F_3rdStep");
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(8, 4, 8, 6);
  column->setSpacing(4);

  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(4);
  const char* captions[] = {"勘定科目", "補助", "部門"};
  const PanelKind kinds[] = {PanelKind::Accounts, PanelKind::SubAccounts, PanelKind::Departments};
  for (int i = 0; i < 3; ++i) {
    auto* b = new QPushButton(QString::fromUtf8(captions[i]), this);
    b->setObjectName(arrayName("B_ConvSelect", i));
    b->setCheckable(true);
    b->setFixedHeight(24);
    b->setMinimumWidth(80);
    buttons->addWidget(b);
    panelButtons_[static_cast<size_t>(i)] = b;
    const PanelKind kind = kinds[i];
    connect(b, &QPushButton::clicked, this,
            [this, kind] { forward([this, kind] { presenter_.showPanel(kind); }); });
  }
  buttons->addStretch(1);
  column->addLayout(buttons);

  accountPanel_ = buildAccountPanel();
  subAccountPanel_ = buildSubAccountPanel();
  departmentPanel_ = buildDepartmentPanel();
  column->addWidget(accountPanel_);
  column->addWidget(subAccountPanel_);
  column->addWidget(departmentPanel_);
  column->addStretch(1);

  // A wheel step over the screen moves the visible panel one row, also over the controls
  // that would take the wheel themselves (scroll bars, the combo box).
  watch(this);
  for (QWidget* w : findChildren<QWidget*>()) watch(w);
  showRows(kPanelRows);

  // After the picker's OK the next button is evaluated again like after any other event.
  picker_ = new PickerDialog(
      presenter_,
      [this] {
        render();
        emit changed();
      },
      parent ? parent : this);
}

QWidget* MappingScreen::firstControl() const { return panelButtons_[0]; }
QWidget* MappingScreen::lastControl() const { return departmentRows_.back().code; }
QWidget* MappingScreen::entryControl() const { return accountRows_.front().ledraCode; }

void MappingScreen::watch(QWidget* w) { w->installEventFilter(this); }

void MappingScreen::chainTabOrder() {
  // Tab goes along the rows: the code, 無効 and 選択 of one row, then the next row.
  QWidget* previous = panelButtons_[2];
  auto chain = [&previous](QWidget* w) {
    setTabOrder(previous, w);
    previous = w;
  };
  for (QRadioButton* f : filters_) chain(f);
  chain(find_);
  for (const AccountRow& r : accountRows_) {
    chain(r.ledraCode);
    chain(r.invalid);
    chain(r.pick);
  }
  chain(parents_);
  for (const SubRow& r : subRows_) chain(r.code);
  for (const DepartmentRow& r : departmentRows_) chain(r.code);
}

void MappingScreen::showRows(int rows) {
  const int built = static_cast<int>(accountRows_.size());
  for (int r = built; r < rows; ++r) {
    addAccountRow();
    addSubRow();
    addDepartmentRow();
  }
  if (rows == shownRows_) return;
  shownRows_ = rows;
  for (int r = 0; r < static_cast<int>(accountRows_.size()); ++r) {
    const bool shown = r < rows;
    const AccountRow& a = accountRows_[static_cast<size_t>(r)];
    for (QWidget* w : {static_cast<QWidget*>(a.sourceCode), static_cast<QWidget*>(a.sourceName),
                       static_cast<QWidget*>(a.sourceBalance), static_cast<QWidget*>(a.invalid),
                       static_cast<QWidget*>(a.pick), static_cast<QWidget*>(a.ledraCode),
                       static_cast<QWidget*>(a.ledraName), static_cast<QWidget*>(a.ledraBalance)})
      w->setVisible(shown);
    const SubRow& s = subRows_[static_cast<size_t>(r)];
    s.code->setVisible(shown);
    s.name->setVisible(shown);
    const DepartmentRow& d = departmentRows_[static_cast<size_t>(r)];
    for (QLineEdit* e : {d.code, d.name, d.parent}) e->setVisible(shown);
  }
  // The scroll bars run along the rows shown and page by them.
  for (QScrollBar* b : {accountBars_[0], accountBars_[1], subBar_, departmentBar_})
    b->setPageStep(rows);
  for (int i = 0; i < 2; ++i) {
    QScrollBar* b = accountBars_[static_cast<size_t>(i)];
    accountGrid_->removeWidget(b);
    accountGrid_->addWidget(b, 2, i == 0 ? 9 : 3, rows, 1);
  }
  subGrid_->removeWidget(subBar_);
  subGrid_->addWidget(subBar_, 2, 2, rows, 1);
  departmentGrid_->removeWidget(departmentBar_);
  departmentGrid_->addWidget(departmentBar_, 2, 3, rows, 1);
  if (rows > built) {
    chainTabOrder();
    emit rowsAdded();
  }
}

int MappingScreen::rowsThatFit() const {
  // Everything but the rows: the panel buttons above, the headings of the tallest panel.
  int overhead = 0;
  for (const QFrame* panel : {accountPanel_, subAccountPanel_, departmentPanel_})
    overhead = std::max(overhead, panel->layout()->minimumSize().height() - shownRows_ * kRowPitch);
  const QMargins m = layout()->contentsMargins();
  const int top = panelButtons_[0]->geometry().bottom() + 1 + layout()->spacing();
  const int room = height() - contentsMargins().bottom() - m.bottom() - top - overhead;
  return std::max(kPanelRows, room / kRowPitch);
}

void MappingScreen::resizeEvent(QResizeEvent* event) {
  QGroupBox::resizeEvent(event);
  const int rows = rowsThatFit();
  if (rows == presenter_.visibleRows()) return;
  forward([this, rows] { presenter_.setVisibleRows(rows); });
}

void MappingScreen::wheel(int delta) {
  if (delta != 0) forward([this, delta] { presenter_.wheel(delta); });
}

QFrame* MappingScreen::buildAccountPanel() {
  QFrame* frame = panelFrame("F_Conv", this);
  auto* column = new QVBoxLayout(frame);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(2);

  auto* top = new QHBoxLayout;
  const char* names[] = {"全て", "BS科目", "PL科目"};
  const AccountFilter kinds[] = {AccountFilter::All, AccountFilter::BalanceSheet,
                                 AccountFilter::ProfitAndLoss};
  for (int i = 0; i < 3; ++i) {
    auto* r = new QRadioButton(QString::fromUtf8(names[i]), frame);
    r->setObjectName(arrayName("R_KKS", i));
    r->setAutoExclusive(false);  // the view says which one is selected
    top->addWidget(r);
    filters_[static_cast<size_t>(i)] = r;
    const AccountFilter kind = kinds[i];
    connect(r, &QRadioButton::clicked, this,
            [this, kind] { forward([this, kind] { presenter_.chooseFilter(kind); }); });
  }
  top->addSpacing(16);
  top->addWidget(heading("検索", frame));
  find_ = new QLineEdit(frame);
  find_->setObjectName("T_Find");
  find_->setFixedWidth(120);
  find_->setClearButtonEnabled(true);
  find_->setToolTip(
      "コードまたは科目名の一部を入力すると、最初に該当する勘定科目まで移動します。"
      "Enterで次の該当へ進みます。");
  top->addWidget(find_);
  findMissed_ = heading("該当なし", frame, "L_FindMissed");
  findMissed_->setVisible(false);
  top->addWidget(findMissed_);
  connect(find_, &QLineEdit::textEdited, this, [this](const QString& text) {
    forward([this, text] { presenter_.findAccount(text.toStdString()); });
  });
  connect(find_, &QLineEdit::returnPressed, this,
          [this] { forward([this] { presenter_.findNextAccount(); }); });
  top->addStretch(1);
  remaining_ = heading("", frame, "RemainObj", true);
  top->addWidget(remaining_);
  column->addLayout(top);

  QGridLayout* g = rowGrid();
  accountGrid_ = g;
  column->addLayout(g);
  // Columns: source code, name, balance, VS_conv(1), 無効, 選択, Ledra code, name, balance,
  // VS_conv(0).
  sourceHeading_ = heading("", frame, "L_Y_0", true);
  g->addWidget(sourceHeading_, 0, 0, 1, 3);
  g->addWidget(heading("Ledra", frame, "L_N_0", true), 0, 6);
  // What else keeps 変換 grey stands over the service side, beside the count above it.
  blocking_ = heading("", frame, "L_Blocking", true);
  blocking_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  g->addWidget(blocking_, 0, 7, 1, 3);
  const char* heads[] = {"コード", "勘定科目", "期首残高"};
  for (int c = 0; c < 3; ++c) {
    g->addWidget(heading(QString::fromUtf8(heads[c]), frame), 1, c);
    g->addWidget(heading(QString::fromUtf8(heads[c]), frame), 1, 6 + c);
  }
  auto* invalidHead = heading("無効", frame);
  g->addWidget(invalidHead, 1, 4, Qt::AlignHCenter);
  g->setColumnStretch(1, 1);
  g->setColumnStretch(7, 1);
  g->setColumnMinimumWidth(3, 6);
  for (int i = 0; i < 2; ++i) {
    QScrollBar* b = bar(arrayName("VS_conv", i), frame);
    accountBars_[static_cast<size_t>(i)] = b;
    g->addWidget(b, 2, i == 0 ? 9 : 3, kPanelRows, 1);
    connect(b, &QScrollBar::valueChanged, this,
            [this](int value) { forward([this, value] { presenter_.scrollAccounts(value); }); });
  }
  return frame;
}

void MappingScreen::addAccountRow() {
  QFrame* frame = accountPanel_;
  QGridLayout* g = accountGrid_;
  const int r = static_cast<int>(accountRows_.size());
  {
    AccountRow row{};
    const int gr = r + 2;
    row.sourceCode = box(arrayName("T_Y_KCode", r), frame, 64);
    row.sourceName = box(arrayName("T_Y_KKJ", r), frame, 0);
    row.sourceBalance = box(arrayName("T_Y_KZ", r), frame, 96);
    setNumberBox(row.sourceBalance);
    row.invalid = new QCheckBox(frame);
    row.invalid->setObjectName(arrayName("C_TakeThisRec", r));
    row.invalid->setToolTip("無効");
    row.pick = new QPushButton("選択", frame);
    row.pick->setObjectName(arrayName("B_N_KK", r));
    row.pick->setFixedSize(44, kRowHeight);
    row.ledraCode = box(arrayName("T_N_KCode", r), frame, 64, false);
    row.ledraName = box(arrayName("T_N_KKJ", r), frame, 0);
    row.ledraBalance = box(arrayName("T_N_KZ", r), frame, 96);
    setNumberBox(row.ledraBalance);
    g->addWidget(row.sourceCode, gr, 0);
    g->addWidget(row.sourceName, gr, 1);
    g->addWidget(row.sourceBalance, gr, 2);
    g->addWidget(row.invalid, gr, 4, Qt::AlignHCenter);
    g->addWidget(row.pick, gr, 5);
    g->addWidget(row.ledraCode, gr, 6);
    g->addWidget(row.ledraName, gr, 7);
    g->addWidget(row.ledraBalance, gr, 8);

    connect(row.ledraCode, &QLineEdit::textEdited, this, [this, r](const QString& text) {
      // The box now holds what was typed: it is written again even when the cleaned text is
      // what was shown before (a blank typed after a code).
      shownAccounts_[static_cast<size_t>(r)].reset();
      forward([this, r, text] { presenter_.changeAccountCode(r, text.toStdString()); });
    });
    connect(row.ledraCode, &QLineEdit::returnPressed, this,
            [this, r] { forward([this, r] { presenter_.pressEnterInAccountCode(r); }); });
    connect(row.invalid, &QCheckBox::clicked, this,
            [this, r] { forward([this, r] { presenter_.clickInvalid(r); }); });
    connect(row.pick, &QPushButton::clicked, this,
            [this, r] { forward([this, r] { presenter_.openPicker(r); }); });
    for (QWidget* w :
         {static_cast<QWidget*>(row.sourceCode), static_cast<QWidget*>(row.sourceName),
          static_cast<QWidget*>(row.sourceBalance), static_cast<QWidget*>(row.invalid),
          static_cast<QWidget*>(row.pick), static_cast<QWidget*>(row.ledraCode),
          static_cast<QWidget*>(row.ledraName), static_cast<QWidget*>(row.ledraBalance)}) {
      rowOf_.insert(w, r);
      watch(w);
      // Enter on a focused button presses it, as in the rest of the program.
      if (auto* b = qobject_cast<QPushButton*>(w)) b->setAutoDefault(true);
    }
    accountRows_.push_back(row);
    shownAccounts_.emplace_back();
  }
}

QFrame* MappingScreen::buildSubAccountPanel() {
  QFrame* frame = panelFrame("F_Hojo", this);
  auto* row = new QHBoxLayout(frame);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(16);

  auto* left = new QVBoxLayout;
  left->setSpacing(4);
  left->addWidget(heading("所属勘定科目", frame, nullptr, true));
  parents_ = new QComboBox(frame);
  parents_->setObjectName("C_N_SKK");
  parents_->setFixedWidth(230);
  parents_->setMaxVisibleItems(20);
  left->addWidget(parents_);
  parentCaption_ = heading("", frame, "L_Y_SYK");
  parentCaption_->setWordWrap(true);
  parentCaption_->setFixedWidth(230);
  parentCaption_->setFrameShape(QFrame::StyledPanel);
  parentCaption_->setMargin(4);
  left->addSpacing(6);
  left->addWidget(parentCaption_);
  left->addStretch(1);
  row->addLayout(left);
  connect(parents_, &QComboBox::activated, this,
          [this](int index) { forward([this, index] { presenter_.chooseParent(index); }); });

  QGridLayout* g = rowGrid();
  subGrid_ = g;
  g->addWidget(heading("Ledra", frame, "L_N_1", true), 0, 0, 1, 2);
  g->addWidget(heading("コード", frame), 1, 0);
  g->addWidget(heading("補助科目", frame), 1, 1);
  subBar_ = bar("VS_hojo_0", frame);
  g->addWidget(subBar_, 2, 2, kPanelRows, 1);
  g->setColumnStretch(1, 1);
  connect(subBar_, &QScrollBar::valueChanged, this,
          [this](int value) { forward([this, value] { presenter_.scrollSubAccounts(value); }); });
  row->addLayout(g, 1);
  return frame;
}

void MappingScreen::addSubRow() {
  const int r = static_cast<int>(subRows_.size());
  SubRow s{};
  s.code = box(arrayName("T_N_HKCode", r), subAccountPanel_, 90, false);
  s.name = box(arrayName("T_N_HK", r), subAccountPanel_, 0);
  subGrid_->addWidget(s.code, r + 2, 0);
  subGrid_->addWidget(s.name, r + 2, 1);
  connect(s.code, &QLineEdit::textEdited, this, [this, r](const QString& text) {
    shownSubs_[static_cast<size_t>(r)].reset();
    forward([this, r, text] { presenter_.changeSubCode(r, text.toStdString()); });
  });
  for (QWidget* w : {s.code, s.name}) {
    rowOf_.insert(w, r);
    watch(w);
  }
  subRows_.push_back(s);
  shownSubs_.emplace_back();
}

QFrame* MappingScreen::buildDepartmentPanel() {
  QFrame* frame = panelFrame("F_Bumon", this);
  auto* column = new QVBoxLayout(frame);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(2);
  column->addWidget(heading("※　コード：１　部門名：事業所　は必ず表示されます。", frame, "L_alm"));
  QGridLayout* g = rowGrid();
  departmentGrid_ = g;
  column->addLayout(g);
  g->addWidget(heading("Ledra", frame, "L_N_2", true), 0, 0, 1, 3);
  const char* heads[] = {"コード", "部門名", "親部署"};
  for (int c = 0; c < 3; ++c) g->addWidget(heading(QString::fromUtf8(heads[c]), frame), 1, c);
  departmentBar_ = bar("VS_Bumon_0", frame);
  g->addWidget(departmentBar_, 2, 3, kPanelRows, 1);
  g->setColumnStretch(1, 1);
  g->setColumnStretch(2, 1);
  connect(departmentBar_, &QScrollBar::valueChanged, this,
          [this](int value) { forward([this, value] { presenter_.scrollDepartments(value); }); });
  return frame;
}

void MappingScreen::addDepartmentRow() {
  const int r = static_cast<int>(departmentRows_.size());
  DepartmentRow d{};
  d.code = box(arrayName("T_N_BCode", r), departmentPanel_, 90);
  d.name = box(arrayName("T_N_BN", r), departmentPanel_, 0);
  d.parent = box(arrayName("T_N_CBN", r), departmentPanel_, 0);
  // Nothing is typed here, but the code boxes take the focus so that the keys can move the
  // list.
  d.code->setFocusPolicy(Qt::StrongFocus);
  departmentGrid_->addWidget(d.code, r + 2, 0);
  departmentGrid_->addWidget(d.name, r + 2, 1);
  departmentGrid_->addWidget(d.parent, r + 2, 2);
  for (QWidget* w : {d.code, d.name, d.parent}) {
    rowOf_.insert(w, r);
    watch(w);
  }
  departmentRows_.push_back(d);
  shownDepartments_.emplace_back();
}

template <class F>
void MappingScreen::forward(F&& call) {
  ++depth_;
  call();
  --depth_;
  if (depth_ > 0) {
    renderAgain_ = true;  // raised while rendering: the render in progress runs once more
  } else {
    render();
    emit changed();
  }
}

bool MappingScreen::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Wheel: {
      const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
      if (delta != 0) forward([this, delta] { presenter_.wheel(delta); });
      return true;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
      break;
    case QEvent::KeyPress:
      if (handleKey(watched, static_cast<QKeyEvent*>(event))) return true;
      break;
    default:
      return false;
  }
  const auto found = rowOf_.constFind(watched);
  if (found == rowOf_.constEnd()) return false;
  const int r = found.value();
  const auto row = static_cast<size_t>(r);
  if (watched == accountRows_[row].ledraCode) {
    if (event->type() == QEvent::FocusIn) forward([this, r] { presenter_.clickAccountCode(r); });
    return false;
  }
  if (watched == subRows_[row].code) {
    if (event->type() == QEvent::FocusIn) {
      forward([this, r] { presenter_.clickSubCode(r); });
    } else if (event->type() == QEvent::FocusOut) {
      forward([this, r] { presenter_.leaveSubCode(r); });
    } else {
      const int key = static_cast<QKeyEvent*>(event)->key();
      const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
      forward([this, r, enter] { presenter_.pressSubCodeKey(r, enter); });
      if (enter) return true;
    }
  }
  return false;
}

bool MappingScreen::handleKey(QObject* watched, QKeyEvent* key) {
  const std::optional<RowKey> step = rowKey(key);
  if (!step) return false;
  const auto found = rowOf_.constFind(watched);
  if (found == rowOf_.constEnd()) return false;
  const int r = found.value();
  const RowKey k = *step;
  forward([this, r, k] { presenter_.pressRowKey(r, k); });
  return true;
}

void MappingScreen::render(const std::string& packageName) {
  packageName_ = packageName;
  render();
}

void MappingScreen::render() {
  // Focus moves below raise events; they are forwarded at once and rendered afterwards.
  for (int pass = 0; pass < 3; ++pass) {
    renderAgain_ = false;
    ++depth_;
    renderOnce();
    --depth_;
    if (!renderAgain_) break;
  }
}

void MappingScreen::renderOnce() {
  const MappingView& v = presenter_.view();
  sourceHeading_->setText(q(packageName_));
  const PanelKind kinds[] = {PanelKind::Accounts, PanelKind::SubAccounts, PanelKind::Departments};
  for (size_t i = 0; i < 3; ++i) {
    const QSignalBlocker b(panelButtons_[i]);
    panelButtons_[i]->setChecked(v.visiblePanel == kinds[i]);
  }
  accountPanel_->setVisible(v.visiblePanel == PanelKind::Accounts);
  subAccountPanel_->setVisible(v.visiblePanel == PanelKind::SubAccounts);
  departmentPanel_->setVisible(v.visiblePanel == PanelKind::Departments);
  showRows(static_cast<int>(v.accounts.rows.size()));
  if (v.visiblePanel == PanelKind::Accounts) renderAccounts();
  if (v.visiblePanel == PanelKind::SubAccounts) renderSubAccounts();
  if (v.visiblePanel == PanelKind::Departments) renderDepartments();
  renderPicker();
}

void MappingScreen::renderAccounts() {
  const AccountPanelView& v = presenter_.view().accounts;
  const AccountFilter kinds[] = {AccountFilter::All, AccountFilter::BalanceSheet,
                                 AccountFilter::ProfitAndLoss};
  for (size_t i = 0; i < 3; ++i) {
    const QSignalBlocker b(filters_[i]);
    filters_[i]->setChecked(v.filter == kinds[i]);
  }
  remaining_->setText(q(v.remainingCaption));
  QPalette p = remaining_->palette();
  p.setColor(QPalette::WindowText, colour(v.remainingColour));
  remaining_->setPalette(p);
  blocking_->setText(q(v.blockingLine));
  blocking_->setVisible(!v.blockingLine.empty());
  if (blocking_->palette().color(QPalette::WindowText) != colour(kColourRemaining)) {
    QPalette bp = blocking_->palette();
    bp.setColor(QPalette::WindowText, colour(kColourRemaining));
    blocking_->setPalette(bp);
  }
  if (find_->text() != q(v.findText)) {
    const QSignalBlocker b(find_);
    find_->setText(q(v.findText));
  }
  findMissed_->setVisible(v.findMissed);
  // The row the find box found is shown in bold until the list moves on.
  const int found = v.foundPosition >= 0 ? v.foundPosition - v.scrollValue : -1;
  if (found != shownFound_) {
    for (int r : {shownFound_, found}) {
      if (r < 0 || r >= static_cast<int>(accountRows_.size())) continue;
      for (QLineEdit* e : {accountRows_[static_cast<size_t>(r)].sourceCode,
                           accountRows_[static_cast<size_t>(r)].sourceName}) {
        QFont f = e->font();
        f.setBold(r == found);
        e->setFont(f);
      }
    }
    shownFound_ = found;
  }
  for (QScrollBar* b : accountBars_) {
    const QSignalBlocker block(b);
    b->setMaximum(v.scrollMax);
    b->setValue(v.scrollValue);
  }
  for (size_t r = 0; r < v.rows.size(); ++r) {
    const AccountRowView& row = v.rows[r];
    if (shownAccounts_[r] == row) continue;
    const AccountRow& w = accountRows_[r];
    for (QWidget* x : {static_cast<QWidget*>(w.sourceCode), static_cast<QWidget*>(w.sourceName),
                       static_cast<QWidget*>(w.sourceBalance), static_cast<QWidget*>(w.invalid),
                       static_cast<QWidget*>(w.pick), static_cast<QWidget*>(w.ledraCode),
                       static_cast<QWidget*>(w.ledraName), static_cast<QWidget*>(w.ledraBalance)})
      x->blockSignals(true);
    setBox(w.sourceCode, row.sourceCode);
    setBox(w.sourceName, row.sourceName);
    setBox(w.sourceBalance, row.sourceBalance);
    setBox(w.ledraCode, row.ledraCode);
    setBox(w.ledraName, row.ledraName);
    setBox(w.ledraBalance, row.ledraBalance);
    for (QLineEdit* e :
         {w.sourceCode, w.sourceName, w.sourceBalance, w.ledraCode, w.ledraName, w.ledraBalance})
      setBack(e, row.backColour);
    w.ledraCode->setReadOnly(row.codeLocked);
    w.invalid->setEnabled(row.invalidEnabled);
    w.invalid->setChecked(row.invalidTicked);
    w.pick->setEnabled(row.pickEnabled);
    for (QWidget* x : {static_cast<QWidget*>(w.sourceCode), static_cast<QWidget*>(w.sourceName),
                       static_cast<QWidget*>(w.sourceBalance), static_cast<QWidget*>(w.invalid),
                       static_cast<QWidget*>(w.pick), static_cast<QWidget*>(w.ledraCode),
                       static_cast<QWidget*>(w.ledraName), static_cast<QWidget*>(w.ledraBalance)})
      x->blockSignals(false);
    shownAccounts_[r] = row;
  }
  if (v.focusSerial != accountFocusSerial_) {
    accountFocusSerial_ = v.focusSerial;
    if (v.focusedRow >= 0 && v.focusedRow < static_cast<int>(accountRows_.size()))
      accountRows_[static_cast<size_t>(v.focusedRow)].ledraCode->setFocus(Qt::OtherFocusReason);
  }
}

void MappingScreen::renderSubAccounts() {
  const SubAccountPanelView& v = presenter_.view().subAccounts;
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
    const QSignalBlocker b(subBar_);
    subBar_->setMaximum(v.scrollMax);
    subBar_->setValue(v.scrollValue);
  }
  for (size_t r = 0; r < v.rows.size(); ++r) {
    const SubAccountRowView& row = v.rows[r];
    if (shownSubs_[r] == row) continue;
    const SubRow& w = subRows_[r];
    const QSignalBlocker b1(w.code);
    const QSignalBlocker b2(w.name);
    setBox(w.code, row.code);
    setBox(w.name, row.name);
    setBack(w.code, row.backColour);
    setBack(w.name, row.backColour);
    w.code->setReadOnly(row.codeLocked);
    w.name->setReadOnly(true);
    shownSubs_[r] = row;
  }
  if (v.focusSerial != subFocusSerial_) {
    subFocusSerial_ = v.focusSerial;
    if (v.focusedRow >= 0 && v.focusedRow < static_cast<int>(subRows_.size()))
      subRows_[static_cast<size_t>(v.focusedRow)].code->setFocus(Qt::OtherFocusReason);
  }
}

void MappingScreen::renderDepartments() {
  const DepartmentPanelView& v = presenter_.view().departments;
  {
    const QSignalBlocker b(departmentBar_);
    departmentBar_->setMaximum(v.scrollMax);
    departmentBar_->setValue(v.scrollValue);
  }
  for (size_t r = 0; r < v.rows.size(); ++r) {
    const DepartmentRowView& row = v.rows[r];
    if (shownDepartments_[r] == row) continue;
    const DepartmentRow& w = departmentRows_[r];
    setBox(w.code, row.code);
    setBox(w.name, row.name);
    setBox(w.parent, row.parent);
    for (QLineEdit* e : {w.code, w.name, w.parent}) setBack(e, row.backColour);
    shownDepartments_[r] = row;
  }
  if (v.focusSerial != departmentFocusSerial_) {
    departmentFocusSerial_ = v.focusSerial;
    if (v.focusedRow >= 0 && v.focusedRow < static_cast<int>(departmentRows_.size()))
      departmentRows_[static_cast<size_t>(v.focusedRow)].code->setFocus(Qt::OtherFocusReason);
  }
}

void MappingScreen::renderPicker() {
  if (presenter_.pickerOpen() && !picker_->isVisible()) picker_->open();
  picker_->render();
}

}  // namespace ledra::gui
