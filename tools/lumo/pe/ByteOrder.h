// Little-endian fields of PE images, icon files and resources: bounds-checked reads that
// report whether the bytes were there, and writes into a growing buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lumo::pe {

using Bytes = std::vector<std::uint8_t>;
using ByteSpan = std::span<const std::uint8_t>;

// The value at `at`, or nullopt when the field does not lie wholly inside `bytes`.
template <typename T>
std::optional<T> readLe(ByteSpan bytes, std::uint64_t at) {
  if (at > bytes.size() || bytes.size() - at < sizeof(T)) return std::nullopt;
  T value = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) value |= static_cast<T>(static_cast<T>(bytes[at + i]) << (8 * i));
  return value;
}

// Stores `value` at `at`; the caller has made room.
template <typename T>
void writeLe(std::span<std::uint8_t> bytes, std::size_t at, T value) {
  for (std::size_t i = 0; i < sizeof(T); ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

template <typename T>
void appendLe(Bytes& out, T value) {
  for (std::size_t i = 0; i < sizeof(T); ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline void padTo(Bytes& out, std::size_t alignment) {
  while (out.size() % alignment) out.push_back(0);
}

constexpr std::uint64_t alignUp(std::uint64_t value, std::uint64_t alignment) {
  return alignment == 0 ? value : (value + alignment - 1) / alignment * alignment;
}

}  // namespace lumo::pe
