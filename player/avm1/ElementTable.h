// Where an array's elements sit among its properties, by index: reads and writes by a number
// find the property without formatting the number as text and hashing it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace avm1 {

class ElementTable {
 public:
  // The index a name stands for when it is an index's own decimal form ("7", not "07" or " 7").
  static bool indexOf(const std::string& name, uint32_t* index);
  // A number that names an element, as its text would: a whole number in 0..2^31-1.
  static bool indexOf(double number, uint32_t* index) {
    if (!(number >= 0 && number < 2147483648.0)) return false;
    *index = static_cast<uint32_t>(number);
    return *index == number;
  }

  void added(const std::string& name, size_t position);
  void removed(const std::string& name, size_t position);
  void clear();
  // Sets `position` to the element's place among the properties (none: npos) and says true,
  // or says false when the table cannot tell: an array far sparser than its properties gives
  // the table up and is read by names.
  bool find(uint32_t index, size_t* position) const {
    if (gaveUp_) return false;
    *position = index < slots_.size() && slots_[index] ? slots_[index] - 1 : npos;
    return true;
  }
  static constexpr size_t npos = ~size_t{0};

 private:
  // Every element whose index is below slots_.size() is in the table, and none lies beyond.
  std::vector<uint32_t> slots_;  // place + 1; 0: no such element
  bool gaveUp_ = false;
};

}  // namespace avm1
