#include "platform/cp932.hpp"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <new>
#include <stdexcept>

#include "base/text.hpp"

namespace ledra {

namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      // Out of memory is no missing converter; the step says so in plain words.
      if (errno == ENOMEM) throw std::bad_alloc();
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts as much as possible; returns false on an invalid or incomplete sequence with
  // `in` pointing at it.
  bool convert(const char*& in, size_t& inLeft, std::string& out) {
    char buf[8192];
    while (inLeft > 0) {
      char* outPtr = buf;
      size_t outLeft = sizeof buf;
      size_t r = iconv(cd_, const_cast<char**>(&in), &inLeft, &outPtr, &outLeft);
      out.append(buf, static_cast<size_t>(outPtr - buf));
      if (r == static_cast<size_t>(-1)) {
        if (errno == E2BIG) continue;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        return false;
      }
    }
    return true;
  }

 private:
  iconv_t cd_;
};

constexpr uint64_t kHighBits = 0x8080808080808080ull;

// Copies the run of ASCII bytes that starts at p[i] to o and returns where it ends, looked at
// eight bytes at a time: most of every file the program reads or writes is ASCII. It may write
// up to seven bytes past the copy, which the caller writes over; so o must have room for as
// many bytes as remain from i.
size_t copyAsciiRun(const char* p, size_t i, size_t n, char*& o) {
  while (i + 8 <= n) {
    uint64_t w;
    std::memcpy(&w, p + i, 8);
    std::memcpy(o, &w, 8);
    if (const uint64_t high = w & kHighBits) {
      const int bit = std::endian::native == std::endian::little ? std::countr_zero(high)
                                                                 : std::countl_zero(high);
      const auto k = static_cast<size_t>(bit / 8);
      o += k;
      return i + k;
    }
    o += 8;
    i += 8;
  }
  while (i < n && static_cast<unsigned char>(p[i]) < 0x80) *o++ = p[i++];
  return i;
}

size_t countHighBytes(std::string_view bytes) {
  size_t high = 0, i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    uint64_t w;
    std::memcpy(&w, bytes.data() + i, 8);
    // Each byte's top bit moved to its bottom, then the eight summed into the top byte.
    high += static_cast<size_t>((((w & kHighBits) >> 7) * 0x0101010101010101ull) >> 56);
  }
  for (; i < bytes.size(); ++i) high += static_cast<unsigned char>(bytes[i]) >> 7;
  return high;
}

std::mutex& codecMutex() {
  static std::mutex m;
  return m;
}

Converter& decoder() {
  static Converter c("UTF-8", "CP932");
  return c;
}

Converter& encoder() {
  static Converter c("CP932", "UTF-8");
  return c;
}

// iconv goes through an internal form for every character, which made the codec the largest
// cost of a conversion. Its answers are therefore cached per byte pair and per code point,
// each asked of iconv once, so the results stay exactly iconv's.
// Eight bytes, so that a table lookup is a shift rather than a multiplication.
struct alignas(8) Mapping {
  bool known = false;
  bool ok = false;  // iconv converted it (some characters, such as tags, to nothing)
  uint8_t size = 0;
  char bytes[4] = {};
};

// What iconv makes of `in` alone: the whole input converted, or nothing.
Mapping askIconv(Converter& c, std::string_view in) {
  Mapping m;
  m.known = true;
  const char* p = in.data();
  size_t left = in.size();
  std::string out;
  if (c.convert(p, left, out) && out.size() <= sizeof m.bytes) {
    m.ok = true;
    m.size = static_cast<uint8_t>(out.size());
    std::memcpy(m.bytes, out.data(), out.size());
  }
  return m;
}

struct DecodeTables {
  Mapping single[256];                  // bytes that are a character by themselves
  std::array<Mapping, 256> pairs[256];  // by first byte, filled as pairs occur

  bool asciiIdentity = true;  // bytes below 0x80 decode to themselves
  bool pairOnly[256] = {};    // bytes that are no character by themselves (lead bytes)

