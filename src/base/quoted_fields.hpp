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

// Cuts a line at the commas that stand outside double quotes. A field enclosed in quotes loses
// them and each doubled quote inside becomes one ("a,""b""" -> a,"b); any other field stays as
// it stands. With quotesAtFieldStartOnly a quote opens a quoted stretch only as a field's first
// character (the work-state file's rule); otherwise every quote opens or closes one, as the
// line cutting of the text files counts them. Views point into the line or into scratch, which
// the call owns until the next. False when a quote is still open at the end of the line.
bool cutQuotedFields(std::string_view line, std::vector<std::string_view>& fields,
                     std::string& scratch, bool quotesAtFieldStartOnly = false);

// The field as cutQuotedFields reads it back: enclosed in quotes, inner quotes doubled, when it
// holds a comma or a double quote; otherwise as it stands.
void appendQuotedWhenNeeded(std::string& out, std::string_view text);

}  // namespace ledra
