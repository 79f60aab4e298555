#pragma once

#include <cstdint>

namespace ledra {

// One wheel event moves a list by one row, whatever the size of its delta. A negative delta
// (the wheel turned towards the user) moves the list down, a positive one up; the value stays
// within 0 and max. An event without a vertical delta moves nothing.
inline int32_t wheelScroll(int32_t value, int32_t max, int delta) {
  if (delta < 0 && value + 1 <= max) return value + 1;
  if (delta > 0 && value - 1 >= 0) return value - 1;
  return value;
}

}  // namespace ledra
