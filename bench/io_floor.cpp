// The I/O floor of a conversion: every input file read, decoded from CP932, encoded again and
// written, with the program's own codec and file helpers. io_floor OUTPUT_FOLDER FILE...
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/cp932.hpp"
#include "platform/file_io.hpp"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: io_floor OUTPUT_FOLDER FILE...\n");
    return 2;
  }
  const std::string out = argv[1];
  for (int i = 2; i < argc; ++i) {
    const auto bytes = ledra::readFileBytes(argv[i]);
    if (!bytes) {
      std::fprintf(stderr, "io_floor: cannot read %s\n", argv[i]);
      return 1;
    }
    const std::string text = ledra::decodeFileText(*bytes);
    const std::string name = std::filesystem::path(argv[i]).filename().string();
    std::string error;
    if (!ledra::writeFileAtomic(ledra::joinPath(out, name), ledra::encodeCp932(text), &error)) {
      std::fprintf(stderr, "io_floor: %s\n", error.c_str());
      return 1;
    }
  }
  return 0;
}
