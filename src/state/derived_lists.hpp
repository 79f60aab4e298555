#pragma once

namespace ledra {

struct ConversionState;

// Every list the state works out from its saved data, as a restore needs them: the
// candidates with every Taken flag False.
void rebuildDerivedLists(ConversionState& state);

// StandardAccountCandidates = the standard accounts with both a code and a name, in order.
void rebuildStandardAccountCandidates(ConversionState& state);

}  // namespace ledra
