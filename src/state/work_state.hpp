#pragma once

#include <string>

#include "platform/file_lock.hpp"

namespace ledra {

struct ConversionState;
class Platform;

// Saving and restoring the work-state file with its dialogs and messages.

enum class SaveResult { Saved, Cancelled, Failed };

// The "作業状態を保存" button: asks for the file, saves, and reports. Failed means the failure
// has been shown.
SaveResult saveWorkState(ConversionState& state, Platform& platform);

// Saves without a dialog. A text that the format cannot carry (a line break anywhere, a path
// CP932 cannot hold) refuses the save before anything is written; an open or write
// error leaves any earlier file as it was. Both show the failure message; success shows nothing and
// sets WorkStateFile.
bool saveWorkStateToFile(ConversionState& state, Platform& platform, const std::string& path);

// A save never replaces a folder or one of the files the state reads (the master, the reports,
// the journal): false, with the save failure message, for such a target.
bool checkWorkStateTarget(const ConversionState& state, Platform& platform,
                          const std::string& path);

// Takes the work-state file's lock for a read-modify-write (or a save); when another run holds
// it past a short wait, says so and returns false.
bool lockWorkStateFile(Platform& platform, const std::string& path, FileLock& lock);

// The "保存データを読込む" button: asks for the file and restores it. False when the dialog was
// cancelled (silently) or the file was refused (with a message). The caller reports success.
bool restoreWorkState(ConversionState& state, Platform& platform);

// Restores without a dialog. A missing file is named and changes nothing. A file that is not a
// complete, well-formed work-state file is refused: the message is shown, every table is
// emptied and the settings stay as they were.
// On success the saved tables and settings replace the state's, and the derived lists
// (sub-account group codes, SubAccountIndex, StandardAccountCandidates, ParentAccountChoices)
// are rebuilt with every Taken flag False.
bool restoreWorkStateFromFile(ConversionState& state, Platform& platform, const std::string& path);

}  // namespace ledra
