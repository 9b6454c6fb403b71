// Writes SWF bytes for the reader's tests: bit fields, little-endian integers, tags and whole
// movies, so each fixture reads as the fields it holds.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace swf_test {

using Bytes = std::vector<uint8_t>;

class SwfBytes {
 public:
  SwfBytes& ubits(uint32_t value, unsigned count) {
    for (unsigned i = count; i-- > 0;) {
      if (bitCount_ == 0) {
        out_.push_back(0);
        bitCount_ = 8;
      }
      --bitCount_;
      if ((value >> i) & 1u) out_.back() |= static_cast<uint8_t>(1u << bitCount_);
    }
    return *this;
  }
  SwfBytes& sbits(int32_t value, unsigned count) { return ubits(static_cast<uint32_t>(value), count); }
  SwfBytes& align() {
    bitCount_ = 0;
    return *this;
  }
  SwfBytes& u8(uint8_t v) {
    align();
    out_.push_back(v);
    return *this;
  }
  SwfBytes& u16(uint16_t v) { return u8(v & 0xFF).u8(v >> 8); }
  SwfBytes& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
  SwfBytes& bytes(const Bytes& b) {
    align();
    out_.insert(out_.end(), b.begin(), b.end());
    return *this;
  }
  SwfBytes& bytes(std::initializer_list<uint8_t> b) { return bytes(Bytes(b)); }
  SwfBytes& str(const std::string& s) {
    align();
    out_.insert(out_.end(), s.begin(), s.end());
    out_.push_back(0);
    return *this;
  }
  // RECT with the given field width.
  SwfBytes& rect(int32_t xMin, int32_t xMax, int32_t yMin, int32_t yMax, unsigned bits) {
    align();
    ubits(bits, 5).sbits(xMin, bits).sbits(xMax, bits).sbits(yMin, bits).sbits(yMax, bits);
    return align();
  }
  // A MATRIX with only a translation.
  SwfBytes& translate(int32_t tx, int32_t ty, unsigned bits = 16) {
    align();
    ubits(0, 2).ubits(bits, 5).sbits(tx, bits).sbits(ty, bits);
    return align();
  }
  const Bytes& data() const { return out_; }

 private:
  Bytes out_;
  unsigned bitCount_ = 0;
};

inline Bytes tag(uint16_t code, const Bytes& body, bool longForm = false) {
  SwfBytes w;
  if (body.size() < 0x3F && !longForm) {
    w.u16(static_cast<uint16_t>(code << 6 | body.size()));
  } else {
    w.u16(static_cast<uint16_t>(code << 6 | 0x3F)).u32(static_cast<uint32_t>(body.size()));
  }
  return w.bytes(body).data();
}

inline Bytes join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

inline Bytes zlib(const Bytes& raw) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  Bytes out(size);
  compress(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
  out.resize(size);
  return out;
}

// A movie of 550x400 pixels at 24 frames per second, one frame declared, with `tags` (an End
// tag is added).
inline Bytes movie(uint8_t version, const Bytes& tags, bool compressed = false) {
  SwfBytes body;
  body.rect(0, 11000, 0, 8000, 15).u16(24 << 8).u16(1).bytes(tags).u16(0);
  Bytes payload = compressed ? zlib(body.data()) : body.data();
  SwfBytes file;
  file.bytes({static_cast<uint8_t>(compressed ? 'C' : 'F'), 'W', 'S', version});
  file.u32(static_cast<uint32_t>(8 + body.data().size())).bytes(payload);
  return file.data();
}

}  // namespace swf_test
