#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ledra {

struct ConversionState;
class Platform;

struct ReuseSummary {
  int32_t accounts = 0;              // standard-account codes applied
  int32_t subAccounts = 0;           // sub-account codes applied
  int32_t invalidations = 0;         // accounts invalidated
  std::vector<std::string> refused;  // one Japanese line per decision that could not be taken
  std::vector<std::string> lines() const;
};

// Takes over the decisions of another work state for what is still open here:
// - an account without a code and not invalidated gets the code the first account of the same
//   name (blanks ignored) has there, when that code is a standard account here and no account
//   here carries it, or is invalidated when that account is (an account in use stays valid);
// - a sub-account whose code is still the one the import gave it gets the code the sub-account
//   of the same parent name and name has there, unless another sub-account of its parent
//   carries that code.
// Codes and names are taken from this state's chart. Nothing decided here changes.
ReuseSummary reuseMappings(ConversionState& state, Platform& platform,
                           const ConversionState& other);

}  // namespace ledra
