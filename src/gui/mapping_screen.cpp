#include "gui/mapping_screen.hpp"

#include <QHBoxLayout>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

#include "gui/account_panel.hpp"
#include "gui/department_panel.hpp"
#include "gui/picker_dialog.hpp"
#include "gui/sub_account_panel.hpp"
#include "gui/widget_names.hpp"

namespace ledra::gui {

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
    // The wheel over the buttons moves the visible panel as over the panel itself.
    b->installEventFilter(this);
  }
  buttons->addSpacing(16);
  undo_ = new QPushButton("元に戻す", this);
  undo_->setObjectName("B_Undo");
  undo_->setToolTip("直前の割当の変更を取り消します (Ctrl+Z)");
  redo_ = new QPushButton("やり直し", this);
  redo_->setObjectName("B_Redo");
  redo_->setToolTip("取り消した変更をもう一度行います (Ctrl+Y / Ctrl+Shift+Z)");
  for (QPushButton* b : {undo_, redo_}) {
    b->setFixedHeight(24);
    b->setMinimumWidth(80);
    // Clicking keeps the focus in the code box, so a code typed there stays undecided.
    b->setFocusPolicy(Qt::NoFocus);
    buttons->addWidget(b);
  }
  buttons->addSpacing(16);
  reuse_ = new QPushButton("他の保存データから割当...", this);
  reuse_->setObjectName("B_Reuse");
  reuse_->setToolTip(
      "別の顧問先などの保存データを選び、まだ割り当てていない勘定科目・補助科目に同じ名前の"
      "科目の割当を引き継ぎます。割当済みのものは変わりません。");
  reuse_->setFixedHeight(24);
  buttons->addWidget(reuse_);
  connect(reuse_, &QPushButton::clicked, this,
          [this] { forward([this] { presenter_.reuseFromOtherState(); }); });
  connect(undo_, &QPushButton::clicked, this, [this] { forward([this] { presenter_.undo(); }); });
  connect(redo_, &QPushButton::clicked, this, [this] { forward([this] { presenter_.redo(); }); });
  // Anywhere in the form while the screen is shown, also in a code box, whose own text undo
  // would otherwise take the keys (the panels let them through).
  const auto shortcut = [this](const QKeySequence& keys, bool undo) {
    auto* s = new QShortcut(keys, this);
    s->setContext(Qt::WindowShortcut);
    connect(s, &QShortcut::activated, this, [this, undo] {
      forward([this, undo] {
        if (undo) {
          presenter_.undo();
        } else {
          presenter_.redo();
        }
      });
    });
  };
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), /*undo=*/true);
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_Y), /*undo=*/false);
  shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), /*undo=*/false);
  buttons->addStretch(1);
  column->addLayout(buttons);

  const Forward through = [this](const std::function<void()>& call) { forward(call); };
  accounts_ = new AccountPanel(presenter_, through, this);
  subAccounts_ = new SubAccountPanel(presenter_, through, this);
  departments_ = new DepartmentPanel(presenter_, through, this);
  column->addWidget(accounts_);
  column->addWidget(subAccounts_);
  column->addWidget(departments_);
  column->addStretch(1);
  installEventFilter(this);
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
QWidget* MappingScreen::lastControl() const { return departments_->lastCodeBox(); }
QWidget* MappingScreen::entryControl() const { return accounts_->firstCodeBox(); }

void MappingScreen::chainTabOrder() {
  setTabOrder(panelButtons_[2], reuse_);
  QWidget* previous = reuse_;
  for (const MappingPanel* panel :
       {static_cast<MappingPanel*>(accounts_), static_cast<MappingPanel*>(subAccounts_),
        static_cast<MappingPanel*>(departments_)}) {
    for (QWidget* w : panel->tabChain()) {
      setTabOrder(previous, w);
      previous = w;
    }
  }
}

void MappingScreen::showRows(int rows) {
  bool added = false;
  for (MappingPanel* panel :
       {static_cast<MappingPanel*>(accounts_), static_cast<MappingPanel*>(subAccounts_),
        static_cast<MappingPanel*>(departments_)})
    added = panel->showRows(rows) || added;
  if (added) {
    chainTabOrder();
    emit rowsAdded();
  }
}

int MappingScreen::rowsThatFit() const {
  // Everything but the rows: the panel buttons above, the headings of the tallest panel.
  int overhead = 0;
  for (const MappingPanel* panel :
       {static_cast<MappingPanel*>(accounts_), static_cast<MappingPanel*>(subAccounts_),
        static_cast<MappingPanel*>(departments_)})
    overhead = std::max(overhead,
                        panel->layout()->minimumSize().height() - panel->shownRows() * kRowPitch);
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

bool MappingScreen::eventFilter(QObject* /*watched*/, QEvent* event) {
  if (event->type() != QEvent::Wheel) return false;
  wheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
  return true;
}

void MappingScreen::forward(const std::function<void()>& call) {
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
  const PanelKind kinds[] = {PanelKind::Accounts, PanelKind::SubAccounts, PanelKind::Departments};
  for (size_t i = 0; i < 3; ++i) {
    const QSignalBlocker b(panelButtons_[i]);
    panelButtons_[i]->setChecked(v.visiblePanel == kinds[i]);
  }
  undo_->setEnabled(presenter_.canUndo());
  redo_->setEnabled(presenter_.canRedo());
  accounts_->setVisible(v.visiblePanel == PanelKind::Accounts);
  subAccounts_->setVisible(v.visiblePanel == PanelKind::SubAccounts);
  departments_->setVisible(v.visiblePanel == PanelKind::Departments);
  showRows(static_cast<int>(v.accounts.rows.size()));
  if (v.visiblePanel == PanelKind::Accounts) accounts_->render(v.accounts, packageName_);
  if (v.visiblePanel == PanelKind::SubAccounts) subAccounts_->render(v.subAccounts);
  if (v.visiblePanel == PanelKind::Departments) departments_->render(v.departments);
  if (presenter_.pickerOpen() && !picker_->isVisible()) picker_->open();
  picker_->render();
}

}  // namespace ledra::gui
