#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "matching/panel_rows.hpp"

namespace ledra {

struct ConversionState;

// One row r of the department panel F_Bumon, display only: T_N_BCode(r) "コード",
// T_N_BN(r) "部門名", T_N_CBN(r) "親部署".
struct DepartmentRowView {
  TextBoxView code;                  // T_N_BCode(r)
  TextBoxView name;                  // T_N_BN(r)
  TextBoxView parent;                // T_N_CBN(r)
  RowState state = RowState::Blank;  // Locked when it shows a department
  bool operator==(const DepartmentRowView&) const = default;
};

// The department panel F_Bumon: the rows, the scroll bar VS_Bumon(0) and the row whose code
// box holds the focus (the boxes can be stepped through though nothing is typed there).
struct DepartmentPanelView {
  std::vector<DepartmentRowView> rows = std::vector<DepartmentRowView>(kPanelRows);
  int32_t scrollMax = 0;    // VS_Bumon(0) Max
  int32_t scrollValue = 0;  // VS_Bumon(0) Value
  int32_t focusedRow = -1;
  int32_t focusSerial = 0;
};

// Fills the rows from WorkDepartments starting at entry top, and the scroll range.
void drawDepartmentView(const ConversionState& state, int32_t top, DepartmentPanelView& view);

}  // namespace ledra
