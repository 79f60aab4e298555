#include <cstdio>
#include <string>
#include <vector>

#include "app/cli.hpp"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::fprintf(stderr, "この版には画面がありません。使い方: ledra-convert --help\n");
    return 2;
  }
  return ledra::runCommandLine(args);
}
