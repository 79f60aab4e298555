#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ledra {

// Answers "the first (or last) entry whose key equals ..." of a table in one pass instead of a
// search per question. Keys are a text or a pair of texts; the key bytes are copied side by
// side, so a lookup touches the slots and one stretch of that store rather than the tables'
// scattered strings, and the index stays valid whatever happens to the table afterwards.
class TextIndex {
 public:
  enum class Keep { First, Last };

  explicit TextIndex(size_t expected = 0, Keep keep = Keep::First);

  // Adds a key; an equal key already there keeps its row (Keep::First) or takes this one.
  void put(std::string_view a, std::string_view b, int32_t row);
  void put(std::string_view key, int32_t row) { put(key, {}, row); }

  std::optional<int32_t> find(std::string_view a, std::string_view b = {}) const;

 private:
  struct Slot {
    uint64_t hash = 0;
    uint32_t offset = 0;
    uint32_t firstSize = 0;
    uint32_t size = 0;
    int32_t row = 0;
    bool used = false;
  };

  bool matches(const Slot& slot, uint64_t h, std::string_view a, std::string_view b) const;
  void grow();

  Keep keep_;
  int32_t count_ = 0;
  std::vector<Slot> slots_;
  size_t mask_ = 0;
  std::string keys_;
};

// The index of a table by one key per entry (a text, or a std::pair of texts).
template <class TableT, class Key>
TextIndex indexBy(const TableT& table, TextIndex::Keep keep, Key key) {
  TextIndex index(static_cast<size_t>(table.count()), keep);
  for (int32_t i = 0; i < table.count(); ++i) {
    const auto k = key(table[i]);
    if constexpr (requires { k.first; }) {
      index.put(k.first, k.second, i);
    } else {
      index.put(k, i);
    }
  }
  return index;
}

// Every entry of each key, in table order. Keys are views of the table's own texts, so the
// index lives only while those stay put.
class TextMultiIndex {
 public:
  template <class TableT, class Key>
  TextMultiIndex(const TableT& table, Key key) {
    map_.reserve(static_cast<size_t>(table.count()));
    for (int32_t i = 0; i < table.count(); ++i) map_[key(table[i])].push_back(i);
  }
  const std::vector<int32_t>& entriesOf(std::string_view key) const;

 private:
  std::unordered_map<std::string_view, std::vector<int32_t>> map_;
};

}  // namespace ledra
