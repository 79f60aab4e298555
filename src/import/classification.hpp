#pragma once

#include <cstdint>
#include <string>

#include "state/table.hpp"

namespace ledra {

struct ConversionState;
class Platform;

inline constexpr const char* kLocationClassify = "P3:0006";

// Works out what the imported rows of one report kind mean: source names and automatic
// mapping ("0"), balance links, sections and display balances ("1"), sub-account groups and
// links ("3"), the department hierarchy ("4"). "2" does nothing (its rows are classified with
// "3"), and so does any other kind (a journal line's in-use marks are set by the journal
// import, which has the line). False on a failure, with the location tag and a detail
// recorded in the state; what was set before the failure stays.
bool classifyImport(ConversionState& state, Platform& platform, const std::string& kind);

// A failure of the classification, naming the entry it stopped at so that an importer can
// point at the source line. tableKind is the report kind whose table holds the entry
// (-1 when the failure is not tied to an entry).
class ClassificationError : public StepError {
 public:
  ClassificationError(const std::string& reason, int tableKind = -1, int32_t entry = -1)
      : StepError(reason), tableKind(tableKind), entry(entry) {}
  int tableKind;
  int32_t entry;
};

// The classification itself; throws ClassificationError (or CapacityError) on a failure.
void runClassification(ConversionState& state, const std::string& kind);

}  // namespace ledra
