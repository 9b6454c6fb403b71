// Bounds-checked reads of a byte range: every header, table entry and name of an image is read
// through it, so a truncated or corrupt image (untrusted input) is refused instead of overrun.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lumo {

class BoundedBytes {
 public:
  BoundedBytes() = default;
  BoundedBytes(const void* data, size_t size) : data_(static_cast<const uint8_t*>(data)), size_(size) {}

  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }

  // True when [offset, offset + length) lies inside the range (no overflow).
  bool contains(uint64_t offset, uint64_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }
  // A pointer to `count` consecutive T at offset, or null when they do not fit.
  template <typename T>
  const T* at(uint64_t offset, uint64_t count = 1) const {
    if (count > SIZE_MAX / sizeof(T) || !contains(offset, count * sizeof(T))) return nullptr;
    return reinterpret_cast<const T*>(data_ + offset);
  }
  // A NUL-terminated ANSI string at offset, or null when it does not end inside the range.
  const char* string(uint64_t offset) const {
    if (offset >= size_) return nullptr;
    const void* end = std::memchr(data_ + offset, 0, size_ - static_cast<size_t>(offset));
    return end ? reinterpret_cast<const char*>(data_ + offset) : nullptr;
  }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace lumo
