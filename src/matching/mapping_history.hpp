#pragma once

#include <cstdint>
#include <vector>

#include "state/conversion_state.hpp"

namespace ledra {

// Undo and redo of the mapping: every change the mapping screen makes (a code, a cleared code,
// 無効, a sub-account code, a whole reuse) becomes one step. A step keeps only the rows it
// changed, before and after, so a full chart of accounts costs one comparison pass per change
// and memory in proportion to what changed.
//
// The history keeps a copy of the mapping tables as the last step left them; record() compares
// the state with it. Anything that replaces the tables (an import, a restore) calls reset().
class MappingHistory {
 public:
  // Forgets every step and takes the state as the new starting point.
  void reset(const ConversionData& data);

  // Records the changes since the last step as one step; false (nothing recorded) when no
  // mapping row changed. A new step drops what could be redone.
  bool record(const ConversionData& data);

  bool canUndo() const { return undone_ < steps_.size(); }
  bool canRedo() const { return undone_ > 0; }

  // Puts the rows back as they were before the latest step still done (after the latest step
  // undone); false when there is none.
  bool undo(ConversionData& data);
  bool redo(ConversionData& data);

  // Steps kept; the oldest are forgotten beyond this.
  static constexpr size_t kMaxSteps = 200;

 private:
  template <class Row>
  struct RowChange {
    int32_t row = 0;
    Row before;
    Row after;
  };
  struct Step {
    std::vector<RowChange<StandardAccount>> standardAccounts;
    std::vector<RowChange<WorkAccount>> accounts;
    std::vector<RowChange<WorkSubAccount>> subAccounts;
    std::vector<RowChange<WorkSubAccountBalance>> subAccountBalances;
    bool empty() const {
      return standardAccounts.empty() && accounts.empty() && subAccounts.empty() &&
             subAccountBalances.empty();
    }
  };

  void apply(const Step& step, bool forward, ConversionData& data);

  // The mapping tables as the last recorded (or undone/redone) step left them.
  std::vector<StandardAccount> standardAccounts_;
  std::vector<WorkAccount> accounts_;
  std::vector<WorkSubAccount> subAccounts_;
  std::vector<WorkSubAccountBalance> subAccountBalances_;

  // Oldest first; the last undone_ of them are undone and may be redone.
  std::vector<Step> steps_;
  size_t undone_ = 0;
};

}  // namespace ledra
