#pragma once

#include <string>

namespace ledra::testing {

struct BinaryRun {
  int status = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs ledra-convert with the arguments (a shell word list, quoted as needed).
BinaryRun runBinary(const std::string& arguments);
// The same with standard error sent into standard output: `out` holds both in the order they
// were written, and `err` stays empty.
BinaryRun runBinaryMerged(const std::string& arguments);
// `import` of the example company into the work-state file, writing to the output folder.
BinaryRun importExampleCompany(const std::string& stateFile, const std::string& outputFolder);

}  // namespace ledra::testing
