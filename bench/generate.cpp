// Writes the benchmark's company: generate [--size full|half|FACTOR] [--seed N] FOLDER
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include "dataset.hpp"

int main(int argc, char** argv) {
  using ledra::bench::DatasetSize;
  DatasetSize size = DatasetSize::full();
  uint64_t seed = 20261208;
  std::string folder;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--size" && i + 1 < argc) {
      const std::string v = argv[++i];
      size = v == "full"   ? DatasetSize::full()
             : v == "half" ? DatasetSize::half()
                           : DatasetSize::full().scaled(std::atof(v.c_str()));
    } else if (a == "--seed" && i + 1 < argc) {
      seed = std::strtoull(argv[++i], nullptr, 10);
    } else if (folder.empty() && !a.starts_with("-")) {
      folder = a;
    } else {
      folder.clear();
      break;
    }
  }
  if (folder.empty()) {
    std::fprintf(stderr, "usage: generate [--size full|half|FACTOR] [--seed N] FOLDER\n");
    return 2;
  }
  try {
    std::filesystem::create_directories(folder);
    const auto s = ledra::bench::writeDataset(folder, size, seed);
    std::printf(
        "%s: %d accounts, %d balance rows, %d departments, %d sub-accounts under %d parents, "
        "%d sub-account balance rows, %d journal lines in %d slips, %.1f MB\n",
        folder.c_str(), s.accounts, s.balanceRows, s.departments, s.subAccounts, s.parentAccounts,
        s.subBalanceRows, s.journalLines, s.slips, s.bytes / 1e6);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "generate: %s\n", e.what());
    return 1;
  }
}
