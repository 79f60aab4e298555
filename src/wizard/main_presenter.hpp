#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "wizard/conv_select_presenter.hpp"
#include "wizard/file_settings_presenter.hpp"
#include "wizard/mapping_presenter.hpp"

namespace ledra {

struct ConversionState;
struct PackageProfile;
class Platform;

// Window sizes and button places of one screen, in twips (the GUI divides by 15 for pixels).
struct WindowLayout {
  int formWidth = 0;
  int formHeight = 0;
  int companyLabelWidth = 0;
  int exitLeft = 0;
  int nextLeft = 0;
  int nextTop = 0;
  bool moveStatusSave = false;
  int statusSaveLeft = 0;
  int statusSaveTop = 0;
  bool operator==(const WindowLayout&) const = default;
};

WindowLayout welcomeLayout();
WindowLayout fileSettingsLayout();
WindowLayout mappingLayout();

struct MainView {
  std::string caption;
  std::string companyLabel;  // L_Company
  std::string packageLabel;  // L_Y(0)
  std::string welcomeText;   // T_Msg01
  bool firstStepVisible = false;
  bool secondStepVisible = false;
  bool thirdStepVisible = false;
  std::string nextCaption = "次へ >>";
  bool nextEnabled = false;
  bool forceCsvVisible = false;  // B_ToWriteCSV is never shown
  // B_OutputFolder: chooses another output folder; on the mapping screen only. Its tool tip
  // names the folder the files go to.
  bool outputFolderVisible = false;
  std::string outputFolder;
  WindowLayout layout;
};

// The main wizard form: start-up, the three screens and closing.
class MainPresenter {
 public:
  MainPresenter(ConversionState& state, Platform& platform);

  // The form's load. False when start-up was abandoned (the program then ends).
  bool load(StartMode mode = StartMode::Normal);
  const MainView& view() const { return view_; }

  // B_Next, whatever the screen.
  void clickNext();
  // B_StatusSave.
  void clickSave();
  // B_OutputFolder: the folder browser; a chosen folder becomes the output folder.
  void clickOutputFolder();
  // The form is about to close: true when it may. With mapping changes not yet saved the
  // question offers 保存 / 保存しない / キャンセル, and 保存 closes only after a good save.
  bool requestClose();
  // True when the mapping (or the files and folder it goes with) differs from what was last
  // saved or restored; after an import, from what the import made.
  bool hasUnsavedWork() const;

  // The file-settings screen.
  FileSettingsPresenter& fileSettings() { return fileSettings_; }
  const FileSettingsPresenter& fileSettings() const { return fileSettings_; }

  // Re-evaluates the next button.
  bool updateNextButton();

  // The mapping screen's panels and the picker.
  MappingPresenter& mapping() { return mapping_; }

  // True once start-up was abandoned (the master dialog or the folder browser cancelled).
  bool startAborted() const { return startAborted_; }

 private:
  bool loadYayoi(const PackageProfile& profile);
  bool loadBlueReturn(const PackageProfile& profile);
  std::optional<std::string> askMasterFile(const std::string& initialFolder);
  void showWelcomeLayout();
  void showMappingScreen();
  void guarded(const std::function<void()>& handler);
  void markSaved();

  ConversionState& state_;
  Platform& platform_;
  MainView view_;
  MappingPresenter mapping_;
  FileSettingsPresenter fileSettings_;
  bool startAborted_ = true;
  // The mapping as last saved, restored or imported; empty before the mapping screen.
  std::string savedMapping_;
};

}  // namespace ledra
