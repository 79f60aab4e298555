#include "gui/picker_dialog.hpp"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <optional>

#include "gui/focus_mark.hpp"
#include "gui/widget_names.hpp"
#include "matching/wheel_scroll.hpp"

namespace ledra::gui {

namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

PickerDialog::PickerDialog(MappingPresenter& presenter, std::function<void()> handled,
                           QWidget* parent)
    : QDialog(parent), presenter_(presenter), handled_(std::move(handled)) {
  setObjectName("LedraItem");
  setWindowModality(Qt::WindowModal);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  // The focus is marked from the start, not only after the first Tab.
  setAttribute(Qt::WA_KeyboardFocusChange);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(10, 10, 10, 10);
  column->setSpacing(6);

  autoCollect_ = new QCheckBox("候補自動検出", this);
  autoCollect_->setObjectName("C_AutoCollect");
  column->addWidget(autoCollect_);
  auto* searchRow = new QHBoxLayout;
  like_ = new QLineEdit(this);
  like_->setObjectName("T_Like");
  like_->setFixedHeight(24);
  search_ = new QPushButton("検索", this);
  search_->setObjectName("B_Like");
  search_->setFixedHeight(24);
  search_->setAutoDefault(true);
  searchRow->addWidget(like_, 1);
  searchRow->addWidget(search_);
  column->addLayout(searchRow);

  auto* item = new QFrame(this);
  item->setObjectName("F_Item");
  item->setFrameShape(QFrame::StyledPanel);
  auto* grid = new QGridLayout(item);
  grid->setContentsMargins(6, 4, 2, 4);
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(0);
  for (int i = 0; i < kPanelRows; ++i) {
    auto* o = new QRadioButton(item);
    o->setObjectName(arrayName("Op_Code", i));
    o->setAutoExclusive(false);  // the view says which one is chosen, or none
    o->setMinimumWidth(70);
    o->setFixedHeight(22);
    auto* n = new QLabel(item);
    n->setObjectName(arrayName("KName", i));
    n->setMinimumWidth(200);
    grid->addWidget(o, i, 0);
    grid->addWidget(n, i, 1);
    options_[static_cast<size_t>(i)] = o;
    names_[static_cast<size_t>(i)] = n;
    connect(o, &QRadioButton::clicked, this,
            [this, i] { forward([this, i] { presenter_.picker()->select(i); }); });
    o->installEventFilter(this);
    n->installEventFilter(this);
  }
  bar_ = new QScrollBar(Qt::Vertical, item);
  bar_->setObjectName("VScroll_LedraItem");
  bar_->setSingleStep(1);
  bar_->setPageStep(kPanelRows);
  grid->addWidget(bar_, 0, 2, kPanelRows, 1);
  grid->setColumnStretch(1, 1);
  item->installEventFilter(this);
  bar_->installEventFilter(this);
  column->addWidget(item, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  ok_ = new QPushButton("OK", this);
  ok_->setObjectName("B_Exec");
  cancel_ = new QPushButton("キャンセル", this);
  cancel_->setObjectName("B_Cancel");
  for (QPushButton* b : {ok_, cancel_}) {
    b->setMinimumWidth(88);
    b->setAutoDefault(true);
    buttons->addWidget(b);
  }
  ok_->setDefault(true);
  column->addLayout(buttons);
  // The wheel moves the list wherever the pointer is over the dialog; the keys are watched on
  // the controls that would otherwise take them.
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);

  connect(autoCollect_, &QCheckBox::clicked, this, [this](bool ticked) {
    forward([this, ticked] { presenter_.picker()->setAutoCollect(ticked); });
  });
  connect(like_, &QLineEdit::textEdited, this, [this](const QString& text) {
    forward([this, text] { presenter_.picker()->setSearchText(text.toStdString()); });
  });
  connect(like_, &QLineEdit::returnPressed, this,
          [this] { forward([this] { presenter_.picker()->search(); }); });
  connect(search_, &QPushButton::clicked, this,
          [this] { forward([this] { presenter_.picker()->search(); }); });
  connect(bar_, &QScrollBar::valueChanged, this,
          [this](int value) { forward([this, value] { presenter_.picker()->scrollTo(value); }); });
  connect(ok_, &QPushButton::clicked, this, [this] {
    presenter_.confirmPicker();
    handled_();
  });
  connect(cancel_, &QPushButton::clicked, this, &PickerDialog::reject);
}

template <class F>
void PickerDialog::forward(F&& call) {
  if (presenter_.picker() == nullptr) return;
  call();
  render();
}

void PickerDialog::reject() {
  // キャンセル, Escape or the window closed: nothing changes.
  presenter_.closePicker();
  handled_();
}

bool PickerDialog::moveChoice(const QKeyEvent* key) {
  const bool ctrl = key->modifiers().testFlag(Qt::ControlModifier);
  std::optional<RowKey> step;
  switch (key->key()) {
    case Qt::Key_Up:
      step = RowKey::Up;
      break;
    case Qt::Key_Down:
      step = RowKey::Down;
      break;
    case Qt::Key_PageUp:
      step = RowKey::PageUp;
      break;
    case Qt::Key_PageDown:
      step = RowKey::PageDown;
      break;
    case Qt::Key_Home:
      if (ctrl) step = RowKey::First;
      break;
    case Qt::Key_End:
      if (ctrl) step = RowKey::Last;
      break;
    default:
      break;
  }
  if (!step) return false;
  const RowKey k = *step;
  forward([this, k] { presenter_.picker()->moveSelection(k); });
  // The focus follows the choice, so that its mark shows where Enter will take.
  if (const PickerPresenter* p = presenter_.picker()) {
    const int32_t row = p->view().selectedRow;
    if (row >= 0 && row < kPanelRows) options_[static_cast<size_t>(row)]->setFocus();
  }
  return true;
}

void PickerDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The keys start in the search box: type to narrow the list, Down to choose, Enter for OK.
  like_->setFocus(Qt::OtherFocusReason);
  activateWindow();
}

