#pragma once

#include <cstdint>
#include <string>

namespace ledra {

// The picker shows ten rows; the mapping screen's panels show at least ten, more when the
// window is made taller.
inline constexpr int32_t kPanelRows = 10;

// How a panel row stands; the screen chooses the colour that shows it.
enum class RowState {
  Blank,           // nothing shown in the row
  Done,            // the row needs nothing more
  NeedsAttention,  // the row blocks the conversion until it is mapped or its code changes
  Locked,          // shown for reference; nothing can be changed there
};

// A text box's text and tool tip; the tool tip keeps the stored value while the user types.
struct TextBoxView {
  std::string text;
  std::string toolTip;
  void set(const std::string& value) { text = toolTip = value; }
  bool operator==(const TextBoxView&) const = default;
};

// Scroll maximum of a list of count entries shown `rows` at a time.
inline int32_t panelScrollMax(int32_t count, int32_t rows = kPanelRows) {
  return count <= rows ? 0 : count - rows;
}

}  // namespace ledra
