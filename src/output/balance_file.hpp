#pragma once

namespace ledra {

struct ConversionState;
class Platform;

// Writes zandaka.csv: the carried-over account balances, then the sub-account balances of
// valid parents. A written sub-account row without a name gets the code "999", kept in the
// table. False on any failure, with the earlier file left in place and the reason in
// lastErrorDetail.
bool writeBalanceFile(ConversionState& state, Platform& platform);

}  // namespace ledra
