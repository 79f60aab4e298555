#include "output/department_file.hpp"

#include <string>
#include <string_view>
#include <vector>

#include "output/output_common.hpp"
#include "platform/platform.hpp"
#include "state/conversion_state.hpp"

namespace ledra {

namespace {

constexpr std::string_view kFileName = "busho.csv";

// Byte widths of source columns 2 to 12, in file order.
constexpr int kColumnWidths[] = {32, 32, 32, 32, 32, 32, 32, 80, 80, 80, 4};

std::vector<std::string> departmentRecord(const WorkDepartment& dept) {
  std::vector<std::string> fields;
  fields.reserve(16);
  int column = 2;
  for (int width : kColumnWidths) fields.push_back(fitBytes(dept.col(column++), width));
  fields.push_back(fitBytes(dept.matchName, 32));
  fields.push_back(fitBytes(dept.departmentCode, 3));
  fields.push_back(fitBytes(dept.level1Code, 3));
  fields.push_back(fitBytes(dept.level2Code, 3));
  fields.push_back(fitBytes(dept.level3Code, 3));
  return fields;
}

}  // namespace

StepResult writeDepartmentFile(const ConversionState& state, Platform& platform,
                               OutputTarget& out) {
  const auto& depts = state.workDepartments;
  // Only the business as a whole: the service needs no department file.
  if (depts.count() == 1) return StepResult::success();
  return writeServiceFile(state, platform, out, kFileName, [&](ServiceCsvFile& file) {
    beginWriterProgress(platform, kFileName, depts.count());
    for (int32_t i = 0; i < depts.count(); ++i) {
      file.record(departmentRecord(depts[i]));
      platform.progressSetValue(i);
    }
  });
}

}  // namespace ledra
