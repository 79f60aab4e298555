// Line and field cutting: the quote rules must agree with each other and never read past the
// text.
#include <cstdlib>
#include <string>
#include <vector>

#include "base/quoted_fields.hpp"
#include "fuzz_support.hpp"
#include "platform/text_file.hpp"

using namespace ledra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = fuzz::asText(data, size);

  // The reader hands out exactly the parts of the split, with the split's line numbers.
  const std::vector<std::string> parts = splitQuotedText(text, "\r\n", false);
  const std::vector<int64_t> numbers = fileLineNumbers(parts);
  CrLfLineReader reader(text);
  std::string_view line;
  int64_t fileLine = 0;
  size_t n = 0;
  while (reader.next(line, fileLine)) {
    if (n >= parts.size() || line != parts[n] || fileLine != numbers[n]) std::abort();
    ++n;
  }
  if (n != parts.size()) std::abort();
  openQuoteLine(text);

  // Fields written back as the work-state file writes them are read back the same.
  std::vector<std::string_view> fields;
  std::string scratch;
  cutQuotedFields(text, fields, scratch);
  if (cutQuotedFields(text, fields, scratch, true)) {
    const std::vector<std::string> kept(fields.begin(), fields.end());
    std::string joined;
    for (size_t i = 0; i < kept.size(); ++i) {
      if (i) joined += ',';
      appendQuotedWhenNeeded(joined, kept[i]);
    }
    std::vector<std::string_view> again;
    std::string scratch2;
    if (!cutQuotedFields(joined, again, scratch2, true)) std::abort();
    if (again.size() != kept.size()) std::abort();
    for (size_t i = 0; i < kept.size(); ++i)
      if (again[i] != kept[i]) std::abort();
  }
  return 0;
}
