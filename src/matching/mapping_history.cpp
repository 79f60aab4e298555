#include "matching/mapping_history.hpp"

#include <algorithm>

namespace ledra {
namespace {

template <class Row, int32_t N>
void copyRows(const Table<Row, N>& table, std::vector<Row>& out) {
  out.assign(table.begin(), table.end());
}

// What a mapping change can alter in a row; the rest is what the import read and worked out.
// Comparing only this keeps a change at full size cheap: the columns as read were most of its
// cost. A change that altered anything else would not be undone, which the undo tests (they
// compare whole tables) would show.
bool sameMapping(const StandardAccount& a, const StandardAccount& b) { return a.taken == b.taken; }
bool sameMapping(const WorkAccount& a, const WorkAccount& b) {
  return a.valid == b.valid && a.matched == b.matched && a.ledraCode == b.ledraCode &&
         a.ledraName == b.ledraName;
}
bool sameMapping(const WorkSubAccount& a, const WorkSubAccount& b) {
  return a.newSubCode == b.newSubCode;
}
bool sameMapping(const WorkSubAccountBalance& a, const WorkSubAccountBalance& b) {
  return a.newSubCode == b.newSubCode;
}

// Rows are changed in place by the mapping; a table whose length changed (it never does
// between reset()s) is compared over the common part.
template <class Row, int32_t N, class Change>
void collect(const Table<Row, N>& table, std::vector<Row>& kept, std::vector<Change>& changes) {
  const int32_t n = std::min<int32_t>(table.count(), static_cast<int32_t>(kept.size()));
  for (int32_t i = 0; i < n; ++i) {
    const Row& now = table[i];
    Row& before = kept[static_cast<size_t>(i)];
    if (sameMapping(now, before)) continue;
    changes.push_back({i, before, now});
    before = now;
  }
}

template <class Row, int32_t N, class Change>
void put(const std::vector<Change>& changes, bool forward, Table<Row, N>& table,
         std::vector<Row>& kept) {
  for (const Change& c : changes) {
    if (c.row >= table.count()) continue;
    const Row& value = forward ? c.after : c.before;
    table[c.row] = value;
    kept[static_cast<size_t>(c.row)] = value;
  }
}

}  // namespace

void MappingHistory::reset(const ConversionData& data) {
  copyRows(data.standardAccounts, standardAccounts_);
  copyRows(data.workAccounts, accounts_);
  copyRows(data.workSubAccounts, subAccounts_);
  copyRows(data.workSubAccountBalances, subAccountBalances_);
  steps_.clear();
  undone_ = 0;
}

bool MappingHistory::record(const ConversionData& data) {
  Step step;
  collect(data.standardAccounts, standardAccounts_, step.standardAccounts);
  collect(data.workAccounts, accounts_, step.accounts);
  collect(data.workSubAccounts, subAccounts_, step.subAccounts);
  collect(data.workSubAccountBalances, subAccountBalances_, step.subAccountBalances);
  if (step.empty()) return false;
  steps_.resize(steps_.size() - undone_);
  undone_ = 0;
  steps_.push_back(std::move(step));
  if (steps_.size() > kMaxSteps) steps_.erase(steps_.begin());
  return true;
}

void MappingHistory::apply(const Step& step, bool forward, ConversionData& data) {
  put(step.standardAccounts, forward, data.standardAccounts, standardAccounts_);
  put(step.accounts, forward, data.workAccounts, accounts_);
  put(step.subAccounts, forward, data.workSubAccounts, subAccounts_);
  put(step.subAccountBalances, forward, data.workSubAccountBalances, subAccountBalances_);
}

bool MappingHistory::undo(ConversionData& data) {
  // Whatever changed since the last step becomes a step first, so that undo takes back the
  // latest change and never loses one silently.
  record(data);
  if (!canUndo()) return false;
  ++undone_;
  apply(steps_[steps_.size() - undone_], /*forward=*/false, data);
  return true;
}

bool MappingHistory::redo(ConversionData& data) {
  // A change made after the undo ends what can be redone.
  if (record(data) || !canRedo()) return false;
  apply(steps_[steps_.size() - undone_], /*forward=*/true, data);
  --undone_;
  return true;
}

}  // namespace ledra
