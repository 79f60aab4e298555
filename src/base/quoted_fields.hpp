#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ledra {

// "abc" -> abc; a text shorter than two characters, or not enclosed, comes back unchanged.
std::string stripEnclosingQuotes(std::string_view field);
// The same as a view into the field.
std::string_view stripEnclosingQuotesView(std::string_view field);

// The comma-separated fields of a line, each without enclosing quotes, as views into the line;
// `fields` is cleared first, so one vector can serve line after line.
void quotedFieldViews(std::string_view line, std::vector<std::string_view>& fields);

}  // namespace ledra
