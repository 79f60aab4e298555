#pragma once

#include <string>
#include <string_view>

namespace ledra {

// CP932 (the Microsoft variant of Shift-JIS) <-> UTF-8.
// Bytes that do not decode are read as '?'; they never abort a read. Every decoded text
// encodes to bytes that decode to it again.
std::string decodeCp932(std::string_view bytes);
// Characters CP932 cannot hold are written as '?'.
std::string encodeCp932(std::string_view utf8);
// The same, appended to out (saves a temporary for each line of a file being built).
void appendCp932(std::string& out, std::string_view utf8);
// True for a byte that starts a double-byte character.
constexpr bool isCp932LeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The CP932 byte width of one code point as it would be written (unencodable -> 1, for '?').
int cp932Width(char32_t cp);

// UTF-8 text as CP932 holds it: a character CP932 lacks becomes '?', one it writes with
// another's bytes becomes that other (U+301C -> U+FF5E), malformed UTF-8 becomes '?'.
std::string foldToCp932(std::string_view utf8);

// True when the text holds a character CP932 lacks, which a CP932 file holds as "?" (a
// character CP932 writes with another's bytes, such as U+301C, is not lacking).
bool lacksCp932Characters(std::string_view text);

// File contents to text as CP932 holds it: a UTF-8 byte-order mark means UTF-8 (folded),
// anything else is CP932.
std::string decodeFileText(std::string_view bytes);

}  // namespace ledra
