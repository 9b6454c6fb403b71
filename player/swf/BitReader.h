// Reads SWF's little-endian integers, fixed-point numbers, strings and bit fields from a byte
// range. Every read is bounds-checked: a read past the end fails, returns zero and stays failed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace swf {

class BitReader {
 public:
  BitReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  // False once any read ran past the end (or was marked bad); every later read returns zero.
  bool ok() const { return ok_; }
  void fail() { ok_ = false; }
  size_t position() const { return pos_; }
  size_t remaining() const { return ok_ ? size_ - pos_ : 0; }
  bool atEnd() const { return remaining() == 0; }
  const uint8_t* current() const { return data_ + pos_; }

  // Byte reads start at the next whole byte: a bit field in progress is left.
  uint8_t u8();
  uint16_t u16();
  uint32_t u32();
  int16_t i16() { return static_cast<int16_t>(u16()); }
  double fixed8();   // signed 8.8
  double fixed16();  // signed 16.16
  float f32();
  std::vector<uint8_t> bytes(size_t count);
  std::vector<uint8_t> rest();
  void skip(size_t count);
  std::string string();  // null-terminated; the bytes as they are in the file

  // Bit fields, most significant bit first. A width of zero reads nothing and gives 0.
  bool bit() { return ubits(1) != 0; }
  uint32_t ubits(unsigned count);
  int32_t sbits(unsigned count);
  double fbits(unsigned count) { return sbits(count) / 65536.0; }  // signed 16.16
  void align() { bitCount_ = 0; }

  // A reader over the next `count` bytes (clamped to what remains), which this one skips.
  BitReader sub(size_t count);

 private:
  bool take(size_t count);  // aligns, then claims `count` bytes or fails

  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  uint8_t bitBuffer_ = 0;
  unsigned bitCount_ = 0;  // bits of bitBuffer_ not yet read
  bool ok_ = true;
};

}  // namespace swf
