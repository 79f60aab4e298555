#pragma once

namespace ledra {

struct ConversionState;
class Platform;

// Writes 無効化一覧.txt into the output folder: one line "code","name" per invalidated account,
// in table order; an empty file when there is none. False on failure, without a message.
bool writeInvalidationList(ConversionState& state, Platform& platform);

}  // namespace ledra
