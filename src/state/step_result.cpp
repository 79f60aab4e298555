#include "state/step_result.hpp"

#include <new>

namespace ledra {

std::string exceptionReason(const std::exception& e) {
  if (dynamic_cast<const std::bad_alloc*>(&e)) return kOutOfMemory;
  return e.what();
}

std::string ErrorDetail::describe() const {
  std::string out;
  if (!file.empty()) out += file;
  if (line > 0) out += (out.empty() ? "" : " ") + std::to_string(line) + "行目";
  if (!reason.empty()) out += (out.empty() ? "" : ": ") + reason;
  return out;
}

}  // namespace ledra
