// Writes the bundled ブルーリターンＡ example folder: make_blue_example DIR writes
// DIR/Data/Y2007/{kcode.brf, 仕訳データ, 基本情報ﾃﾞｰﾀ}. The data are the test builders' example
// company, so the example and the tests describe the same files.
#include <cstdio>
#include <exception>

#include "support/blue_fixtures.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_blue_example DIR\n");
    return 2;
  }
  try {
    ledra::testing::exampleBlueCompany().writeTo(std::string(argv[1]) + "/Data/Y2007");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
