#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/text_index.hpp"
#include "state/conversion_state.hpp"

namespace ledra {

// An account's mapping (its service code and name, 無効) is kept on the account alone; its
// balance rows and its sub-accounts find the account when they need it, so a mapping change
// touches one row and nothing can disagree with it.
//
// A balance row belongs to the first account with its source code and name (the one the
// import linked it to); a sub-account and a sub-account balance row to the account of their
// group number. Build the links once for a pass, on one thread: they hold indexes, not copies,
// and stay right through mapping changes, but not through an import or a restore.
class AccountLinks {
 public:
  explicit AccountLinks(const ConversionData& data);

  const WorkAccount* accountOf(const WorkAccountBalance& row) const;
  const WorkAccount* parentOf(int32_t subAccountGroupNo) const;
  const WorkAccount* parentOf(const WorkSubAccount& s) const {
    return parentOf(s.subAccountGroupNo);
  }
  const WorkAccount* parentOf(const WorkSubAccountBalance& row) const {
    return parentOf(row.subAccountGroupNo);
  }

  // What the rows used to hold as copies: empty, or false, without an account.
  const std::string& ledraCodeOf(const WorkAccountBalance& row) const;
  const std::string& ledraNameOf(const WorkAccountBalance& row) const;
  bool validOf(const WorkAccountBalance& row) const;
  bool matchedOf(const WorkAccountBalance& row) const;
  template <class Row>
  const std::string& parentLedraCodeOf(const Row& row) const {
    const WorkAccount* a = parentOf(row);
    return a ? a->ledraCode : kNone;
  }
  template <class Row>
  const std::string& parentLedraNameOf(const Row& row) const {
    const WorkAccount* a = parentOf(row);
    return a ? a->ledraName : kNone;
  }

 private:
  static const std::string kNone;

  const ConversionData& data_;
  // Made at the first balance row asked about: the readiness rule, run after every change,
  // asks only about groups.
  mutable std::optional<TextIndex> byCodeAndName_;
  std::vector<int32_t> byGroup_;  // account index + 1 per group number; 0 for none
};

}  // namespace ledra
