#pragma once

#include <cstdint>
#include <string>

#include "import/report_kind.hpp"
#include "state/table.hpp"

namespace ledra {

struct ConversionState;
class Platform;

inline constexpr const char* kLocationClassify = "P3:0006";

// Works out what the imported rows of one report kind mean: source names and automatic
// mapping (account list), balance links, sections and display balances (trial balance),
// sub-account groups and links (sub-account balances), the department hierarchy (department
// list). The sub-account list does nothing (its rows are classified with the balances), and
// so does any other kind (a journal line's in-use marks are set by the journal
// import, which has the line). False on a failure, with the location tag and a detail
// recorded in the state; what was set before the failure stays.
bool classifyImport(ConversionState& state, Platform& platform, ReportKind kind);

// A failure of the classification, naming the entry it stopped at so that an importer can
// point at the source line. tableKind is the report kind whose table holds the entry; entry
// is -1 when the failure is not tied to one.
class ClassificationError : public StepError {
 public:
  explicit ClassificationError(const std::string& reason,
                               ReportKind tableKind = ReportKind::AccountList, int32_t entry = -1)
      : StepError(reason), tableKind(tableKind), entry(entry) {}
  ReportKind tableKind;
  int32_t entry;
};

// The classification itself; throws ClassificationError (or CapacityError) on a failure.
void runClassification(ConversionState& state, ReportKind kind);

}  // namespace ledra
