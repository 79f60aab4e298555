#include "state/conversion_state.hpp"

#include <optional>

namespace ledra {

std::optional<std::string> subAccountGroupCode(int32_t n) {
  static constexpr char kSymbols[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  if (n < 0 || n / 10 >= 36) return std::nullopt;
  return std::string{kSymbols[n / 10], static_cast<char>('0' + n % 10)};
}

}  // namespace ledra
