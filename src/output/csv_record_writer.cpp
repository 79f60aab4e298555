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

void RecordWriter::field(std::string_view text) {
  open();
  put(text);
  close();
}

void RecordWriter::encodedField(std::string_view cp932) {
  open();
  out_.append(cp932);
  close();
}

void RecordWriter::endLine() {
  put(kCrLf);
  first_ = true;
}

void RecordWriter::open() {
  put(first_ ? std::string_view("\"") : std::string_view(",\""));
  first_ = false;
}

void RecordWriter::close() {
  if (direct_) {
    out_ += '"';
  } else {
    put("\"");
  }
}

void RecordWriter::put(std::string_view text) {
  if (direct_ && isAscii(text)) {
    out_.append(text);
  } else {
    appendCp932(out_, text);
  }
}

}  // namespace ledra