void PickerDialog::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    // Enter outside the buttons is OK for the row chosen; with none chosen it does nothing.
    presenter_.pressEnterInPicker();
    handled_();
    return;
  }
  if (moveChoice(event)) return;
  QDialog::keyPressEvent(event);
}

bool PickerDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    // Enter in the search box searches (returnPressed); it does not also press OK.
    if (watched == like_ && enter) {
      emit like_->returnPressed();
      return true;
    }
    // The buttons would move the focus among themselves on the arrow keys: here the arrows
    // move the choice, whichever control has the focus.
    return moveChoice(key);
  }
  if (event->type() == QEvent::Wheel) {
    const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
    if (delta != 0) forward([this, delta] { presenter_.picker()->wheel(delta); });
    return true;
  }
  if (event->type() == QEvent::MouseButtonDblClick) {
    for (int i = 0; i < kPanelRows; ++i) {
      if (watched == options_[static_cast<size_t>(i)] ||
          watched == names_[static_cast<size_t>(i)]) {
        presenter_.doubleClickPickerRow(i);
        handled_();
        return true;
      }
    }
  }
  return false;
}

void PickerDialog::render() {
  const PickerPresenter* p = presenter_.picker();
  if (p == nullptr) {
    if (isVisible()) QDialog::done(QDialog::Rejected);
    return;
  }
  const PickerView& v = p->view();
  setWindowTitle(q(v.caption));
  {
    const QSignalBlocker b(autoCollect_);
    autoCollect_->setChecked(v.autoCollect);
  }
  if (like_->text() != q(v.searchText)) {
    const QSignalBlocker b(like_);
    like_->setText(q(v.searchText));
  }
  for (size_t i = 0; i < v.rows.size(); ++i) {
    const PickerRowView& row = v.rows[i];
    QRadioButton* o = options_[i];
    const QSignalBlocker b(o);
    o->setText(q(row.code));
    o->setEnabled(row.enabled);
    o->setChecked(static_cast<int32_t>(i) == v.selectedRow);
    o->setVisible(!row.code.empty() || !row.name.empty());
    names_[i]->setText(q(row.name));
    names_[i]->setEnabled(row.enabled);
  }
  const QSignalBlocker b(bar_);
  bar_->setMaximum(v.scrollMax);
  bar_->setValue(v.scrollValue);
}

void PickerDialog::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  keepFocusMark(this, event);
}

}  // namespace ledra::gui
