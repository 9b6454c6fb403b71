// A text kept enciphered in memory (secure and global variables): Blowfish in CBC mode with
// a zero IV, keyed by the SHA-384 of the built-in key text written as hexadecimal digits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumo::record {

class ProtectedString {
 public:
  ProtectedString() = default;

  // Enciphers the UTF-16 text and its terminator, padded with zeros to whole 8-byte blocks.
  // An empty text changes nothing: the previous value stays.
  void set(std::wstring_view text);
  // Deciphers a copy; the empty text when nothing is held.
  std::wstring get() const;

  // The enciphered bytes as stored in a record of kind 1.
  const std::vector<std::uint8_t>& enciphered() const { return bytes_; }
  void setEnciphered(std::vector<std::uint8_t> bytes) { bytes_ = std::move(bytes); }
  bool empty() const { return bytes_.empty(); }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace lumo::record
