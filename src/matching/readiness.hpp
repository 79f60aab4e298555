#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ledra {

struct ConversionData;

// Every account matched and every sub-account's code unique: what 変換 needs, on the mapping
// screen and on the command line alike.
bool mappingComplete(const ConversionData& data);

// Per sub-account row: false when its code clashes within its run of consecutive rows under
// one parent code, or its parent has no code (except on the last row, which is only ever the
// later row of a pair).
std::vector<bool> subAccountCodesUnique(const ConversionData& data);

// What the readiness rule last found for the tables, kept until a mapping changes: a redraw
// or a scroll reads it instead of working the rule out again over every sub-account.
class Readiness {
 public:
  // A mapping changed (or the tables were loaded anew): the next refresh works it out again.
  void invalidate() { stale_ = true; }
  bool stale() const { return stale_; }
  // Works the rule out again when a change made it stale; true when it did.
  bool refresh(const ConversionData& data);

  bool complete() const { return complete_; }
  // The flag of sub-account row i; a row the last refresh did not know is taken as clashing.
  bool codeUnique(int32_t subRow) const {
    return subRow >= 0 && static_cast<size_t>(subRow) < unique_.size() &&
           unique_[static_cast<size_t>(subRow)];
  }
  // What blocks the conversion on the sub-account panel: a clash, else a sub-account without
  // a parent code; empty when nothing there does.
  const std::string& subAccountBlockingLine() const { return blockingLine_; }

 private:
  bool stale_ = true;
  bool complete_ = false;
  std::vector<bool> unique_;
  std::string blockingLine_;
};

}  // namespace ledra
