#pragma once

#include <string>
#include <string_view>

namespace ledra {

// What a code box keeps of a typed text: blanks (half-width and U+3000) removed, full-width
// digits and Latin letters folded to half-width, so that a code typed with an input method
// is the code the master holds.
std::string cleanTypedCode(std::string_view typed);

}  // namespace ledra
