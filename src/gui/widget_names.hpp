#pragma once

#include <QString>

namespace ledra::gui {

// Object name of element i of a control array: "T_FileName" + 3 -> "T_FileName_3".
inline QString arrayName(const char* name, int index) {
  return QString::fromLatin1(name) + '_' + QString::number(index);
}

}  // namespace ledra::gui
