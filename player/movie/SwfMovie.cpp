// Reading and writing the SWF container: bit-packed frame rectangle, tag headers (short and
// long form) and the zlib body of compressed movies.
#include "SwfMovie.h"

#include <zlib.h>

#include <algorithm>

namespace movie {
namespace {

// Reads bits most significant first, as the SWF RECT record packs them.
class BitReader {
 public:
  BitReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool read(int count, uint32_t& out) {
    out = 0;
    for (int i = 0; i < count; ++i) {
      size_t byte = bit_ / 8;
      if (byte >= size_) return false;
      out = (out << 1) | ((data_[byte] >> (7 - bit_ % 8)) & 1);
      ++bit_;
    }
    return true;
  }
  bool readSigned(int count, int32_t& out) {
    uint32_t raw;
    if (!read(count, raw)) return false;
    if (count > 0 && count < 32 && (raw & (1u << (count - 1)))) raw |= ~((1u << count) - 1);
    out = static_cast<int32_t>(raw);
    return true;
  }
  size_t bytesUsed() const { return (bit_ + 7) / 8; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t bit_ = 0;
};

class BitWriter {
 public:
  void write(int count, uint32_t value) {
    for (int i = count - 1; i >= 0; --i) {
      if (bit_ % 8 == 0) out_.push_back(0);
      if ((value >> i) & 1) out_.back() |= static_cast<uint8_t>(0x80 >> (bit_ % 8));
      ++bit_;
    }
  }
  std::vector<uint8_t>& bytes() { return out_; }

