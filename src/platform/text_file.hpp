#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ledra {

class Platform;

// Reading text files and cutting them into lines.

// The whole file as text, every line followed by CR LF (n lines give n CR LF pairs; an empty
// file gives an empty text). A file that uses bare LF throughout is read as if it used CR LF.
// Nothing when the file is missing or cannot be read.
std::optional<std::string> readWholeTextFile(const std::string& path);

// The same, except that a well-formed UTF-8 file (with its byte-order mark) keeps the
// characters CP932 lacks, so that a reader can say which texts it had to change. utf8 says
// which of the two the text is.
struct SourceText {
  std::string text;
  bool utf8 = false;
};
std::optional<SourceText> readSourceText(const std::string& path);
// True when the file begins with UTF-8's byte-order mark (only those bytes are read).
bool startsWithUtf8Mark(const std::string& path);

// Why the file's bytes hold no text this program reads (empty, UTF-16, binary, UTF-8 without
// the byte-order mark), in words for a detail line; empty when none of these is the case.
std::string unusableTextReason(const std::string& path);

// When a double quote is still open at the end of the text (every quote opens or closes a
// quoted stretch, as the line cutting counts them), the 1-based line where the fault lies: the
// first line that ends inside quotes, else the line of the last quote.
std::optional<int64_t> openQuoteLine(std::string_view text);

// Cuts text at the delimiter (CR LF or one character) except inside double-quoted stretches.
// A doubled quote outside a quoted stretch stays a quote; with removeQuotes every other quote
// is dropped. A text that ends with the delimiter yields a last, empty part. Progress goes to
// the platform's progress bar every 100 characters when a platform is given.
std::vector<std::string> splitQuotedText(std::string_view text, std::string_view delimiter,
                                         bool removeQuotes, Platform* progress = nullptr);

// The 1-based file line on which each part of a CR LF split begins (a part may hold CR LF
// pairs of its own when they stood inside quotes).
std::vector<int64_t> fileLineNumbers(const std::vector<std::string>& lines);

// The parts of splitQuotedText(text, "\r\n", false) one at a time, each with the file line it
// begins on (as fileLineNumbers gives it), without building them all first. The progress bar
// sees exactly what splitQuotedText would show it, all at construction.
class CrLfLineReader {
 public:
  explicit CrLfLineReader(std::string_view text, Platform* progress = nullptr);

  // The next part; false after the last. The view stays valid until the next call.
  bool next(std::string_view& line, int64_t& fileLine);

 private:
  std::string_view text_;
  size_t pos_ = 0;
  bool done_ = false;
  int64_t nextLine_ = 1;
  std::string scratch_;  // a part whose control marks had to be turned back into text
};

}  // namespace ledra
