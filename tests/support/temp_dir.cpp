#include "support/temp_dir.hpp"

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

namespace ledra::testing {

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "ledra-test-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) throw std::runtime_error("cannot create a temporary folder");
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

}  // namespace ledra::testing
