#pragma once

#include <string>
#include <string_view>

namespace ledra {

// Writes records straight into a CP932 file text: "a","b","c" with a quote inside a field
// doubled, then CR LF. Encoding piece by piece gives the bytes that encoding the whole line
// would, as the quotes between fields end every character; only the texts that are not plain
// ASCII need the encoder.
class RecordWriter {
 public:
  explicit RecordWriter(std::string& out);

  // A field from text.
  void field(std::string_view text);
  // A field whose CP932 bytes are at hand.
  void encodedField(std::string_view cp932);
  // A field whose CP932 bytes have their quotes doubled already (escaped()), written without
  // looking at them again: for texts that recur line after line.
  void escapedField(std::string_view escapedCp932);
  static std::string escaped(std::string_view cp932);
  // Fields given already quoted and with their leading comma.
  void quotedFields(std::string_view ascii);
  void endLine();

 private:
  // Inline: they run twice for every field of a file of tens of thousands of lines.
  void open() {
    if (direct_) {
      if (!first_) out_ += ',';
      out_ += '"';
      first_ = false;
    } else {
      openEncoded();
    }
  }
  void close() {
    if (direct_) {
      out_ += '"';
    } else {
      put("\"");
    }
  }
  void openEncoded();
  void put(std::string_view text);

  std::string& out_;
  const bool direct_;
  bool first_ = true;
};

}  // namespace ledra
