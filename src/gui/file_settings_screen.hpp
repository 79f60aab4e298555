#pragma once

#include <QGroupBox>
#include <array>

#include "wizard/file_settings_presenter.hpp"

class QLineEdit;
class QPushButton;
class QRadioButton;
class QCheckBox;
class QGridLayout;
class QDragEnterEvent;
class QDropEvent;

namespace ledra::gui {

// The frame F_2ndStep "ファイル設定": renders the file-settings presenter's view and forwards
// typing, the 参照 buttons and the period boxes to it.
class FileSettingsScreen : public QGroupBox {
  Q_OBJECT
 public:
  explicit FileSettingsScreen(FileSettingsPresenter& presenter, QWidget* parent = nullptr);

  void render();
  // The first and last controls, for the form's tab order.
  QWidget* firstControl() const;
  QWidget* lastControl() const;

 signals:
  // A chooser ran: the wizard's buttons may have changed.
  void readinessChanged();

 protected:
  // Folders and files dropped anywhere on the screen fill the rows they can.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QGroupBox* buildYayoiFrame();
  QGroupBox* buildBlueFrame();
  QGroupBox* buildResultFrame();
  QGroupBox* buildPatternFrame();
  // The package's rows, from the grid's second row on.
  void addFileRows(QGridLayout* grid, SourcePackage package);
  void addFileRow(QGridLayout* grid, int row, const SourceSlot& slot);
  void setText(QLineEdit* box, const std::string& text);

  FileSettingsPresenter& presenter_;
  QGroupBox* yayoi_ = nullptr;
  QGroupBox* blue_ = nullptr;
  QGroupBox* tax_ = nullptr;
  PerSourceFile<QLineEdit*> files_;
  PerSourceFile<QPushButton*> selectFile_;
  std::array<QLineEdit*, 6> period_{};
  QLineEdit* folder_ = nullptr;
  QPushButton* selectFolder_ = nullptr;
  QLineEdit* master_ = nullptr;
  QPushButton* selectMaster_ = nullptr;
};

}  // namespace ledra::gui
