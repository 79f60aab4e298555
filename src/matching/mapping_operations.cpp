#include "matching/mapping_operations.hpp"

#include <unordered_map>
#include <vector>

#include "base/text.hpp"
#include "matching/sub_account_lists.hpp"
#include "platform/cp932.hpp"
#include "platform/platform.hpp"
#include "state/account_links.hpp"
#include "state/conversion_state.hpp"

namespace ledra {
namespace {

MappingResult refused(MappingRefusal why) { return {MappingOutcome::Refused, why}; }

bool validAccountIndex(const ConversionState& state, int32_t index) {
  return index >= 0 && index < state.workAccounts.count();
}

// The batch's index, when one lives; each list in the tables' order.
thread_local const MappingBatch::Rows* tBatch = nullptr;

}  // namespace

struct MappingBatch::Rows {
  std::unordered_map<int32_t, std::vector<int32_t>> subBalancesOfGroup;
};

MappingBatch::MappingBatch(const ConversionState& state)
    : rows_(std::make_unique<Rows>()), previous_(tBatch) {
  for (int32_t i = 0; i < state.workSubAccountBalances.count(); ++i)
    rows_->subBalancesOfGroup[state.workSubAccountBalances[i].subAccountGroupNo].push_back(i);
  tBatch = rows_.get();
}

MappingBatch::~MappingBatch() { tBatch = previous_; }

namespace {

// Calls f on every row of the table that the index lists under the key, or, without a batch,
// on every row that `belongs` says is one of them; in the tables' order either way.
template <class Table, class Index, class Key, class Belongs, class F>
void forEachRow(Table& table, const Index* index, const Key& key, Belongs belongs, F f) {
  if (index) {
    if (const auto it = index->find(key); it != index->end())
      for (int32_t i : it->second) f(table[i]);
    return;
  }
  for (auto& row : table)
    if (belongs(row)) f(row);
}

void setMapping(ConversionState& state, int32_t accountIndex, std::string_view code,
                std::string_view name) {
  WorkAccount& account = state.workAccounts[accountIndex];
  account.ledraCode = code;
  account.ledraName = name;
  account.matched = matchedByRule(account.valid, account.ledraCode, account.ledraName);
}

const StandardAccountCandidate* findCandidate(const ConversionState& state, std::string_view code) {
  for (const StandardAccountCandidate& c : state.standardAccountCandidates)
    if (c.ledraCode == code) return &c;
  return nullptr;
}

}  // namespace

bool matchedByRule(bool valid, std::string_view ledraCode, std::string_view ledraName) {
  return !valid || (!ledraCode.empty() && !ledraName.empty());
}

std::optional<int32_t> findAccountBySourceCode(const ConversionState& state,
                                               std::string_view sourceCode) {
  for (int32_t i = 0; i < state.workAccounts.count(); ++i)
    if (state.workAccounts[i].sourceCode == sourceCode) return i;
  return std::nullopt;
}

std::optional<int32_t> findAccountUsingCode(const ConversionState& state,
                                            std::string_view ledraCode) {
  for (int32_t i = 0; i < state.workAccounts.count(); ++i)
    if (state.workAccounts[i].ledraCode == ledraCode) return i;
  return std::nullopt;
}

bool refuseUsedCode(const ConversionState& state, Platform& platform, std::string_view ledraCode) {
  if (!findAccountUsingCode(state, ledraCode)) return false;
  std::string text{kMsgCodeUsedPrefix};
  text += ledraCode;
  text += kMsgCodeUsedSuffix;
  platform.message(text, std::string{kTitleError}, MsgButtons::Ok);
  return true;
}

MappingResult assignStandardAccount(ConversionState& state, int32_t accountIndex,
                                    std::string_view ledraCode, std::string_view ledraName) {
  if (!validAccountIndex(state, accountIndex)) return refused(MappingRefusal::NoSuchAccount);
  setMapping(state, accountIndex, ledraCode, ledraName);
  return {};
}

MappingResult clearStandardAccount(ConversionState& state, int32_t accountIndex) {
  return assignStandardAccount(state, accountIndex, {}, {});
}

MappingResult decideAccountCode(ConversionState& state, Platform& platform, int32_t accountIndex,
                                std::string_view typedCode) {
  if (!validAccountIndex(state, accountIndex)) return refused(MappingRefusal::NoSuchAccount);
  const std::string code = toUpperLatin(removeBlanks(typedCode));
  if (code.empty()) return clearStandardAccount(state, accountIndex);

  // The account itself counts too: re-deciding its own code is refused like any other use.
  if (refuseUsedCode(state, platform, code)) return refused(MappingRefusal::CodeInUse);

  const StandardAccountCandidate* candidate = findCandidate(state, code);
  if (candidate == nullptr) {
    platform.message(std::string{kMsgNoCandidate}, std::string{kTitleRefused}, MsgButtons::Ok);
    return refused(MappingRefusal::NoCandidate);
  }
  std::string question{kMsgConfirmPrefix};
  question += candidate->ledraName;
  question += kMsgConfirmSuffix;
  if (platform.message(question, std::string{kTitleConfirm}, MsgButtons::OkCancel) != MsgResult::Ok)
    return {MappingOutcome::Cancelled, MappingRefusal::None};
  setMapping(state, accountIndex, code, candidate->ledraName);
  return {};
}

MappingResult enterAccountCode(ConversionState& state, Platform& platform, int32_t accountIndex,
                               std::string_view typedText) {
  if (!validAccountIndex(state, accountIndex)) return refused(MappingRefusal::NoSuchAccount);
  // The box compares the blank-free text with the stored code before Enter upper-cases it.
  const std::string text = removeBlanks(typedText);
  if (!text.empty() && text == state.workAccounts[accountIndex].ledraCode)
    return {MappingOutcome::Unchanged, MappingRefusal::None};
  return decideAccountCode(state, platform, accountIndex, text);
}

MappingResult setAccountValid(ConversionState& state, Platform& platform, int32_t accountIndex,
                              bool valid) {
  if (!validAccountIndex(state, accountIndex)) return refused(MappingRefusal::NoSuchAccount);
  WorkAccount& account = state.workAccounts[accountIndex];
  if (!valid && account.inUse) {
    platform.message(std::string{kMsgAccountInUse}, std::string{kTitleError}, MsgButtons::Ok);
    return refused(MappingRefusal::AccountInUse);
  }
  account.valid = valid;
  account.matched = matchedByRule(account.valid, account.ledraCode, account.ledraName);
  return {};
}

MappingResult toggleAccountValid(ConversionState& state, Platform& platform, int32_t accountIndex) {
  if (!validAccountIndex(state, accountIndex)) return refused(MappingRefusal::NoSuchAccount);
  return setAccountValid(state, platform, accountIndex, !state.workAccounts[accountIndex].valid);
}

MappingResult chooseParentAccount(const ConversionState& state, SubAccountLists& lists,
                                  int32_t choiceIndex) {
  const int32_t i = choiceIndex < 0 ? 0 : choiceIndex;
  if (i >= lists.parentChoices.count()) return refused(MappingRefusal::NoSuchChoice);
  const ParentAccountChoice choice = lists.parentChoices[i];

  if (choice.ledraName == kAllSubAccountsChoice) {
    listAllSubAccounts(state, lists);
  } else {
    lists.entries.clear();
    std::string parentName;
    std::string parentCode;
    const AccountLinks links(state);
    for (int32_t row = 0; row < state.workSubAccounts.count(); ++row) {
      const WorkSubAccount& sub = state.workSubAccounts[row];
      if (sub.subAccountGroupNo == 0 || sub.subAccountGroupNo != choice.groupNo) continue;
      lists.entries.append({sub.newSubCode, sub.subAccountName, row});
      parentName = sub.parentName();
      parentCode = links.parentLedraCodeOf(sub);
    }
    lists.parentName = parentName;
    lists.parentCode = parentCode;
  }
  return {};
}

std::optional<int32_t> findParentAccountChoice(const ConversionState& state,
                                               const SubAccountLists& lists, int32_t accountIndex) {
  if (!validAccountIndex(state, accountIndex)) return std::nullopt;
  const int32_t group = state.workAccounts[accountIndex].subAccountGroupNo;
  if (group == 0) return std::nullopt;
  // Entry 0 is "全て表示"; the parents follow it.
  for (int32_t i = 1; i < lists.parentChoices.count(); ++i)
    if (lists.parentChoices[i].groupNo == group) return i;
  return std::nullopt;
}

std::optional<int32_t> findSubAccountRow(const ConversionState& state,
                                         std::string_view parentSourceCode,
                                         std::string_view subAccountName) {
  const std::optional<int32_t> parent = findAccountBySourceCode(state, parentSourceCode);
  if (!parent) return std::nullopt;
  const int32_t group = state.workAccounts[*parent].subAccountGroupNo;
  if (group == 0) return std::nullopt;
  for (int32_t row = 0; row < state.workSubAccounts.count(); ++row) {
    const WorkSubAccount& sub = state.workSubAccounts[row];
    if (sub.subAccountGroupNo == group && sub.subAccountName == subAccountName) return row;
  }
  return std::nullopt;
}

std::optional<int32_t> findSubAccountIndexEntry(const SubAccountLists& lists,
                                                int32_t subAccountRow) {
  for (int32_t e = 0; e < lists.entries.count(); ++e)
    if (lists.entries[e].subAccountRow == subAccountRow) return e;
  return std::nullopt;
}

MappingResult decideSubAccountRowCode(ConversionState& state, int32_t subAccountRow,
                                      std::string_view code) {
  if (subAccountRow < 0 || subAccountRow >= state.workSubAccounts.count())
    return refused(MappingRefusal::NoSuchSubAccount);
  // Typed text is held as CP932 holds it, like everything read from a file: two codes the
  // output would write alike must clash here, not in the uploaded files.
  const std::string text = foldToCp932(removeBlanks(code));
  WorkSubAccount& sub = state.workSubAccounts[subAccountRow];
  sub.newSubCode = text;

  // The balance rows are found through the sub-account's group rather than the parent's
  // standard-account code: that code is empty for every unmapped parent and may have changed
  // since the parent was chosen, and either would reach another parent's rows or miss these.
  const int32_t group = sub.subAccountGroupNo;
  if (group == 0) return {};
  forEachRow(
      state.workSubAccountBalances, tBatch ? &tBatch->subBalancesOfGroup : nullptr, group,
      [&](const WorkSubAccountBalance& row) { return row.subAccountGroupNo == group; },
      [&](WorkSubAccountBalance& row) {
        if (row.subAccountName == sub.subAccountName) row.newSubCode = text;
      });
  return {};
}

MappingResult enterSubAccountRowCode(ConversionState& state, int32_t subAccountRow,
                                     std::string_view typedText) {
  return decideSubAccountRowCode(state, subAccountRow, toUpperLatin(removeBlanks(typedText)));
}

MappingResult decideSubAccountCode(ConversionState& state, SubAccountLists& lists,
                                   int32_t entryIndex, std::string_view code) {
  if (entryIndex < 0 || entryIndex >= lists.entries.count())
    return refused(MappingRefusal::NoSuchSubAccount);
  SubAccountIndexEntry& entry = lists.entries[entryIndex];
  const MappingResult r = decideSubAccountRowCode(state, entry.subAccountRow, code);
  if (r.applied()) entry.newSubCode = state.workSubAccounts[entry.subAccountRow].newSubCode;
  return r;
}

MappingResult enterSubAccountCode(ConversionState& state, SubAccountLists& lists,
                                  int32_t entryIndex, std::string_view typedText) {
  return decideSubAccountCode(state, lists, entryIndex, toUpperLatin(removeBlanks(typedText)));
}

MappingResult setSubAccountCode(ConversionState& state, std::string_view parentSourceCode,
                                std::string_view subAccountName, std::string_view typedText) {
  const std::optional<int32_t> parent = findAccountBySourceCode(state, parentSourceCode);
  if (!parent) return refused(MappingRefusal::NoSuchAccount);
  // The combo offers the parents as the tables stand now.
  SubAccountLists lists;
  refillParentAccountChoices(state, lists);
  const std::optional<int32_t> choice = findParentAccountChoice(state, lists, *parent);
  if (!choice) return refused(MappingRefusal::NoSuchChoice);
  const std::optional<int32_t> row = findSubAccountRow(state, parentSourceCode, subAccountName);
  if (!row) return refused(MappingRefusal::NoSuchSubAccount);

  const MappingResult chosen = chooseParentAccount(state, lists, *choice);
  if (!chosen.applied()) return chosen;
  const std::optional<int32_t> entry = findSubAccountIndexEntry(lists, *row);
  if (!entry) return refused(MappingRefusal::NoSuchSubAccount);
  return enterSubAccountCode(state, lists, *entry, typedText);
}

}  // namespace ledra
