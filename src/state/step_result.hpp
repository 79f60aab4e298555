#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

namespace ledra {

// The reason a step gives when memory ran out, whichever file it was reading or writing.
inline constexpr const char* kOutOfMemory = "メモリが不足しています";

// The reason a failed step gives for an exception: running out of memory in plain words, not in
// whichever library's words met it first.
std::string exceptionReason(const std::exception& e);

// Where a step failed, kept for the message the caller shows.
struct ErrorDetail {
  std::string file;
  int64_t line = 0;  // 1-based line of the file, 0 when not tied to a line
  std::string reason;

  // "ファイル名 12行目: reason" style text for the second line of a failure message.
  std::string describe() const;
  void clear() { *this = ErrorDetail{}; }
};

// What a step returns: success, or the detail of its failure. Exceptions thrown inside a step
// are caught there and become a failure; none crosses a step's boundary.
class [[nodiscard]] StepResult {
 public:
  static StepResult success() { return StepResult(); }
  static StepResult failure(ErrorDetail detail) {
    StepResult r;
    r.failed_ = true;
    r.detail_ = std::move(detail);
    return r;
  }
  static StepResult failure(std::string file, int64_t line, std::string reason) {
    return failure(ErrorDetail{std::move(file), line, std::move(reason)});
  }

  bool ok() const { return !failed_; }
  explicit operator bool() const { return !failed_; }
  // The failure's detail; empty on success.
  const ErrorDetail& error() const { return detail_; }

 private:
  StepResult() = default;
  bool failed_ = false;
  ErrorDetail detail_;
};

}  // namespace ledra
