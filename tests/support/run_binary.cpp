#include "support/run_binary.hpp"

#include <sys/wait.h>

#include <cstdio>

#include "support/fixtures.hpp"
#include "support/temp_dir.hpp"

namespace ledra::testing {

namespace {

BinaryRun run(const std::string& arguments, const std::string& redirection) {
  BinaryRun r;
  const std::string command = std::string("'") + LEDRA_BINARY + "' " + arguments + redirection;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return r;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
  const int raw = pclose(pipe);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return r;
}

}  // namespace

BinaryRun runBinary(const std::string& arguments) {
  TempDir dir;
  const std::string errFile = dir.file("stderr");
  BinaryRun r = run(arguments, " 2>'" + errFile + "'");
  r.err = readBytes(errFile);
  return r;
}

BinaryRun runBinaryMerged(const std::string& arguments) { return run(arguments, " 2>&1"); }

BinaryRun importExampleCompany(const std::string& stateFile, const std::string& outputFolder) {
  const std::string examples = std::string(LEDRA_SOURCE_DIR) + "/examples";
  return runBinary("import --package yayoi --master '" + examples +
                   "/ledra_master.csv' --source-dir '" + examples + "/yayoi' --output '" +
                   outputFolder + "' --save '" + stateFile + "'");
}

}  // namespace ledra::testing
