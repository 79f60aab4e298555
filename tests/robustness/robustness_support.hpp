#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/cp932.hpp"
#include "support/fixtures.hpp"
#include "support/run_binary.hpp"

// What the bad-input cases share: running the program, and comparing a conversion's files with
// those of the untouched input.
namespace ledra::robustness {

struct Outcome {
  int status;
  std::string output;  // standard output and error together
};

inline Outcome run(const std::string& args) {
  const testing::BinaryRun r = testing::runBinaryMerged(args);
  return {r.status, r.out};
}

inline std::string q(const std::string& s) { return "'" + s + "'"; }

// The files of an output folder by name; names that carry the time of the run are fixed.
inline std::map<std::string, std::string> outputs(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    std::string name = e.path().filename().string();
    if (name.ends_with(".zip")) {
      files["archive.zip"] = {};
      continue;
    }
    if (name.ends_with("中間仕訳データ.txt")) name = "中間仕訳データ.txt";
    files[name] = testing::readBytes(e.path().string());
  }
  return files;
}

// The CP932 bytes as UTF-16LE with its mark: what a user's editor writes when told "Unicode".
inline std::string utf16(const std::string& cp932) {
  std::string out = "\xFF\xFE";
  const std::string u = decodeCp932(cp932);
  for (size_t i = 0; i < u.size();) {
    char32_t cp = static_cast<unsigned char>(u[i]);
    const size_t n = cp < 0x80 ? 1 : cp < 0xE0 ? 2 : cp < 0xF0 ? 3 : 4;
    if (n > 1) cp &= (0xFF >> (n + 1));
    for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(u[i + k]) & 0x3F);
    i += n;
    out += static_cast<char>(cp & 0xFF);
    out += static_cast<char>(cp >> 8);
  }
  return out;
}

// 4 KB of the same pseudo-random bytes every run, in place of the file.
inline std::string garbage(const std::string&) {
  std::string out;
  uint32_t x = 12345;
  for (int i = 0; i < 4096; ++i) {
    x = x * 1103515245 + 12345;
    out += static_cast<char>(x >> 23);
  }
  return out;
}

// The same files as the untouched input gives, except `changed`, each of which holds `shows`
// as written (in quotes, its own quotes doubled).
inline void expectOutputsAsBaseline(const std::map<std::string, std::string>& got,
                                    const std::map<std::string, std::string>& want,
                                    const std::vector<std::string>& changed,
                                    const std::string& shows) {
  std::vector<std::string> differing;
  for (const auto& [name, bytes] : got) {
    if (name == "変換レポート.txt") continue;  // names the run's time and input files
    auto it = want.find(name);
    if (it == want.end() || it->second != bytes) differing.push_back(name);
  }
  EXPECT_EQ(got.size(), want.size());
  EXPECT_EQ(differing, changed);
  for (const std::string& name : changed)
    EXPECT_NE(got.at(name).find(encodeCp932(shows)), std::string::npos)
        << name << ": " << decodeCp932(got.at(name));
}

}  // namespace ledra::robustness
