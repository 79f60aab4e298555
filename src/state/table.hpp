#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace ledra {

// A failure that ends the running step: capacity overflow, bad number, malformed input.
class StepError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class CapacityError : public StepError {
 public:
  using StepError::StepError;
};

// A table of fixed capacity with a count of used entries, as the conversion tables are kept.
template <class T, int32_t Capacity>
class Table {
 public:
  static constexpr int32_t kCapacity = Capacity;

  int32_t count() const { return count_; }
  bool empty() const { return count_ == 0; }
  void clear() { count_ = 0; }

  // Appends a fresh entry and returns it; past the capacity this is an error of the step.
  T& append() {
    if (count_ >= Capacity)
      throw CapacityError("table full (" + std::to_string(Capacity) + " entries)");
    if (static_cast<int32_t>(items_.size()) <= count_) items_.resize(count_ + 1);
    items_[count_] = T{};
    return items_[count_++];
  }
  T& append(T value) {
    // Taken by value: the argument may be an entry of this table, which append() can move.
    T& slot = append();
    slot = std::move(value);
    return slot;
  }

  // Sets the count directly, with fresh entries beyond the previous ones (used by the restore).
  void resize(int32_t n) {
    if (n < 0 || n > Capacity)
      throw CapacityError("count " + std::to_string(n) + " outside 0.." + std::to_string(Capacity));
    items_.assign(static_cast<size_t>(n), T{});
    count_ = n;
  }

  T& operator[](int32_t i) { return items_[checked(i)]; }
  const T& operator[](int32_t i) const { return items_[checked(i)]; }

  T* begin() { return items_.data(); }
  T* end() { return items_.data() + count_; }
  const T* begin() const { return items_.data(); }
  const T* end() const { return items_.data() + count_; }

 private:
  size_t checked(int32_t i) const {
    if (i < 0 || i >= count_)
      throw StepError("index " + std::to_string(i) + " outside the table (count " +
                      std::to_string(count_) + ")");
    return static_cast<size_t>(i);
  }

  std::vector<T> items_;
  int32_t count_ = 0;
};

// Text columns numbered from 1, as in the source line.
template <int N>
struct Columns {
  static constexpr int kSize = N;
  std::array<std::string, N> values;

  std::string& col(int n) { return values.at(static_cast<size_t>(n - 1)); }
  const std::string& col(int n) const { return values.at(static_cast<size_t>(n - 1)); }
  bool operator==(const Columns&) const = default;
};

}  // namespace ledra
