#include "support/run_binary.hpp"

#include <sys/wait.h>

#include <cstdio>

#include "support/fixtures.hpp"
#include "support/temp_dir.hpp"

namespace ledra::testing {

BinaryRun runBinary(const std::string& arguments) {
  BinaryRun r;
  TempDir dir;
  const std::string errFile = dir.file("stderr");
  const std::string command =
      std::string("'") + LEDRA_BINARY + "' " + arguments + " 2>'" + errFile + "'";
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return r;
  char buffer[512];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
  const int raw = pclose(pipe);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.err = readBytes(errFile);
  return r;
}

}  // namespace ledra::testing
