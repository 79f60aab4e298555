#pragma once

namespace ledra {

struct ConversionState;
class Platform;

// Writes hojokamoku.csv: one record per sub-account. False on any failure, with the earlier
// file left in place and the reason in lastErrorDetail.
bool writeSubAccountFile(ConversionState& state, Platform& platform);

}  // namespace ledra
