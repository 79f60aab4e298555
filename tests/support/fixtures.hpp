#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "state/table.hpp"

namespace ledra {
struct ConversionState;
}

namespace ledra::testing {

// A table's rows, to compare a table before and after.
template <class T, int32_t N>
std::vector<T> rowsOf(const Table<T, N>& table) {
  return {table.begin(), table.end()};
}

// Saved 弥生会計 work: a chart of 111 and 112, one account (100 現金) mapped to 111.
void writeOneAccountWork(const std::string& file, const std::string& outputFolder);

// Writes the lines (UTF-8 literals) as a CP932 file, every line ended by CR LF.
void writeCp932Lines(const std::string& path, const std::vector<std::string>& lines);
// Writes the text (UTF-8) as CP932, exactly as given (no line ends added).
void writeCp932Text(const std::string& path, std::string_view text);
void writeBytes(const std::string& path, std::string_view bytes);

// The file's bytes ("" when missing), and the file decoded from CP932 into UTF-8.
std::string readBytes(const std::string& path);
std::string readCp932(const std::string& path);
// The CP932 file's lines without their CR LF (a last empty part is dropped).
std::vector<std::string> readCp932Lines(const std::string& path);

bool fileExistsAt(const std::string& path);

}  // namespace ledra::testing
