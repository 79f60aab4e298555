#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ledra {

struct ConversionState;
struct WorkAccount;
struct SubAccountLists;
class Platform;

// While one lives (on this thread), a sub-account code finds the balance rows of its group
// through an index made once, instead of looking through the table for each change: for codes
// given many at a time (the reuse, the command line). The tables' rows must not be added,
// removed or regrouped while it lives.
class MappingBatch {
 public:
  explicit MappingBatch(const ConversionState& state);
  ~MappingBatch();
  MappingBatch(const MappingBatch&) = delete;
  MappingBatch& operator=(const MappingBatch&) = delete;

  struct Rows;

 private:
  std::unique_ptr<Rows> rows_;
  const Rows* previous_;
};

// Texts the mapping operations show.
inline constexpr std::string_view kMsgCodeUsedPrefix = "指定した勘定科目Code(";
inline constexpr std::string_view kMsgCodeUsedSuffix = ")は既に使用済みです。\r\n";
inline constexpr std::string_view kMsgNoCandidate = "勘定科目候補が存在しません。";
inline constexpr std::string_view kMsgConfirmPrefix = "勘定科目候補( ";
inline constexpr std::string_view kMsgConfirmSuffix = " )\r\nが存在します。適用しますか？";
inline constexpr std::string_view kMsgAccountInUse = "使用中の勘定科目は無効にできません。";
inline constexpr std::string_view kTitleError = "エラー";
inline constexpr std::string_view kTitleConfirm = "注意";
inline constexpr std::string_view kTitleRefused = "登録不可";

enum class MappingOutcome {
  Applied,    // the tables were changed
  Unchanged,  // nothing to decide (the typed code is the one the account already has)
  Refused,    // a check failed; the tables are as before
  Cancelled,  // the user declined the confirmation; the tables are as before
};

enum class MappingRefusal {
  None,
  CodeInUse,         // some account already carries the code
  NoCandidate,       // the code is no standard account
  AccountInUse,      // an account in use cannot be invalidated
  NoSuchAccount,     // no account at that index or with that source code
  NoSuchChoice,      // the account is not offered as a parent in the combo
  NoSuchSubAccount,  // no sub-account of that name (or no listed entry at that index)
};

struct MappingResult {
  MappingOutcome outcome = MappingOutcome::Applied;
  MappingRefusal refusal = MappingRefusal::None;

  bool applied() const { return outcome == MappingOutcome::Applied; }
  bool ok() const {
    return outcome == MappingOutcome::Applied || outcome == MappingOutcome::Unchanged;
  }
};

// An account needs no more work when it is invalidated or carries both code and name.
bool matchedByRule(bool valid, std::string_view ledraCode, std::string_view ledraName);

// First WorkAccounts entry with this source code.
std::optional<int32_t> findAccountBySourceCode(const ConversionState& state,
                                               std::string_view sourceCode);
// First WorkAccounts entry that carries this standard-account code.
std::optional<int32_t> findAccountUsingCode(const ConversionState& state,
                                            std::string_view ledraCode);

// Shows the "already used" error and returns true when some account carries the code.
bool refuseUsedCode(const ConversionState& state, Platform& platform, std::string_view ledraCode);

// Maps the account onto a standard account and carries the mapping to its balance rows and,
// when it has sub-accounts, to the sub-accounts and sub-account balances of its group.
// No checks and no messages: the callers (code box, picker) have made them.
MappingResult assignStandardAccount(ConversionState& state, int32_t accountIndex,
                                    std::string_view ledraCode, std::string_view ledraName);
// Removes the mapping in the same places; an invalidated account stays matched.
MappingResult clearStandardAccount(ConversionState& state, int32_t accountIndex);

// The code box's decision: blanks removed and letters upper-cased, then refused when some
// account already carries it or it is no standard account, confirmed, and assigned. An empty
// code clears the mapping without a question. The caller redraws and refills the parent
// choices afterwards.
MappingResult decideAccountCode(ConversionState& state, Platform& platform, int32_t accountIndex,
                                std::string_view typedCode);
// Typing the text into the account's code box and pressing Enter: decides only when the text
// differs from the account's code (or is empty).
MappingResult enterAccountCode(ConversionState& state, Platform& platform, int32_t accountIndex,
                               std::string_view typedText);

// The 無効 box. Invalidating an account in use is refused with a message.
MappingResult setAccountValid(ConversionState& state, Platform& platform, int32_t accountIndex,
                              bool valid);
MappingResult toggleAccountValid(ConversionState& state, Platform& platform, int32_t accountIndex);

// --- sub-accounts. The screen works on the entries its SubAccountLists shows; the command
// line and the reuse of another state name a sub-account directly and never see a listing.

// The 所属勘定科目 choice: lists the sub-accounts of parent choice choiceIndex (every
// sub-account for "全て表示") and remembers the chosen parent. A negative index counts as
// nothing selected (entry 0). The caller redraws.
MappingResult chooseParentAccount(const ConversionState& state, SubAccountLists& lists,
                                  int32_t choiceIndex);
// The parent choice that offers this account (by its sub-account group).
std::optional<int32_t> findParentAccountChoice(const ConversionState& state,
                                               const SubAccountLists& lists, int32_t accountIndex);
// First WorkSubAccounts row of the parent account's group with this sub-account name.
std::optional<int32_t> findSubAccountRow(const ConversionState& state,
                                         std::string_view parentSourceCode,
                                         std::string_view subAccountName);
// First listed entry that stands for this WorkSubAccounts row.
std::optional<int32_t> findSubAccountIndexEntry(const SubAccountLists& lists,
                                                int32_t subAccountRow);

// Stores the code (blanks removed) in WorkSubAccounts row subAccountRow and in the balance
// rows of that sub-account. No duplicate check: the readiness rule reports clashes.
MappingResult decideSubAccountRowCode(ConversionState& state, int32_t subAccountRow,
                                      std::string_view code);
// Typing the code into that sub-account's row and pressing Enter (letters upper-cased).
MappingResult enterSubAccountRowCode(ConversionState& state, int32_t subAccountRow,
                                     std::string_view typedText);

// The same for listed entry entryIndex; the entry shows the new code too. The caller redraws
// and updates the next button.
MappingResult decideSubAccountCode(ConversionState& state, SubAccountLists& lists,
                                   int32_t entryIndex, std::string_view code);
MappingResult enterSubAccountCode(ConversionState& state, SubAccountLists& lists,
                                  int32_t entryIndex, std::string_view typedText);

// Chooses the parent account (by source code) in the combo, as its current parent choices
// offer it, and enters the code into the row of its sub-account subAccountName.
MappingResult setSubAccountCode(ConversionState& state, std::string_view parentSourceCode,
                                std::string_view subAccountName, std::string_view typedText);

}  // namespace ledra
