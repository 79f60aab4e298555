#pragma once

namespace ledra {
inline constexpr const char* kProgramTitle = "Ledraデータコンバート Ver1.41";
}
