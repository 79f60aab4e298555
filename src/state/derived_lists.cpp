#include "state/derived_lists.hpp"

#include "state/conversion_state.hpp"

namespace ledra {

void rebuildDerivedLists(ConversionState& state) { rebuildStandardAccountCandidates(state); }

void rebuildStandardAccountCandidates(ConversionState& state) {
  state.standardAccountCandidates.clear();
  for (const StandardAccount& a : state.standardAccounts) {
    if (a.ledraCode.empty() || a.ledraName.empty()) continue;
    state.standardAccountCandidates.append({a.ledraCode, a.ledraName, false});
  }
}

}  // namespace ledra
