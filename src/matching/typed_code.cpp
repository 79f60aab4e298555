#include "matching/typed_code.hpp"

#include "base/text.hpp"

namespace ledra {

std::string cleanTypedCode(std::string_view typed) {
  const std::string kept = removeBlanks(typed);
  std::string out;
  out.reserve(kept.size());
  for (size_t i = 0; i < kept.size(); ++i) {
    // U+FF10..U+FF5E are EF BC 90..EF BD 9E in UTF-8; digits and letters map onto ASCII by
    // an offset of 0xFEE0.
    if (i + 2 < kept.size() && static_cast<unsigned char>(kept[i]) == 0xEF) {
      const auto b1 = static_cast<unsigned char>(kept[i + 1]);
      const auto b2 = static_cast<unsigned char>(kept[i + 2]);
      if ((b1 == 0xBC || b1 == 0xBD) && b2 >= 0x80 && b2 <= 0xBF) {
        const unsigned cp = 0xFF00u + ((b1 - 0xBCu) << 6) + (b2 - 0x80u);
        const bool digit = cp >= 0xFF10 && cp <= 0xFF19;
        const bool upper = cp >= 0xFF21 && cp <= 0xFF3A;
        const bool lower = cp >= 0xFF41 && cp <= 0xFF5A;
        if (digit || upper || lower) {
          out.push_back(static_cast<char>(cp - 0xFEE0u));
          i += 2;
          continue;
        }
      }
    }
    out.push_back(kept[i]);
  }
  return out;
}

}  // namespace ledra
