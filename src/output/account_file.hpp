#pragma once

namespace ledra {

struct ConversionState;
class Platform;

// Writes kanjyo.csv: one record per account that is selected and not invalidated. False on
// any failure, with the earlier file left in place and the reason in lastErrorDetail.
bool writeAccountFile(ConversionState& state, Platform& platform);

}  // namespace ledra