  DecodeTables() {
    for (int b = 0; b < 256; ++b) {
      const char c = static_cast<char>(b);
      single[b] = askIconv(decoder(), std::string_view(&c, 1));
      pairOnly[b] = !single[b].ok;
      if (b < 0x80 && !(single[b].ok && single[b].size == 1 && single[b].bytes[0] == c))
        asciiIdentity = false;
    }
  }
};

DecodeTables& decodeTables() {
  static DecodeTables t;
  return t;
}

// Encodings of the code points below U+10000, filled as they occur.
std::array<Mapping, 0x10000>& encodeTable() {
  static std::array<Mapping, 0x10000> t;
  return t;
}

// True when every ASCII character encodes to its own byte, so that ASCII runs can be copied.
bool encodeAsciiIdentity() {
  static const bool identity = [] {
    for (int b = 0; b < 0x80; ++b) {
      const char c = static_cast<char>(b);
      const Mapping m = askIconv(encoder(), std::string_view(&c, 1));
      if (!(m.ok && m.size == 1 && m.bytes[0] == c)) return false;
    }
    return true;
  }();
  return identity;
}

// The code point of a well-formed one- to three-byte UTF-8 sequence at pos, with its length;
// 0 when the sequence is anything else (four bytes, overlong, surrogate, malformed).
size_t wellFormedBmp(std::string_view s, size_t pos, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(s[pos]);
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  if (b0 >= 0xC2 && b0 <= 0xDF && pos + 1 < s.size()) {
    const auto b1 = static_cast<unsigned char>(s[pos + 1]);
    if ((b1 & 0xC0) != 0x80) return 0;
    cp = (char32_t(b0 & 0x1F) << 6) | (b1 & 0x3F);
    return 2;
  }
  if (b0 >= 0xE0 && b0 <= 0xEF && pos + 2 < s.size()) {
    const auto b1 = static_cast<unsigned char>(s[pos + 1]);
    const auto b2 = static_cast<unsigned char>(s[pos + 2]);
    if ((b1 & 0xC0) != 0x80 || (b2 & 0xC0) != 0x80) return 0;
    cp = (char32_t(b0 & 0x0F) << 12) | (char32_t(b1 & 0x3F) << 6) | (b2 & 0x3F);
    if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return 3;
  }
  return 0;
}

}  // namespace

std::string decodeCp932(std::string_view bytes) {
  std::lock_guard lock(codecMutex());
  DecodeTables& t = decodeTables();
  const size_t n = bytes.size();
  // An ASCII byte gives one byte of UTF-8 and any other at most three; the text is cut to
  // size at the end. A byte that does not decode is read as '?', which is what writing it
  // back would give, so the text holds only what CP932 carries.
  // Four bytes more, so that a character's bytes can always be stored as one four-byte word.
  const size_t high = countHighBytes(bytes);
  std::string out(n + 2 * high + 4, '\0');
  char* o = out.data();
  for (size_t i = 0; i < n;) {
    if (t.asciiIdentity && static_cast<unsigned char>(bytes[i]) < 0x80) {
      // Most of a report is ASCII (commas, quotes, digits): copy such runs as they stand.
      // The text's room is at least the bytes still to read, as an ASCII byte gives one.
      i = copyAsciiRun(bytes.data(), i, n, o);
      if (i == n) break;
    }
    const auto b = static_cast<unsigned char>(bytes[i]);
    // A pair already asked about, the usual case, straight away.
    if (t.pairOnly[b] && i + 1 < n) {
      const Mapping& m = t.pairs[b][static_cast<unsigned char>(bytes[i + 1])];
      if (m.ok) {
        std::memcpy(o, m.bytes, sizeof m.bytes);
        o += m.size;
        i += 2;
        continue;
      }
    }
    const Mapping& s = t.single[b];
    if (s.ok) {
      std::memcpy(o, s.bytes, sizeof s.bytes);
      o += s.size;
      ++i;
      continue;
    }
    // A lead byte followed by a bad trail byte, or at the end, loses only the lead byte, so
    // the next byte gets its own chance (it may be ASCII). A well-formed pair that CP932
    // leaves unassigned is one character, as Windows reads it, not a lead and a stray '@'.
    size_t used = 1;
    if (i + 1 < n) {
      const auto trail = static_cast<unsigned char>(bytes[i + 1]);
      Mapping& m = t.pairs[b][trail];
      if (!m.known) m = askIconv(decoder(), bytes.substr(i, 2));
      if (m.ok) {
        std::memcpy(o, m.bytes, sizeof m.bytes);
        o += m.size;
        i += 2;
        continue;
      }
      const bool trailByte = (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC);
      if (isCp932LeadByte(b) && trailByte) used = 2;
    }
    *o++ = '?';
    i += used;
  }
  out.resize(static_cast<size_t>(o - out.data()));
  return out;
}

