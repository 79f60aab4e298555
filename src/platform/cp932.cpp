#include "platform/cp932.hpp"

#include <iconv.h>

#include <cerrno>
#include <mutex>
#include <stdexcept>

#include "base/text.hpp"

namespace ledra {

namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
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

}  // namespace

std::string decodeCp932(std::string_view bytes) {
  std::lock_guard lock(codecMutex());
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  const char* in = bytes.data();
  size_t left = bytes.size();
  while (!decoder().convert(in, left, out)) {
    // A lead byte followed by a bad trail byte loses only the lead byte, so the trail byte
    // gets its own chance (it may be ASCII).
    appendUtf8(out, kReplacementChar);
    ++in;
    --left;
  }
  return out;
}

std::string encodeCp932(std::string_view utf8) {
  std::lock_guard lock(codecMutex());
  std::string out;
  out.reserve(utf8.size());
  const char* in = utf8.data();
  size_t left = utf8.size();
  while (!encoder().convert(in, left, out)) {
    out += '?';
    // Skip the whole code point that could not be written.
    size_t pos = 0;
    nextCodePoint(std::string_view(in, left), pos);
    in += pos;
    left -= pos;
  }
  return out;
}

int cp932Width(char32_t cp) {
  if (cp < 0x80) return 1;
  if (cp >= 0xFF61 && cp <= 0xFF9F) return 1;  // half-width katakana
  const std::string e = encodeCp932(toUtf8(cp));
  return static_cast<int>(e.size());
}

std::string decodeFileText(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    // Re-encode through the code point reader so that malformed UTF-8 also becomes U+FFFD.
    std::string out;
    std::string_view body = bytes.substr(3);
    out.reserve(body.size());
    for (size_t pos = 0; pos < body.size();) appendUtf8(out, nextCodePoint(body, pos));
    return out;
  }
  return decodeCp932(bytes);
}

}  // namespace ledra
