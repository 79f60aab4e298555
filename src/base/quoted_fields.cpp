#include "base/quoted_fields.hpp"

#include <bit>
#include <cstdint>
#include <cstring>

namespace ledra {

std::string stripEnclosingQuotes(std::string_view field) {
  return std::string(stripEnclosingQuotesView(field));
}

std::string_view stripEnclosingQuotesView(std::string_view field) {
  if (field.size() >= 2 && field.front() == '"' && field.back() == '"')
    return field.substr(1, field.size() - 2);
  return field;
}

void quotedFieldViews(std::string_view line, std::vector<std::string_view>& fields) {
  fields.clear();
  for (size_t start = 0;;) {
    const size_t comma = line.find(',', start);
    fields.push_back(stripEnclosingQuotesView(line.substr(start, comma - start)));
    if (comma == std::string_view::npos) return;
    start = comma + 1;
  }
}

namespace {

constexpr uint64_t kLowBits = 0x0101010101010101ull;
constexpr uint64_t kHighBits = 0x8080808080808080ull;

// The top bit of each byte of w that equals c, and no other bit (no carry crosses a byte).
uint64_t bytesEqual(uint64_t w, char c) {
  const uint64_t x = w ^ (kLowBits * static_cast<unsigned char>(c));
  return ~(((x & ~kHighBits) + ~kHighBits) | x) & kHighBits;
}

// The first quote at or after i, or also the first comma when commas count; n when none.
// Looked at eight bytes at a time: fields run for several bytes between the two.
size_t nextSpecial(const char* p, size_t i, size_t n, bool commas) {
  for (; i + 8 <= n; i += 8) {
    uint64_t w;
    std::memcpy(&w, p + i, 8);
    uint64_t hits = bytesEqual(w, '"');
    if (commas) hits |= bytesEqual(w, ',');
    if (hits) {
      const int bit = std::endian::native == std::endian::little ? std::countr_zero(hits)
                                                                 : std::countl_zero(hits);
      return i + static_cast<size_t>(bit / 8);
    }
  }
  for (; i < n; ++i)
    if (p[i] == '"' || (commas && p[i] == ',')) break;
  return i;
}

}  // namespace

bool cutQuotedFields(std::string_view line, std::vector<std::string_view>& fields,
                     std::string& scratch, bool quotesAtFieldStartOnly) {
  fields.clear();
  scratch.clear();
  // Unquoting only shortens a field, so the scratch never grows past this and views into it
  // stay valid.
  scratch.reserve(line.size());
  const char* p = line.data();
  const size_t n = line.size();
  for (size_t start = 0;;) {
    // The usual fields first: empty, "text" with no quote inside, or text with no quote.
    if (start < n && p[start] == ',') {
      fields.push_back(line.substr(start, 0));
      start += 1;
      continue;
    }
    if (start < n && p[start] == '"') {
      const size_t close = nextSpecial(p, start + 1, n, false);
      if (close < n && (close + 1 == n || p[close + 1] == ',')) {
        fields.push_back(line.substr(start + 1, close - start - 1));
        if (close + 1 == n) return true;
        start = close + 2;
        continue;
      }
    } else {
      const size_t end = nextSpecial(p, start, n, true);
      if (end == n || p[end] == ',') {
        fields.push_back(line.substr(start, end - start));
        if (end == n) return true;
        start = end + 1;
        continue;
      }
    }
    // Any other field, quote by quote.
    bool open = false;
    size_t quotes = 0;  // more than the enclosing two means doubled ones inside
    size_t i = nextSpecial(p, start, n, true);
    for (; i < n && !(p[i] == ',' && !open); i = nextSpecial(p, i + 1, n, !open)) {
      ++quotes;
      if (open) {
        // Under the field-start rule a doubled quote keeps the stretch open.
        if (quotesAtFieldStartOnly && i + 1 < n && p[i + 1] == '"') {
          ++i;
          ++quotes;
        } else {
          open = false;
        }
      } else if (!quotesAtFieldStartOnly || i == start) {
        open = true;
      }
    }
    std::string_view f = line.substr(start, i - start);
    if (f.size() >= 2 && f.front() == '"' && f.back() == '"') {
      f = f.substr(1, f.size() - 2);
      if (quotes > 2) {
        const size_t from = scratch.size();
        for (size_t k = 0; k < f.size(); ++k) {
          scratch += f[k];
          if (f[k] == '"' && k + 1 < f.size() && f[k + 1] == '"') ++k;
        }
        f = std::string_view(scratch).substr(from);
      }
    }
    fields.push_back(f);
    if (i >= n) return !open;
    start = i + 1;
  }
}

void appendQuotedWhenNeeded(std::string& out, std::string_view text) {
  // A plain loop: find_first_of asks memchr about the two characters once per byte.
  bool special = false;
  for (char c : text) special |= (c == ',') | (c == '"');
  if (!special) {
    out.append(text);
    return;
  }
  out += '"';
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace ledra
