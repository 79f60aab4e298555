#include "platform/text_file.hpp"

#include <fstream>

#include "base/text.hpp"
#include "platform/cp932.hpp"
#include "platform/file_io.hpp"
#include "platform/platform.hpp"

namespace ledra {

bool startsWithUtf8Mark(const std::string& path) {
  char head[3] = {};
  std::ifstream in(path, std::ios::binary);
  return in.read(head, sizeof head) && std::string_view(head, sizeof head) == "\xEF\xBB\xBF";
}

namespace {

bool looksLikeUtf8(std::string_view b);

// Bare LF throughout is read as CR LF; the last line gets its CR LF.
void normaliseLineEnds(std::string& text) {
  if (text.find("\r\n") == std::string::npos && text.find('\n') != std::string::npos)
    text = replaceAll(text, "\n", "\r\n");
  if (!text.empty() && !text.ends_with("\r\n")) text += "\r\n";
}

}  // namespace

std::optional<std::string> readWholeTextFile(const std::string& path) {
  auto bytes = readFileBytes(path);
  if (!bytes) return std::nullopt;
  std::string text = decodeFileText(*bytes);
  normaliseLineEnds(text);
  return text;
}

std::optional<SourceText> readSourceText(const std::string& path) {
  auto bytes = readFileBytes(path);
  if (!bytes) return std::nullopt;
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  SourceText out;
  // Only well-formed UTF-8 is kept: then no comma, quote or line end is part of a character,
  // and folding line by line later gives what folding the whole file gives now.
  if (bytes->starts_with(kBom) && looksLikeUtf8(std::string_view(*bytes).substr(kBom.size()))) {
    out.text = bytes->substr(kBom.size());
    out.utf8 = true;
  } else {
    out.text = decodeFileText(*bytes);
  }
  normaliseLineEnds(out.text);
  return out;
}

namespace {

// True when the bytes hold a non-ASCII character and every one is well-formed UTF-8.
bool looksLikeUtf8(std::string_view b) {
  bool wide = false;
  for (size_t i = 0; i < b.size();) {
    const auto c = static_cast<unsigned char>(b[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    const size_t len = c >= 0xC2 && c <= 0xDF   ? 2
                       : c >= 0xE0 && c <= 0xEF ? 3
                       : c >= 0xF0 && c <= 0xF4 ? 4
                                                : 0;
    if (len == 0 || i + len > b.size()) return false;
    for (size_t k = 1; k < len; ++k)
      if ((static_cast<unsigned char>(b[i + k]) & 0xC0) != 0x80) return false;
    wide = true;
    i += len;
  }
  return wide;
}

}  // namespace

std::string unusableTextReason(const std::string& path) {
  const auto bytes = readFileBytes(path);
  if (!bytes) return unreadableFileReason(path);
  const std::string_view b = *bytes;
  if (b.empty()) return "ファイルが空です";
  if (b.starts_with("\xFF\xFE") || b.starts_with("\xFE\xFF"))
    return "UTF-16のファイルは読み込めません（CP932で保存してください）";
  if (b.find('\0') != std::string_view::npos) return "テキストファイルではありません";
  if (!b.starts_with("\xEF\xBB\xBF") && looksLikeUtf8(b))
    return "BOMのないUTF-8のファイルは読み込めません（CP932かBOM付きUTF-8で保存してください）";
  return {};
}

std::optional<int64_t> openQuoteLine(std::string_view text) {
  int64_t line = 1;
  int64_t openedOn = 0;
  int64_t firstOpenLineEnd = 0;
  bool open = false;
  // A plain loop: find_first_of asks memchr about the two characters once per byte.
  for (const char c : text) {
    if (c == '\n') {
      if (open && firstOpenLineEnd == 0) firstOpenLineEnd = line;
      ++line;
    } else if (c == '"') {
      open = !open;
      if (open) openedOn = line;
    }
  }
  if (!open) return std::nullopt;
  // A stray quote pairs with the quotes after it, so the stretch left open at the end is not
  // where the fault is; the first line that ends inside quotes is.
  return firstOpenLineEnd ? firstOpenLineEnd : openedOn;
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

namespace {

// splitQuotedText's progress for a whole text: 0, the character count as maximum, then every
// hundredth character (counted as it counts them: bytes that start a UTF-8 sequence).
void reportSplitProgress(std::string_view text, Platform& progress) {
  int64_t chars = 0;   // as charLength counts
  int64_t starts = 0;  // as the split's progress counts
  for (size_t pos = 0; pos < text.size();) {
    const auto b = static_cast<unsigned char>(text[pos]);
    if (b < 0x80) {
      ++pos;
      ++chars;
      ++starts;
      continue;
    }
    // What nextCodePoint consumes, without a call per character.
    size_t len = (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 1;
    if (pos + len > text.size()) len = 1;
    for (size_t k = 1; k < len; ++k) {
      if ((static_cast<unsigned char>(text[pos + k]) & 0xC0) != 0x80) {
        len = 1;
        break;
      }
    }
    pos += len;
    ++chars;
    if ((b & 0xC0) != 0x80) ++starts;
  }
  progress.progressSetValue(0);
  progress.progressSetMax(chars);
  for (int64_t next = 100; next <= starts; next += 100) progress.progressSetValue(next);
}

// Bytes the line scan must look at: the quote, CR, and the split's own marks.
struct StopBytes {
  bool stop[256] = {};
  constexpr StopBytes() {
    stop[static_cast<unsigned char>('"')] = true;
    stop[static_cast<unsigned char>('\r')] = true;
    stop[1] = stop[2] = stop[3] = true;
  }
};
constexpr StopBytes kStopBytes;

}  // namespace

CrLfLineReader::CrLfLineReader(std::string_view text, Platform* progress) : text_(text) {
  if (progress) reportSplitProgress(text, *progress);
}

bool CrLfLineReader::next(std::string_view& line, int64_t& fileLine) {
  if (done_) return false;
  const char* const data = text_.data();
  const size_t n = text_.size();
  const size_t start = pos_;
  size_t i = start;
  size_t end = n;
  bool inQuote = false;  // a part always starts outside quotes: it is cut only there
  bool marks = false;
  int64_t quotedLineEnds = 0;
  while (i < n) {
    const auto c = static_cast<unsigned char>(data[i]);
    if (!kStopBytes.stop[c]) {
      ++i;
      continue;
    }
    if (c == '"') {
      inQuote = !inQuote;
    } else if (c == '\r') {
      if (i + 1 < n && data[i + 1] == '\n') {
        if (!inQuote) {
          end = i;
          break;
        }
        ++quotedLineEnds;
        i += 2;
        continue;
      }
    } else {
      marks = true;
    }
    ++i;
  }
  if (end == n) {
    done_ = true;
    pos_ = n;
  } else {
    pos_ = end + 2;
  }
  line = text_.substr(start, end - start);
  if (marks) {
    // splitQuotedText uses bytes 1-3 as marks and turns them back into a quote or CR LF.
    scratch_.clear();
    for (char c : line) {
      if (c == '\x01') {
        scratch_ += '"';
      } else if (c == '\x02' || c == '\x03') {
        scratch_ += "\r\n";
      } else {
        scratch_ += c;
      }
    }
    line = scratch_;
    quotedLineEnds = 0;
    for (size_t at = line.find("\r\n"); at != std::string_view::npos;
         at = line.find("\r\n", at + 2))
      ++quotedLineEnds;
  }
  fileLine = nextLine_;
  nextLine_ += 1 + quotedLineEnds;
  return true;
}

}  // namespace ledra
