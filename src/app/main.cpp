#include <cstring>
#include <iostream>

#include "app/version.hpp"

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
    std::cout << ledra::kProgramTitle << "\n";
    return 0;
  }
  std::cout << ledra::kProgramTitle << "\n"
            << "使い方: ledra-convert [--version | --help]\n";
  return argc > 1 && std::strcmp(argv[1], "--help") != 0 ? 2 : 0;
}
