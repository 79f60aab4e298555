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

// The keys that move through the rows of a list: Up, Down, PageUp, PageDown, Ctrl+Home and
// Ctrl+End.
enum class RowKey { Up, Down, PageUp, PageDown, First, Last };

// Where a list stands: the entry shown in the first row, and the row that holds the focus.
struct RowPosition {
  int32_t top = 0;
  int32_t row = 0;
  bool operator==(const RowPosition&) const = default;
};

// The list position after a key. A step past the first or last row scrolls by the wheel's
// rule (one row, within the range); a page moves focus and list by the rows shown; the focus
// never rests on a row below the last entry.
RowPosition moveRow(RowPosition at, int32_t max, int32_t rows, int32_t count, RowKey key);

}  // namespace ledra
