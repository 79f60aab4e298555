#include "import/text_reading.hpp"

#include "base/text.hpp"
#include "platform/cp932.hpp"
#include "platform/file_io.hpp"
#include "platform/platform.hpp"

namespace ledra {

std::optional<std::string> readWholeTextFile(const std::string& path) {
  auto bytes = readFileBytes(path);
  if (!bytes) return std::nullopt;
  std::string text = decodeFileText(*bytes);
  if (text.find("\r\n") == std::string::npos && text.find('\n') != std::string::npos)
    text = replaceAll(text, "\n", "\r\n");
  if (!text.empty() && !text.ends_with("\r\n")) text += "\r\n";
  return text;
}

std::vector<std::string> splitQuotedText(std::string_view text, std::string_view delimiter,
                                         bool removeQuotes, Platform* progress) {
  constexpr char kQuoteMark = '\x01';
  constexpr char kDelimMark = '\x02';
  constexpr char kCrLfMark = '\x03';
  const bool crlf = delimiter == "\r\n";
  const char delimChar = (!crlf && delimiter.size() == 1) ? delimiter[0] : '\0';

  if (progress) {
    progress->progressSetValue(0);
    progress->progressSetMax(static_cast<int64_t>(charLength(text)));
  }

  std::string buffer;
  buffer.reserve(text.size());
  bool inQuote = false;
  int64_t charIndex = 0;  // 1-based count of characters seen, for the progress bar
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
      ++charIndex;
      if (progress && charIndex % 100 == 0) progress->progressSetValue(charIndex);
    }
    if (c == '"') {
      if (i > 0 && text[i - 1] == '"' && !inQuote) c = kQuoteMark;
      inQuote = !inQuote;
    }
    if (inQuote) {
      if (delimChar != '\0' && c == delimChar) {
        c = kDelimMark;
      } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
        c = kCrLfMark;
        ++i;
        ++charIndex;
        if (progress && charIndex % 100 == 0) progress->progressSetValue(charIndex);
      }
    }
    buffer += c;
  }
  if (removeQuotes) std::erase(buffer, '"');

  std::vector<std::string> parts;
  const std::string_view delim = crlf ? std::string_view("\r\n") : delimiter;
  for (std::string_view part : splitPlainView(buffer, delim)) {
    std::string out;
    out.reserve(part.size());
    for (char c : part) {
      if (c == kQuoteMark) {
        out += '"';
      } else if (c == kDelimMark) {
        out.append(delimiter);
      } else if (c == kCrLfMark) {
        out += "\r\n";
      } else {
        out += c;
      }
    }
    parts.push_back(std::move(out));
  }
  return parts;
}

std::vector<int64_t> fileLineNumbers(const std::vector<std::string>& lines) {
  std::vector<int64_t> numbers;
  numbers.reserve(lines.size());
  int64_t next = 1;
  for (const std::string& line : lines) {
    numbers.push_back(next);
    next += 1;
    for (size_t at = line.find("\r\n"); at != std::string::npos; at = line.find("\r\n", at + 2))
      ++next;
  }
  return numbers;
}

std::string stripEnclosingQuotes(std::string_view field) {
  if (field.size() >= 2 && field.front() == '"' && field.back() == '"')
    return std::string(field.substr(1, field.size() - 2));
  return std::string(field);
}

}  // namespace ledra
