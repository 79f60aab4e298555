#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "state/step_result.hpp"

namespace ledra {

struct ConversionState;
class Journal;
class Platform;

inline constexpr const char* kLocationBlueJournal = "P3:0008";
inline constexpr size_t kBlueRecordSize = 89;

// Expands ブルーリターンＡ's binary journal (89-byte records) into the intermediate journal
// file, "yyyymmddhhmmss中間仕訳データ.txt" in outputFolder, written in the row layout of the
// 弥生会計 journal export so that the journal import reads it. Takes the records of status 0
// dated inside the journal period as typed entries, marks the accounts in use, fills
// JournalRows and points the journal source file at the new file. Nothing is written on any
// failure.
StepResult expandBlueJournal(ConversionState& state, Platform& platform, const std::string& path,
                             const std::string& outputFolder);

// The intermediate journal's text (UTF-8, one CR LF line of 29 quoted fields per entry).
std::string intermediateJournalText(const Journal& journal);

// The 8 bytes as a little-endian IEEE 754 double, rounded half to even to a 32-bit integer;
// nothing when it is no number or 2^31 or more in magnitude.
std::optional<int32_t> decodeBlueAmount(std::string_view eightBytes);

// The description field as the journal carries it: half-width spaces removed, tabs turned into
// spaces, CR LF pairs removed.
std::string cleanBlueDescription(std::string_view text);

}  // namespace ledra
