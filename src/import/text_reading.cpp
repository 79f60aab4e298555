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
  // A one-character delimiter may take several bytes (a full-width comma, say).
  const std::string_view delimChar =
      (!crlf && charLength(delimiter) == 1) ? delimiter : std::string_view();

  if (progress) {
    progress->progressSetValue(0);
    progress->progressSetMax(static_cast<int64_t>(charLength(text)));
  }

  std::string buffer;
  buffer.reserve(text.size());
  bool inQuote = false;
  int64_t charIndex = 0;  // 1-based count of characters seen, for the progress bar
  auto countChars = [&](size_t from, size_t to) {
    int64_t n = 0;
    for (size_t k = from; k < to; ++k)
      if ((static_cast<unsigned char>(text[k]) & 0xC0) != 0x80) ++n;
    if (progress) {
      for (int64_t next = (charIndex / 100 + 1) * 100; next <= charIndex + n; next += 100)
        progress->progressSetValue(next);
    }
    charIndex += n;
  };
  // Outside quotes only a quote changes anything; inside, the delimiter and CR LF too. The
  // bytes between those are copied as they stand.
  const std::string inQuoteStops = std::string("\"\r") + std::string(delimChar.substr(0, 1));
  for (size_t i = 0; i < text.size();) {
    size_t stop = inQuote ? text.find_first_of(inQuoteStops, i) : text.find('"', i);
    if (stop == std::string_view::npos) stop = text.size();
    if (stop > i) {
      countChars(i, stop);
      buffer.append(text.substr(i, stop - i));
      i = stop;
      if (i == text.size()) break;
    }
    char c = text[i];
    countChars(i, i + 1);
    if (c == '"') {
      if (i > 0 && text[i - 1] == '"' && !inQuote) c = kQuoteMark;
      inQuote = !inQuote;
    }
    if (inQuote) {
      if (!delimChar.empty() && text.compare(i, delimChar.size(), delimChar) == 0) {
        c = kDelimMark;
        i += delimChar.size() - 1;
      } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
        c = kCrLfMark;
        ++i;
        countChars(i, i + 1);
      }
    }
    buffer += c;
    ++i;
  }
  if (removeQuotes) std::erase(buffer, '"');

  std::vector<std::string> parts;
  const std::string_view delim = crlf ? std::string_view("\r\n") : delimiter;
  for (std::string_view part : splitPlainView(buffer, delim)) {
    if (part.find_first_of("\x01\x02\x03") == std::string_view::npos) {
      parts.emplace_back(part);
      continue;
    }
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
