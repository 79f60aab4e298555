#pragma once

#include <string>
#include <vector>

namespace ledra::testing {

// One member of a ZIP archive as libzip reads it back.
struct ZipMember {
  std::string name;
  std::string bytes;
  int method = 0;  // compression method (8 = deflate)
  bool operator==(const ZipMember&) const = default;
};

// The members in archive order; a test failure (and nothing) when the archive cannot be opened.
std::vector<ZipMember> readZip(const std::string& path);

}  // namespace ledra::testing
