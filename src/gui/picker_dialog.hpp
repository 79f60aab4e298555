#pragma once

#include <QDialog>
#include <array>
#include <functional>

#include "wizard/mapping_presenter.hpp"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace ledra::gui {

// The picker LedraItem "Ledra　勘定科目選択", modal over the main form while it is open.
// Renders the open picker of the mapping presenter and forwards its events; after each event
// `handled` runs so that the main form shows the outcome.
class PickerDialog : public QDialog {
  Q_OBJECT
 public:
  PickerDialog(MappingPresenter& presenter, std::function<void()> handled, QWidget* parent);

  // Shows the open picker's view; hides the dialog once the picker has closed.
  void render();

 protected:
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void reject() override;

 private:
  template <class F>
  void forward(F&& call);
  // The keys that move the choice through the list; true when the key was one of them.
  bool moveChoice(const QKeyEvent* key);

  MappingPresenter& presenter_;
  std::function<void()> handled_;
  QCheckBox* autoCollect_;
  QLineEdit* like_;
  QPushButton* search_;
  std::array<QRadioButton*, kPanelRows> options_{};
  std::array<QLabel*, kPanelRows> names_{};
  QScrollBar* bar_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace ledra::gui
