#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "state/package_profile.hpp"

namespace ledra {

struct ConversionState;
class Platform;

// The journal period boxes, in the order the screen shows them.
enum class PeriodField { StartYear, StartMonth, StartDay, EndYear, EndMonth, EndDay };

struct FileSettingsView {
  SourceFiles fileNames;              // T_FileName(slot): text and tool tip
  std::string folderName;             // T_ForderName: text and tool tip
  std::string masterFile;             // T_ConvF: text and tool tip
  std::array<std::string, 6> period;  // S_Year .. E_Day, as typed
  bool yayoiInputVisible = true;      // F_Input
  bool blueInputVisible = false;      // F_Input_Blue
  bool taxOptionsVisible = true;      // F_SZ
};

// The file-settings screen: the source-file and output-folder boxes kept in step with the
// state, the file and folder choosers, and the journal period of ブルーリターンＡ.
class FileSettingsPresenter {
 public:
  // updateNextButton is the wizard's readiness rule, run after each chooser.
  FileSettingsPresenter(ConversionState& state, Platform& platform,
                        std::function<void()> updateNextButton);

  const FileSettingsView& view() const { return view_; }

  // Copies the state's paths and period into the boxes.
  void refresh();
  // Shows the frame of the state's package (弥生会計 or ブルーリターンＡ).
  void showPackageFrames();

  // T_FileName(slot) / T_ForderName changed by typing. The readiness is not re-evaluated.
  void setFileName(SourceFile file, const std::string& text);
  void setFolderName(const std::string& text);

  // B_SelectFile(slot): the open dialog; for the account list the 自動定義 offer. A failure
  // inside is reported, and the readiness is looked at again.
  void clickSelectFile(SourceFile file);
  // B_SelectForder: the folder browser. A folder holding the package's source files also fills
  // the source rows from them, found by what they hold.
  void clickSelectFolder();
  // Folders or files dropped on the screen: each row they can fill is filled by content.
  void dropPaths(const std::vector<std::string>& paths);

  // A period box changed by typing; nothing else happens until the period rule runs.
  void setPeriodText(PeriodField field, const std::string& text);
  // 仕訳期間指定: Enter in, or leaving, S_Mon or S_Day. False when the start date was refused.
  bool applyPeriod();
  // All six boxes by numeric value into JournalPeriod, as the import reads them.
  void commitPeriod();

 private:
  void setFile(SourceFile file, const std::string& path);
  void selectFile(SourceFile file);
  void setFolder(const std::string& path);
  void showStoredPeriod();
  // Fills the source rows from a folder; `quietWhenNone` for a folder chosen only as output.
  void fillFromFolder(const std::string& folder, bool quietWhenNone);
  void fillFromFiles(const std::vector<std::string>& paths);
  void fillBlueFromFolder(const std::string& folder, bool quietWhenNone);

  ConversionState& state_;
  Platform& platform_;
  std::function<void()> updateNextButton_;
  FileSettingsView view_;
};

}  // namespace ledra
