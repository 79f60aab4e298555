#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ledra {

struct ConversionData;

// The work-state file (.dat): settings, the standard chart of accounts and every work table
// with the user's mapping decisions, as CP932 text with CR LF line ends.

// The file's bytes for the data; nothing, with the item and reason in *problem, when a text
// cannot be stored faithfully (a line break anywhere, a comma in a record field or a source
// path).
std::optional<std::string> workStateBytes(const ConversionData& data,
                                          std::string* problem = nullptr);

// Why the user code cannot head the archive's file name (a path separator, "." or "..", a
// control character, too long); empty when it can.
std::string userCodeProblem(std::string_view userCode);

// Reads a work-state file's text into data, which should start empty. False, with
// "N行目: reason" in *problem, when the text is not a complete, well-formed work-state file;
// data may then hold part of it.
bool parseWorkState(std::string_view text, ConversionData& data, std::string* problem);

}  // namespace ledra
