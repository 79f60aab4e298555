#include "matching/wheel_scroll.hpp"

#include <algorithm>

namespace ledra {

RowPosition moveRow(RowPosition at, int32_t max, int32_t rows, int32_t count, RowKey key) {
  if (count <= 0 || rows <= 0) return {std::clamp(at.top, 0, std::max(max, 0)), 0};
  const int32_t last = count - 1;
  RowPosition to = at;
  switch (key) {
    case RowKey::Down:
      if (at.row + 1 < rows && at.top + at.row + 1 <= last)
        ++to.row;
      else
        to.top = wheelScroll(at.top, max, -1);
      break;
    case RowKey::Up:
      if (at.row > 0)
        --to.row;
      else
        to.top = wheelScroll(at.top, max, 1);
      break;
    case RowKey::PageDown: {
      const int32_t entry = std::min(at.top + at.row + rows, last);
      to.top = std::min(at.top + rows, max);
      to.row = entry - to.top;
      break;
    }
    case RowKey::PageUp: {
      const int32_t entry = std::max(at.top + at.row - rows, 0);
      to.top = std::max(at.top - rows, 0);
      to.row = entry - to.top;
      break;
    }
    case RowKey::First:
      to = {0, 0};
      break;
    case RowKey::Last:
      to.top = max;
      to.row = last - max;
      break;
  }
  to.row = std::clamp(to.row, 0, std::min(rows, count - to.top) - 1);
  return to;
}

}  // namespace ledra
