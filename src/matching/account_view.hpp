#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "matching/panel_rows.hpp"
#include "state/conversion_state.hpp"

namespace ledra {

// Which accounts the panel lists (option buttons R_KKS(0..2) "全て", "BS科目", "PL科目").
enum class AccountFilter { All, BalanceSheet, ProfitAndLoss };

inline constexpr std::string_view kRemainingCaptionPrefix = "マッチング科目残数：";
inline constexpr std::string_view kBlockedBySubCodeClash = "補助科目コードが重複しています（補助）";
inline constexpr std::string_view kBlockedBySubParent =
    "所属勘定科目が未設定の補助科目があります（補助）";

// One row r of the account panel F_Conv. Controls: T_Y_KCode(r), T_Y_KKJ(r), T_Y_KZ(r),
// C_TakeThisRec(r) "無効", B_N_KK(r) "選択", T_N_KCode(r), T_N_KKJ(r), T_N_KZ(r).
struct AccountRowView {
  int32_t accountIndex = -1;    // the WorkAccounts entry shown; -1 for a blank row
  TextBoxView sourceCode;       // T_Y_KCode(r)
  TextBoxView sourceName;       // T_Y_KKJ(r)
  TextBoxView sourceBalance;    // T_Y_KZ(r)
  bool invalidEnabled = false;  // C_TakeThisRec(r) enabled
  bool invalidTicked = false;   // C_TakeThisRec(r) ticked
  bool pickEnabled = false;     // B_N_KK(r) enabled
  TextBoxView ledraCode;        // T_N_KCode(r); its text holds what the user typed until a redraw
  bool codeLocked = true;       // T_N_KCode(r) locked
  TextBoxView ledraName;        // T_N_KKJ(r)
  TextBoxView ledraBalance;     // T_N_KZ(r)
  RowState state = RowState::Blank;  // shown by the back colour of the six text boxes
  // For an account still to be mapped: the most alike standard account, shown quietly in
  // the empty code and name boxes; Ctrl+Enter takes it. Empty when there is none.
  std::string suggestedCode;
  std::string suggestedName;

  bool showsAccount() const { return accountIndex >= 0; }
  bool operator==(const AccountRowView&) const = default;
};

// The account panel F_Conv: the rows (ten at the design size, more in a taller window), the
// scroll bars VS_conv(0) and VS_conv(1) (always equal), the label RemainObj, the line naming
// what else blocks the conversion, the filter R_KKS, the find box and the focus among the
// T_N_KCode boxes.
struct AccountPanelView {
  std::vector<AccountRowView> rows = std::vector<AccountRowView>(kPanelRows);
  int32_t scrollMax = 0;         // VS_conv(0) and VS_conv(1) Max
  int32_t scrollValue = 0;       // VS_conv(0) and VS_conv(1) Value
  std::string remainingCaption;  // RemainObj caption
  bool accountsRemain = false;   // RemainObj in the warning colour
  std::string blockingLine;      // what blocks 変換 besides the accounts; empty when nothing does
  std::string findText;          // the find box
  bool findMissed = false;       // no account holds the find text
  int32_t foundPosition = -1;    // the CurrentView position the find box last found; -1: none
  AccountFilter filter = AccountFilter::All;  // the R_KKS option that is selected
  int32_t focusedRow = -1;  // the T_N_KCode row the focus belongs in; -1 when none
  int32_t focusSerial = 0;  // goes up each time the logic moves the focus: the GUI then
                            // puts it into T_N_KCode(focusedRow)
};

// The view list the filter chooses.
const AccountView& accountFilterView(const ConversionState& state, AccountFilter filter);

// Fills the rows from currentView (the accounts the panel lists, by WorkAccounts index)
// starting at view position topRow, the remaining count and the scroll range.
void drawAccountView(const ConversionState& state, const AccountView& currentView, int32_t topRow,
                     AccountPanelView& view);

// Accounts still needing work (not Matched) among the accounts of AllView.
int32_t remainingAccounts(const ConversionState& state);

// "マッチング科目残数：m/n".
std::string remainingCaption(int32_t remaining, int32_t total);

// The first position of currentView, from `from` on and then from the start, whose account's
// code or name (the source's or the service's) holds text; -1 when none does.
int32_t findInCurrentView(const ConversionState& state, const AccountView& currentView,
                          std::string_view text, int32_t from);

}  // namespace ledra
