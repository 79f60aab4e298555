#include "support/fixtures.hpp"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "base/text.hpp"
#include "platform/cp932.hpp"
#include "platform/file_io.hpp"
#include "state/conversion_state.hpp"
#include "state/work_state_format.hpp"

namespace ledra::testing {

void writeBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write fixture " + path);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void writeCp932Text(const std::string& path, std::string_view text) {
  writeBytes(path, encodeCp932(text));
}

void writeCp932Lines(const std::string& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& l : lines) {
    text += l;
    text += "\r\n";
  }
  writeCp932Text(path, text);
}

std::string readBytes(const std::string& path) { return readFileBytes(path).value_or(""); }

std::string readCp932(const std::string& path) { return decodeCp932(readBytes(path)); }

std::vector<std::string> readCp932Lines(const std::string& path) {
  auto parts = splitPlain(readCp932(path), "\r\n");
  if (!parts.empty() && parts.back().empty()) parts.pop_back();
  return parts;
}

bool fileExistsAt(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

void writeOneAccountWork(const std::string& file, const std::string& outputFolder) {
  ConversionState saved;
  saved.sourcePackage = SourcePackage::Yayoi;
  for (const char* code : {"111", "112"}) {
    StandardAccount& s = saved.standardAccounts.append();
    s.ledraCode = code;
    s.ledraName = std::string("科目") + code;
  }
  WorkAccount& a = saved.workAccounts.append();
  a.sourceCode = "100";
  a.sourceName = "現金";
  a.ledraCode = "111";
  a.ledraName = "科目111";
  a.valid = a.matched = true;
  saved.allView.append(0);
  saved.outputFolder = outputFolder;
  writeBytes(file, workStateBytes(saved).value());
}

}  // namespace ledra::testing
