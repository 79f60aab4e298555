#pragma once

#include <string>
#include <vector>

namespace ledra {

struct ConversionState;
class Platform;

// One change of the map command, applied as the mapping screen would apply it.
struct MapChange {
  enum Kind { Set, Invalidate, Validate, SubCode } kind;
  std::string sourceCode;  // the account (for SubCode: the parent account)
  std::string value;       // Set: the standard-account code; SubCode: the new code
  std::string subAccount;  // SubCode: the sub-account name
};

// "SOURCECODE=LEDRACODE"; throws std::invalid_argument when malformed.
MapChange parseSetChange(const std::string& text);
// "SOURCECODE/SUBNAME=CODE"; throws std::invalid_argument when malformed.
MapChange parseSubCodeChange(const std::string& text);

// Applies the changes in order; stops at the first refusal (its message has been shown).
bool applyMapChanges(ConversionState& state, Platform& platform,
                     const std::vector<MapChange>& changes);

// `suggest`: for every account still to be mapped, its source code and name and up to three
// suggestions (code, name, score), tab-separated.
std::vector<std::string> suggestionLines(const ConversionState& state);

}  // namespace ledra
