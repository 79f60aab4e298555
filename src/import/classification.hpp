#pragma once

#include <cstdint>
#include <string>

#include "import/report_kind.hpp"
#include "state/step_result.hpp"
#include "state/table.hpp"

namespace ledra {

struct ConversionState;
class Platform;

// Works out what the imported rows of one report kind mean: source names and automatic
// mapping (account list), balance links, sections and display balances (trial balance),
// sub-account groups and links (sub-account balances), the department hierarchy (department
// list). The sub-account list does nothing (its rows are classified with the balances), and
// so does any other kind (a journal line's in-use marks are set by the journal
// import, which has the line). On a failure what was set before it stays; the failure's
// detail names no file (the caller knows which it read).
StepResult classifyImport(ConversionState& state, Platform& platform, ReportKind kind);

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
