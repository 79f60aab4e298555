#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// UTF-8 helpers. A "character" is one Unicode code point.
namespace ledra {

inline constexpr char32_t kReplacementChar = 0xFFFD;
inline constexpr std::string_view kCrLf = "\r\n";

// Decodes the code point at s[pos] and advances pos. Malformed bytes give U+FFFD, one byte each.
char32_t nextCodePoint(std::string_view s, size_t& pos);
void appendUtf8(std::string& out, char32_t cp);
std::string toUtf8(char32_t cp);
std::u32string toU32(std::string_view s);
std::string fromU32(std::u32string_view s);

// Number of code points.
size_t charLength(std::string_view s);
// The first character as a string ("" for an empty text).
std::string firstChar(std::string_view s);
// The first n characters.
std::string leftChars(std::string_view s, size_t n);

// Removes every half-width blank (U+0020) and full-width blank (U+3000).
std::string removeBlanks(std::string_view s);
// True when every byte is below 0x80.
bool isAscii(std::string_view s);
// Trims leading and trailing U+0020 only.
std::string trimSpaces(std::string_view s);
// Upper-cases ASCII a-z and full-width ａ-ｚ.
std::string toUpperLatin(std::string_view s);

// Splits at every occurrence of the delimiter (no quote awareness). Always at least one part.
std::vector<std::string> splitPlain(std::string_view s, std::string_view delimiter);
std::vector<std::string_view> splitPlainView(std::string_view s, std::string_view delimiter);

std::string replaceAll(std::string_view s, std::string_view from, std::string_view to);
bool startsWith(std::string_view s, std::string_view prefix);
bool endsWith(std::string_view s, std::string_view suffix);

}  // namespace ledra
