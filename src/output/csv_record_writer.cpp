#include "output/csv_record_writer.hpp"

#include "base/text.hpp"
#include "platform/cp932.hpp"

namespace ledra {

namespace {

// True when every ASCII character encodes to its own byte, as CP932 has it.
bool asciiEncodesToItself() {
  static const bool same = [] {
    std::string ascii;
    for (int c = 0; c < 0x80; ++c) ascii += static_cast<char>(c);
    return encodeCp932(ascii) == ascii;
  }();
  return same;
}

}  // namespace

RecordWriter::RecordWriter(std::string& out) : out_(out), direct_(asciiEncodesToItself()) {}

namespace {

// A quote inside a field is doubled so that the field stays one. A CP932 trail byte is never
// a quote, so this holds for encoded text too.
std::string doubledQuotes(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out;
}

}  // namespace

namespace {

// True when the text has neither a quote nor a byte above ASCII: it goes out as it stands.
// Most fields are a few digits, so a plain loop beats two library scans.
bool plainAscii(std::string_view text) {
  for (char c : text)
    if (c == '"' || (static_cast<unsigned char>(c) & 0x80)) return false;
  return true;
}

bool hasQuote(std::string_view text) {
  for (char c : text)
    if (c == '"') return true;
  return false;
}

}  // namespace

void RecordWriter::field(std::string_view text) {
  open();
  if (direct_ && plainAscii(text)) {
    out_.append(text);
  } else if (!hasQuote(text)) {
    put(text);
  } else {
    put(doubledQuotes(text));
  }
  close();
}

void RecordWriter::encodedField(std::string_view cp932) {
  open();
  if (!hasQuote(cp932)) {
    out_.append(cp932);
  } else {
    out_.append(doubledQuotes(cp932));
  }
  close();
}

void RecordWriter::escapedField(std::string_view escapedCp932) {
  open();
  out_.append(escapedCp932);
  close();
}

std::string RecordWriter::escaped(std::string_view cp932) {
  return hasQuote(cp932) ? doubledQuotes(cp932) : std::string(cp932);
}

void RecordWriter::quotedFields(std::string_view ascii) {
  if (direct_) {
    out_.append(ascii);
  } else {
    put(ascii);
  }
}

void RecordWriter::endLine() {
  if (direct_) {
    out_.append(kCrLf);
  } else {
    put(kCrLf);
  }
  first_ = true;
}

void RecordWriter::openEncoded() {
  put(first_ ? std::string_view("\"") : std::string_view(",\""));
  first_ = false;
}

void RecordWriter::put(std::string_view text) {
  if (direct_ && isAscii(text)) {
    out_.append(text);
  } else {
    appendCp932(out_, text);
  }
}

}  // namespace ledra
