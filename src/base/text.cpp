#include "base/text.hpp"

namespace ledra {

char32_t nextCodePoint(std::string_view s, size_t& pos) {
  const auto b0 = static_cast<unsigned char>(s[pos]);
  if (b0 < 0x80) {
    ++pos;
    return b0;
  }
  int len = 0;
  char32_t cp = 0;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2;
    cp = b0 & 0x1F;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3;
    cp = b0 & 0x0F;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4;
    cp = b0 & 0x07;
  } else {
    ++pos;
    return kReplacementChar;
  }
  if (pos + len > s.size()) {
    ++pos;
    return kReplacementChar;
  }
  for (int i = 1; i < len; ++i) {
    const auto b = static_cast<unsigned char>(s[pos + i]);
    if ((b & 0xC0) != 0x80) {
      ++pos;
      return kReplacementChar;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  pos += len;
  return cp;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string toUtf8(char32_t cp) {
  std::string s;
  appendUtf8(s, cp);
  return s;
}

std::u32string toU32(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  for (size_t pos = 0; pos < s.size();) out += nextCodePoint(s, pos);
  return out;
}

std::string fromU32(std::u32string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char32_t c : s) appendUtf8(out, c);
  return out;
}

size_t charLength(std::string_view s) {
  size_t n = 0;
  for (size_t pos = 0; pos < s.size();) {
    nextCodePoint(s, pos);
    ++n;
  }
  return n;
}

std::string firstChar(std::string_view s) { return leftChars(s, 1); }

std::string leftChars(std::string_view s, size_t n) {
  size_t pos = 0;
  for (size_t i = 0; i < n && pos < s.size(); ++i) nextCodePoint(s, pos);
  return std::string(s.substr(0, pos));
}

bool isAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

std::string removeBlanks(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    if (s[i] == ' ') {
      ++i;
    } else if (s.compare(i, 3, "\xE3\x80\x80") == 0) {  // U+3000
      i += 3;
    } else {
      out += s[i++];
    }
  }
  return out;
}

std::string trimSpaces(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  return std::string(s.substr(b, e - b));
}

std::string toUpperLatin(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t pos = 0; pos < s.size();) {
    const size_t start = pos;
    char32_t c = nextCodePoint(s, pos);
    if (c >= U'a' && c <= U'z') {
      out += static_cast<char>(c - U'a' + U'A');
    } else if (c >= 0xFF41 && c <= 0xFF5A) {  // full-width a-z
      appendUtf8(out, c - 0x20);
    } else {
      out.append(s.substr(start, pos - start));
    }
  }
  return out;
}

std::vector<std::string_view> splitPlainView(std::string_view s, std::string_view delimiter) {
  std::vector<std::string_view> parts;
  if (delimiter.empty()) {
    parts.push_back(s);
    return parts;
  }
  size_t start = 0;
  while (true) {
    const size_t at = s.find(delimiter, start);
    if (at == std::string_view::npos) {
      parts.push_back(s.substr(start));
      return parts;
    }
    parts.push_back(s.substr(start, at - start));
    start = at + delimiter.size();
  }
}

std::vector<std::string> splitPlain(std::string_view s, std::string_view delimiter) {
  std::vector<std::string> out;
  for (auto v : splitPlainView(s, delimiter)) out.emplace_back(v);
  return out;
}

std::string replaceAll(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  std::string out;
  out.reserve(s.size());
  size_t start = 0;
  while (true) {
    const size_t at = s.find(from, start);
    if (at == std::string_view::npos) break;
    out.append(s.substr(start, at - start));
    out.append(to);
    start = at + from.size();
  }
  out.append(s.substr(start));
  return out;
}

bool startsWith(std::string_view s, std::string_view prefix) { return s.starts_with(prefix); }
bool endsWith(std::string_view s, std::string_view suffix) { return s.ends_with(suffix); }

}  // namespace ledra
