#include "state/journal_entry.hpp"

#include <utility>

namespace ledra {

void Journal::reset(std::string path, std::string text) {
  entries.clear();
  foldedDescriptions.clear();
  kept_.clear();
  path_ = std::move(path);
  text_ = std::move(text);
}

std::string_view Journal::keep(std::string_view text) {
  if (text.empty()) return {};
  return kept_.emplace_back(text);
}

}  // namespace ledra
