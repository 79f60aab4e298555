#pragma once

#include <string>
#include <string_view>

namespace ledra {

// "" when the path already ends in the separator, else "/".
std::string separatorFor(std::string_view path);
// The path up to, not including, its last "."; the whole path when it holds none.
std::string stripExtension(std::string_view path);
// Splits at the last separator: returns the folder including it ("" when there is none), sets
// name to the part behind it and base to that name less its extension.
std::string splitPath(std::string_view path, std::string& base, std::string& name);

}  // namespace ledra
