// The element table's upkeep as properties come and go.
#include "ElementTable.h"

#include <algorithm>

namespace avm1 {

namespace {
constexpr size_t kMaxGap = 4096;  // a table grows past this many missing elements only by names
}

bool ElementTable::indexOf(const std::string& name, uint32_t* index) {
  size_t n = name.size();
  if (n == 0 || n > 10 || (n > 1 && name[0] == '0')) return false;
  uint64_t value = 0;
  for (char c : name) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  if (value > 2147483647u) return false;
  *index = static_cast<uint32_t>(value);
  return true;
}

void ElementTable::added(const std::string& name, size_t position) {
  uint32_t index = 0;
  if (gaveUp_ || !indexOf(name, &index)) return;
  if (index >= slots_.size()) {
    if (index - slots_.size() > kMaxGap || position >= UINT32_MAX) {
      gaveUp_ = true;
      slots_ = {};
      return;
    }
    // Room for many at once: arrays grow an element at a time, and most stay small.
    if (index >= slots_.capacity()) slots_.reserve(std::max<size_t>(16, 2 * (static_cast<size_t>(index) + 1)));
    slots_.resize(static_cast<size_t>(index) + 1, 0);
  }
  slots_[index] = static_cast<uint32_t>(position + 1);
}

void ElementTable::removed(const std::string& name, size_t position) {
  uint32_t index = 0;
  if (gaveUp_ || !indexOf(name, &index) || index >= slots_.size()) return;
  if (slots_[index] == position + 1) slots_[index] = 0;
}

void ElementTable::clear() {
  slots_.clear();
  gaveUp_ = false;
}

}  // namespace avm1
