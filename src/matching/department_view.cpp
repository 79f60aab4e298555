#include "matching/department_view.hpp"

#include "state/conversion_state.hpp"

namespace ledra {

void drawDepartmentView(const ConversionState& state, int32_t top, DepartmentPanelView& view) {
  const int32_t n = state.workDepartments.count();
  view.scrollValue = top;
  const auto shown = static_cast<int32_t>(view.rows.size());
  for (int32_t r = 0; r < shown; ++r) {
    DepartmentRowView& row = view.rows[static_cast<size_t>(r)];
    row = DepartmentRowView{};
    const int32_t k = top + r;
    if (k < 0 || k >= n) continue;
    const WorkDepartment& d = state.workDepartments[k];
    row.state = RowState::Locked;
    row.code.set(d.departmentCode);
    row.name.set(d.displayName());
    row.parent.set(d.parentDepartmentName);
  }
  view.scrollMax = panelScrollMax(n, shown);
}

}  // namespace ledra
