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
  // Fields given already quoted and with their leading comma.
  void quotedFields(std::string_view ascii);
  void endLine();

 private:
  void open();
  void close();
  void put(std::string_view text);

  std::string& out_;
  const bool direct_;
  bool first_ = true;
};

}  // namespace ledra
