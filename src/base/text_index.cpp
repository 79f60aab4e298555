#include "base/text_index.hpp"

#include <functional>

namespace ledra {

namespace {

uint64_t hashOf(std::string_view a, std::string_view b) {
  const uint64_t h = std::hash<std::string_view>{}(a);
  if (b.empty()) return h;
  return h ^ (std::hash<std::string_view>{}(b) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2));
}

}  // namespace

TextIndex::TextIndex(size_t expected, Keep keep) : keep_(keep) {
  size_t n = 16;
  while (n < expected * 2) n <<= 1;
  slots_.resize(n);
  mask_ = n - 1;
}

void TextIndex::put(std::string_view a, std::string_view b, int32_t row) {
  // Kept at most half full, so that a search always ends at a free slot.
  if (2 * (static_cast<size_t>(count_) + 1) > slots_.size()) grow();
  const uint64_t h = hashOf(a, b);
  for (size_t i = h & mask_;; i = (i + 1) & mask_) {
    Slot& slot = slots_[i];
    if (!slot.used) {
      slot = Slot{h,
                  static_cast<uint32_t>(keys_.size()),
                  static_cast<uint32_t>(a.size()),
                  static_cast<uint32_t>(a.size() + b.size()),
                  row,
                  true};
      keys_.append(a);
      keys_.append(b);
      ++count_;
      return;
    }
    if (matches(slot, h, a, b)) {
      if (keep_ == Keep::Last) slot.row = row;
      return;
    }
  }
}

void TextIndex::grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.size() * 2, Slot{});
  mask_ = slots_.size() - 1;
  for (const Slot& s : old) {
    if (!s.used) continue;
    size_t i = s.hash & mask_;
    while (slots_[i].used) i = (i + 1) & mask_;
    slots_[i] = s;
  }
}

std::optional<int32_t> TextIndex::find(std::string_view a, std::string_view b) const {
  const uint64_t h = hashOf(a, b);
  for (size_t i = h & mask_;; i = (i + 1) & mask_) {
    const Slot& slot = slots_[i];
    if (!slot.used) return std::nullopt;
    if (matches(slot, h, a, b)) return slot.row;
  }
}

bool TextIndex::matches(const Slot& slot, uint64_t h, std::string_view a,
                        std::string_view b) const {
  if (slot.hash != h || slot.firstSize != a.size() || slot.size != a.size() + b.size())
    return false;
  const char* k = keys_.data() + slot.offset;
  return a.compare(std::string_view(k, a.size())) == 0 &&
         b.compare(std::string_view(k + a.size(), b.size())) == 0;
}

const std::vector<int32_t>& TextMultiIndex::entriesOf(std::string_view key) const {
  static const std::vector<int32_t> kNone;
  auto it = map_.find(key);
  return it == map_.end() ? kNone : it->second;
}

}  // namespace ledra
