#include "base/quoted_fields.hpp"

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

}  // namespace ledra