 private:
  std::vector<uint8_t> out_;
  size_t bit_ = 0;
};

uint32_t le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(v & 0xFF);
  out.push_back(v >> 8);
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back((v >> (8 * i)) & 0xFF);
}

int bitsFor(int32_t v) {
  // Signed field width: magnitude bits plus the sign bit.
  uint32_t m = v < 0 ? ~static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
  int n = 1;
  while (m) {
    ++n;
    m >>= 1;
  }
  return n;
}

void putTag(std::vector<uint8_t>& out, uint16_t code, const std::vector<uint8_t>& body) {
  // The short form holds lengths up to 62; 63 marks the long form with a 32-bit length.
  if (body.size() < 63) {
    put16(out, static_cast<uint16_t>((code << 6) | body.size()));
  } else {
    put16(out, static_cast<uint16_t>((code << 6) | 0x3F));
    put32(out, static_cast<uint32_t>(body.size()));
  }
  out.insert(out.end(), body.begin(), body.end());
}

bool fail(std::string* error, const char* text) {
  if (error) *error = text;
  return false;
}

bool parseBody(const uint8_t* p, size_t size, SwfMovie& m, std::string* error) {
  BitReader bits(p, size);
  uint32_t nbits;
  if (!bits.read(5, nbits)) return fail(error, "truncated frame rectangle");
  if (!bits.readSigned(nbits, m.xMin) || !bits.readSigned(nbits, m.xMax) ||
      !bits.readSigned(nbits, m.yMin) || !bits.readSigned(nbits, m.yMax))
    return fail(error, "truncated frame rectangle");
  size_t pos = bits.bytesUsed();
  if (size - pos < 4) return fail(error, "truncated header");
  m.frameRate = p[pos + 1] + p[pos] / 256.0;
  m.frameCount = static_cast<uint16_t>(p[pos + 2] | (p[pos + 3] << 8));
  pos += 4;
  while (size - pos >= 2) {
    uint16_t header = static_cast<uint16_t>(p[pos] | (p[pos + 1] << 8));
    pos += 2;
    uint16_t code = header >> 6;
    size_t length = header & 0x3F;
    if (length == 0x3F) {
      if (size - pos < 4) break;
      length = le32(p + pos);
      pos += 4;
    }
    if (length > size - pos) break;  // a truncated tag ends the movie
    const uint8_t* body = p + pos;
    pos += length;
    if (code == kTagEnd) break;
    if (code == kTagShowFrame) {
      ++m.shownFrames;
    } else if (code == kTagSetBackgroundColor && length >= 3) {
      m.background = (uint32_t(body[0]) << 16) | (uint32_t(body[1]) << 8) | body[2];
    } else if (code == kTagDoAction) {
      m.actions.push_back({m.shownFrames, false, std::vector<uint8_t>(body, body + length)});
    } else if (code == kTagDoInitAction && length >= 2) {  // a sprite id, then the actions
      m.actions.push_back({m.shownFrames, true, std::vector<uint8_t>(body + 2, body + length)});
    } else if (code == kTagFileAttributes && length >= 1) {
      m.actionScript3 = (body[0] & 0x08) != 0;
    } else if (code == kTagScriptLimits && length >= 4) {
      m.scriptTimeoutSeconds = body[2] | (body[3] << 8);
    } else if (code == kTagScript && !m.hasScript) {
      m.hasScript = true;
      m.script.assign(reinterpret_cast<const char*>(body), length);
    }
  }
  return true;
}

}  // namespace

std::optional<SwfMovie> parseSwf(const uint8_t* data, size_t size, std::string* error) {
  if (!data || size < 8) {
    fail(error, "too short for a SWF header");
    return std::nullopt;
  }
  SwfMovie m;
  if (data[1] != 'W' || data[2] != 'S' || (data[0] != 'F' && data[0] != 'C')) {
    fail(error, "no SWF signature");
    return std::nullopt;
  }
  m.compressed = data[0] == 'C';
  m.version = data[3];
  uint32_t fileLength = le32(data + 4);
  if (fileLength < 8) {
    fail(error, "bad file length");
    return std::nullopt;
  }
  std::vector<uint8_t> inflated;
  const uint8_t* body = data + 8;
  size_t bodySize = size - 8;
  if (m.compressed) {
    // The header's length is of the whole movie uncompressed; cap it so a forged value
    // cannot make us reserve gigabytes.
    uLongf want = fileLength - 8;
    if (want > 256u * 1024 * 1024) {
      fail(error, "uncompressed size too large");
      return std::nullopt;
    }
    inflated.resize(want);
    int rc = uncompress(inflated.data(), &want, body, static_cast<uLong>(bodySize));
    if (rc != Z_OK && rc != Z_BUF_ERROR) {
      fail(error, "compressed body does not inflate");
      return std::nullopt;
    }
    inflated.resize(want);
    body = inflated.data();
    bodySize = inflated.size();
  } else if (fileLength - 8 < bodySize) {
    bodySize = fileLength - 8;
  }
  if (!parseBody(body, bodySize, m, error)) return std::nullopt;
  return m;
}

std::vector<uint8_t> writeSwf(const SwfMovie& m) {
  std::vector<uint8_t> body;
  {
    int nbits = 1;
    for (int32_t v : {m.xMin, m.xMax, m.yMin, m.yMax}) nbits = std::max(nbits, bitsFor(v));
    BitWriter bits;
    bits.write(5, static_cast<uint32_t>(nbits));
    for (int32_t v : {m.xMin, m.xMax, m.yMin, m.yMax}) bits.write(nbits, static_cast<uint32_t>(v));
    body = std::move(bits.bytes());
  }
  int rate = static_cast<int>(m.frameRate * 256.0 + 0.5);
  body.push_back(static_cast<uint8_t>(rate & 0xFF));
  body.push_back(static_cast<uint8_t>((rate >> 8) & 0xFF));
  put16(body, m.frameCount);
  if (m.background) {
    uint32_t c = *m.background;
    putTag(body, kTagSetBackgroundColor,
           {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)});
  }
  if (m.hasScript || !m.script.empty()) {
    putTag(body, kTagScript, std::vector<uint8_t>(m.script.begin(), m.script.end()));
  }
  for (int i = 0; i < m.frameCount; ++i) putTag(body, kTagShowFrame, {});
  putTag(body, kTagEnd, {});

  std::vector<uint8_t> out = {static_cast<uint8_t>(m.compressed ? 'C' : 'F'), 'W', 'S', m.version};
  put32(out, static_cast<uint32_t>(body.size() + 8));
  if (!m.compressed) {
    out.insert(out.end(), body.begin(), body.end());
    return out;
  }
  uLongf packedSize = compressBound(static_cast<uLong>(body.size()));
  std::vector<uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, body.data(), static_cast<uLong>(body.size()), 9) != Z_OK)
    return {};
  out.insert(out.end(), packed.begin(), packed.begin() + packedSize);
  return out;
}

}  // namespace movie
