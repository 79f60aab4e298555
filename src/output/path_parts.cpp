#include "output/path_parts.hpp"

namespace ledra {

std::string separatorFor(std::string_view path) {
  return !path.empty() && path.back() == '/' ? std::string() : std::string("/");
}

std::string stripExtension(std::string_view path) {
  const size_t dot = path.rfind('.');
  return std::string(dot == std::string_view::npos ? path : path.substr(0, dot));
}

std::string splitPath(std::string_view path, std::string& base, std::string& name) {
  const size_t at = path.rfind('/');
  const size_t nameStart = at == std::string_view::npos ? 0 : at + 1;
  name = std::string(path.substr(nameStart));
  base = stripExtension(name);
  return std::string(path.substr(0, nameStart));
}

}  // namespace ledra
