#include "state/conversion_state.hpp"

#include <new>
#include <optional>

namespace ledra {

std::optional<std::string> subAccountGroupCode(int32_t n) {
  static constexpr char kSymbols[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  if (n < 0 || n / 10 >= 36) return std::nullopt;
  return std::string{kSymbols[n / 10], static_cast<char>('0' + n % 10)};
}

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
