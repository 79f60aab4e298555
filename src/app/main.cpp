#include <string>
#include <vector>

#include "app/cli.hpp"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return ledra::runCommandLine({"--help"});
  return ledra::runCommandLine(args);
}