void appendCp932(std::string& out, std::string_view utf8) {
  std::lock_guard lock(codecMutex());
  auto& table = encodeTable();
  const size_t n = utf8.size();
  const size_t start = out.size();
  // No code point takes more bytes in CP932 than in UTF-8; four more let a character's bytes
  // be stored as one four-byte word.
  out.resize(start + n + 4);
  char* o = out.data() + start;
  const bool asciiRuns = encodeAsciiIdentity();
  for (size_t pos = 0; pos < n;) {
    if (asciiRuns && static_cast<unsigned char>(utf8[pos]) < 0x80) {
      // No character is longer in CP932, so the room left is at least the bytes still to read.
      pos = copyAsciiRun(utf8.data(), pos, n, o);
      if (pos == n) break;
    }
    const auto b0 = static_cast<unsigned char>(utf8[pos]);
    // Three bytes is the usual Japanese character: the cached answer straight away.
    if ((b0 & 0xF0) == 0xE0 && pos + 2 < n) {
      const auto b1 = static_cast<unsigned char>(utf8[pos + 1]);
      const auto b2 = static_cast<unsigned char>(utf8[pos + 2]);
      const char32_t c3 = (char32_t(b0 & 0x0F) << 12) | (char32_t(b1 & 0x3F) << 6) | (b2 & 0x3F);
      if (((b1 & 0xC0) | ((b2 & 0xC0) >> 2)) == 0xA0 && c3 >= 0x800 &&
          (c3 < 0xD800 || c3 > 0xDFFF)) {
        const Mapping& hit = table[c3];
        if (hit.known) {
          if (hit.ok) {
            std::memcpy(o, hit.bytes, sizeof hit.bytes);
            o += hit.size;
          } else {
            *o++ = '?';
          }
          pos += 3;
          continue;
        }
      }
    }
    char32_t cp = b0;
    size_t len = b0 < 0x80 ? 1 : wellFormedBmp(utf8, pos, cp);
    Mapping m;
    if (len > 0) {
      Mapping& cached = table[cp];
      if (!cached.known) cached = askIconv(encoder(), utf8.substr(pos, len));
      m = cached;
    } else {
      // Anything else goes to iconv as it stands; what it cannot write becomes '?', skipping
      // the whole code point.
      size_t next = pos;
      nextCodePoint(utf8, next);
      len = next - pos;
      m = askIconv(encoder(), utf8.substr(pos, len));
    }
    if (m.ok) {
      std::memcpy(o, m.bytes, sizeof m.bytes);
      o += m.size;
    } else {
      *o++ = '?';
    }
    pos += len;
  }
  out.resize(static_cast<size_t>(o - out.data()));
}

std::string encodeCp932(std::string_view utf8) {
  std::string out;
  appendCp932(out, utf8);
  return out;
}

std::string foldToCp932(std::string_view utf8) { return decodeCp932(encodeCp932(utf8)); }

int cp932Width(char32_t cp) {
  if (cp < 0x80) return 1;
  if (cp >= 0xFF61 && cp <= 0xFF9F) return 1;  // half-width katakana
  const std::string e = encodeCp932(toUtf8(cp));
  return static_cast<int>(e.size());
}

bool lacksCp932Characters(std::string_view text) {
  const auto marks = [](std::string_view s) { return std::count(s.begin(), s.end(), '?'); };
  // Each lacking character (and each malformed byte) is encoded as one "?".
  bool ascii = true;
  for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  return !ascii && marks(encodeCp932(text)) != marks(text);
}

std::string decodeFileText(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return foldToCp932(bytes.substr(3));
  return decodeCp932(bytes);
}

}  // namespace ledra
