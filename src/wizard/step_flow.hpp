#pragma once

#include <string>
#include <vector>

// The mapping rules evaluateNextButton applies, for the callers that include this header.
#include "matching/readiness.hpp"
#include "state/step_result.hpp"

namespace ledra {

struct ConversionState;
class Platform;

enum class StepOutcome { Done, Cancelled, Failed };

// The 読込 step of the file-settings screen for 弥生会計: existence checks, the imports in
// their fixed order, the output-folder check. Shows its own messages; stops at the first
// failure and returns it.
StepResult runYayoiImportStep(ConversionState& state, Platform& platform);

// The 読込 step for ブルーリターンＡ: existence checks (account file, the basic-information
// file beside it, journal, output folder), the journal period's start date, the settings and
// account file with their classification, then the journal expanded into the intermediate
// file. Shows its own messages; stops at the first failure and returns it.
StepResult runBlueReturnImportStep(ConversionState& state, Platform& platform);

// Runs the import step of the state's package: the one of its reader, 弥生会計's when none is
// chosen.
StepResult runImportStep(ConversionState& state, Platform& platform);

// The 変換 step of the mapping screen: optional confirmation, the journal read again, every
// writer in order, the invalidation list and the archive. Shows its own messages. With
// atWindow (a person answers), a journal or output folder that has gone is asked for anew
// before anything is read, and the closing message names the output folder and the archive.
StepOutcome runOutputStep(ConversionState& state, Platform& platform, bool askConfirmation,
                          bool atWindow = false);

// The files the mapping screen still reads — the journal and the output folder — when they have
// moved since they were chosen (restored work from another place): each missing one is named
// and its new place asked for; other missing source files found beside the new journal follow
// it. False when one is still missing (the user declined); the mapping is never touched.
bool relocateMissingInputs(ConversionState& state, Platform& platform);

// The place of a run's files, and the question that lets the user choose it again.
inline constexpr const char* kOutputFolderPrompt = "フォルダーを選択してください";

// The readiness rule of the next button for the current screen.
bool evaluateNextButton(const ConversionState& state);

// "pathが存在しません。", plus a line naming what stands there instead when something does
// (a folder where a file is expected, or a file where a folder is).
std::string missingMessage(const std::string& path, bool folder);

// The message, plus the failure's detail on a second line when there is one.
std::string failureWithDetail(const std::string& first, const ErrorDetail& detail);

// Clears the hourglass when a handler ends, however it ends.
class BusyGuard {
 public:
  explicit BusyGuard(Platform& platform);
  ~BusyGuard();
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;

 private:
  Platform& platform_;
};

}  // namespace ledra
