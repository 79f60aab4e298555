#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "matching/panel_rows.hpp"

namespace ledra {

struct ConversionState;
struct SubAccountLists;
class Readiness;

// One row r of the sub-account panel F_Hojo. Controls: T_N_HKCode(r) (the code, typed into)
// and T_N_HK(r) (the name, display only); both share the back colour.
struct SubAccountRowView {
  int32_t entryIndex = -1;  // the listed entry shown; -1 for a blank row
  TextBoxView code;         // T_N_HKCode(r); its text holds what the user typed until a redraw
  TextBoxView name;         // T_N_HK(r)
  bool codeLocked = true;   // T_N_HKCode(r) locked
  bool nameLocked = true;   // T_N_HK(r) locked
  RowState state = RowState::Blank;  // shown by the back colour of both boxes

  bool showsSubAccount() const { return entryIndex >= 0; }
  bool operator==(const SubAccountRowView&) const = default;
};

// The sub-account panel F_Hojo: the combo C_N_SKK "所属勘定科目", the label L_Y_SYK, the ten
// rows, the scroll bar VS_hojo(0) and the focus among the T_N_HKCode boxes.
struct SubAccountPanelView {
  std::vector<std::string> parentChoices;  // C_N_SKK items
  int32_t parentChoiceIndex = -1;          // C_N_SKK ListIndex; -1 when nothing is chosen
  std::string parentCaption;               // L_Y_SYK caption
  std::vector<SubAccountRowView> rows = std::vector<SubAccountRowView>(kPanelRows);
  int32_t scrollMax = 0;    // VS_hojo(0) Max
  int32_t scrollValue = 0;  // VS_hojo(0) Value
  int32_t focusedRow = -1;  // the T_N_HKCode row the focus belongs in; -1 when none
  int32_t focusSerial = 0;  // goes up each time the logic moves the focus: the GUI then
                            // puts it into T_N_HKCode(focusedRow)
};

// Fills the rows from the listed entries starting at entry top, and the scroll range; a row
// needs attention when the readiness rule found its code clashing. While the combo shows
// "全て表示" every box is locked: codes are typed under one parent only.
void drawSubAccountView(const SubAccountLists& lists, const Readiness& readiness, int32_t top,
                        SubAccountPanelView& view);

// The L_Y_SYK caption: package name + "表記勘定科目", CR LF, the chosen parent's name.
std::string subAccountParentCaption(const std::string& packageName, const std::string& parentName);

}  // namespace ledra
