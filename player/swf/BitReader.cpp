// Bounds-checked reads of SWF's integers, fixed-point numbers, strings and bit fields: one
// check before each read, and a failed reader answers zero from then on.
#include "BitReader.h"

#include <algorithm>
#include <cstring>

namespace swf {

bool BitReader::take(size_t count) {
  bitCount_ = 0;
  if (!ok_ || count > size_ - pos_) {
    ok_ = false;
    return false;
  }
  return true;
}

uint8_t BitReader::u8() {
  if (!take(1)) return 0;
  return data_[pos_++];
}

uint16_t BitReader::u16() {
  if (!take(2)) return 0;
  uint16_t value = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
  pos_ += 2;
  return value;
}

uint32_t BitReader::u32() {
  if (!take(4)) return 0;
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | data_[pos_ + i];
  pos_ += 4;
  return value;
}

double BitReader::fixed8() { return i16() / 256.0; }

double BitReader::fixed16() { return static_cast<int32_t>(u32()) / 65536.0; }

float BitReader::f32() {
  uint32_t raw = u32();
  float value;
  std::memcpy(&value, &raw, sizeof value);
  return value;
}

std::vector<uint8_t> BitReader::bytes(size_t count) {
  if (!take(count)) return {};
  std::vector<uint8_t> out(data_ + pos_, data_ + pos_ + count);
  pos_ += count;
  return out;
}

std::vector<uint8_t> BitReader::rest() { return bytes(remaining()); }

void BitReader::skip(size_t count) {
  if (take(count)) pos_ += count;
}

std::string BitReader::string() {
  if (!take(0)) return {};
  const uint8_t* start = data_ + pos_;
  const void* end = std::memchr(start, 0, size_ - pos_);
  if (!end) {
    ok_ = false;
    return {};
  }
  size_t length = static_cast<const uint8_t*>(end) - start;
  pos_ += length + 1;
  return std::string(reinterpret_cast<const char*>(start), length);
}

uint32_t BitReader::ubits(unsigned count) {
  if (count > 32) {
    ok_ = false;
    return 0;
  }
  uint32_t value = 0;
  for (unsigned i = 0; i < count; ++i) {
    if (bitCount_ == 0) {
      if (!ok_ || pos_ >= size_) {
        ok_ = false;
        return 0;
      }
      bitBuffer_ = data_[pos_++];
      bitCount_ = 8;
    }
    --bitCount_;
    value = (value << 1) | ((bitBuffer_ >> bitCount_) & 1u);
  }
  return ok_ ? value : 0;
}

int32_t BitReader::sbits(unsigned count) {
  if (count == 0) return 0;
  uint32_t raw = ubits(count);
  if (count < 32 && (raw & (1u << (count - 1)))) raw |= ~0u << count;  // sign-extend
  return static_cast<int32_t>(raw);
}

BitReader BitReader::sub(size_t count) {
  bitCount_ = 0;
  size_t length = std::min(count, remaining());
  BitReader inner(data_ + pos_, length);
  if (!ok_) inner.fail();
  pos_ += length;
  return inner;
}

}  // namespace swf
