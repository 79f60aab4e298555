#pragma once

#include <cstdint>
#include <string>

namespace ledra {

// The picker shows ten rows; the mapping screen's panels show at least ten, more when the
// window is made taller.
inline constexpr int32_t kPanelRows = 10;

// Colour values as the controls store them (blue * 65536 + green * 256 + red).
inline constexpr uint32_t kColourDone = 16777152;       // light cyan: the row needs nothing more
inline constexpr uint32_t kColourAttention = 12632319;  // light red: the row needs attention
inline constexpr uint32_t kColourRemaining = 255;       // red label text: accounts remain
inline constexpr uint32_t kColourNoneRemaining = 0;     // black label text
inline constexpr uint32_t kColourWindow = 16777215;     // a text box never drawn yet

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
