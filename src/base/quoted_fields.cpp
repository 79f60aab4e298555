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

bool cutQuotedFields(std::string_view line, std::vector<std::string_view>& fields,
                     std::string& scratch, bool quotesAtFieldStartOnly) {
  fields.clear();
  scratch.clear();
  // Unquoting only shortens a field, so the scratch never grows past this and views into it
  // stay valid.
  scratch.reserve(line.size());
  bool open = false;
  size_t start = 0;
  auto take = [&](size_t end) {
    std::string_view f = line.substr(start, end - start);
    if (f.size() >= 2 && f.front() == '"' && f.back() == '"') {
      f = f.substr(1, f.size() - 2);
      if (f.find('"') != std::string_view::npos) {
        const size_t from = scratch.size();
        for (size_t i = 0; i < f.size(); ++i) {
          scratch += f[i];
          if (f[i] == '"' && i + 1 < f.size() && f[i + 1] == '"') ++i;
        }
        f = std::string_view(scratch).substr(from);
      }
    }
    fields.push_back(f);
  };
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') {
      if (open) {
        // Under the field-start rule a doubled quote keeps the stretch open.
        if (quotesAtFieldStartOnly && i + 1 < line.size() && line[i + 1] == '"') {
          ++i;
        } else {
          open = false;
        }
      } else if (!quotesAtFieldStartOnly || i == start) {
        open = true;
      }
    } else if (c == ',' && !open) {
      take(i);
      start = i + 1;
    }
  }
  take(line.size());
  return !open;
}

void appendQuotedWhenNeeded(std::string& out, std::string_view text) {
  if (text.find_first_of(",\"") == std::string_view::npos) {
    out.append(text);
    return;
  }
  out += '"';
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace ledra
