// Walks the JPEG markers up to the first scan (SOS), keeping one SOI and dropping every stray
// EOI and SOI, then copies the scan and what follows as it is.
#include "JpegData.h"

#include <algorithm>
#include <cstring>

namespace swf {

namespace {

constexpr uint8_t kSoi = 0xD8, kEoi = 0xD9, kSos = 0xDA;

bool startsWith(const uint8_t* data, size_t size, std::initializer_list<uint8_t> prefix) {
  return size >= prefix.size() && std::memcmp(data, prefix.begin(), prefix.size()) == 0;
}

// Markers without a length: SOI, EOI, RST0-7, TEM.
bool standsAlone(uint8_t marker) { return marker == kSoi || marker == kEoi || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01; }

}  // namespace

ImageFormat imageFormatOf(const uint8_t* data, size_t size) {
  if (startsWith(data, size, {0xFF, kSoi}) || startsWith(data, size, {0xFF, kEoi, 0xFF, kSoi})) return ImageFormat::Jpeg;
  if (startsWith(data, size, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})) return ImageFormat::Png;
  if (startsWith(data, size, {'G', 'I', 'F', '8', '9', 'a'}) || startsWith(data, size, {'G', 'I', 'F', '8', '7', 'a'}))
    return ImageFormat::Gif;
  return ImageFormat::Unknown;
}

std::vector<uint8_t> glueJpegTables(const std::vector<uint8_t>& tables, const uint8_t* data, size_t size) {
  std::vector<uint8_t> out;
  if (tables.size() < 4) return std::vector<uint8_t>(data, data + size);  // no tables: the data is whole
  out.reserve(tables.size() + size);
  out.insert(out.end(), tables.begin(), tables.end());
  out.insert(out.end(), data, data + size);  // cleanJpeg drops the EOI and SOI between them
  return out;
}

std::vector<uint8_t> cleanJpeg(const uint8_t* data, size_t size) {
  std::vector<uint8_t> out;
  out.reserve(size + 2);
  out.push_back(0xFF);
  out.push_back(kSoi);
  size_t pos = 0;
  while (pos + 2 <= size) {
    if (data[pos] != 0xFF) break;  // not a marker: copy the rest as it is
    uint8_t marker = data[pos + 1];
    if (marker == 0xFF) {  // fill byte before a marker
      ++pos;
      continue;
    }
    if (marker == kSoi || marker == kEoi) {
      pos += 2;
      continue;
    }
    if (standsAlone(marker)) {
      out.insert(out.end(), data + pos, data + pos + 2);
      pos += 2;
      continue;
    }
    if (marker == kSos) break;  // the scan and everything after it is copied whole
    if (pos + 4 > size) break;
    size_t length = (data[pos + 2] << 8) | data[pos + 3];
    size_t end = pos + 2 + length;
    if (length < 2 || end > size) break;
    out.insert(out.end(), data + pos, data + end);
    pos = end;
  }
  out.insert(out.end(), data + pos, data + size);
  if (out.size() < 2 || out[out.size() - 2] != 0xFF || out.back() != kEoi) {
    out.push_back(0xFF);
    out.push_back(kEoi);
  }
  return out;
}

bool huffmanTablesAreSound(const uint8_t* data, size_t size) {
  // Tables defined so far, a bit per class (DC, AC) and id; a scan may use only those, since the
  // decoder reads a table that was never defined as one whose codes run past its limits.
  unsigned defined = 0;
  size_t pos = 0;
  while (pos + 2 <= size) {
    if (data[pos] != 0xFF) {  // entropy-coded data: on to the next marker
      ++pos;
      continue;
    }
    uint8_t marker = data[pos + 1];
    if (marker == 0x00 || marker == 0xFF || standsAlone(marker)) {  // stuffed byte, fill, no length
      pos += marker == 0xFF ? 1 : 2;
      continue;
    }
    if (pos + 4 > size) return true;  // cut short: nothing more for the decoder to read
    size_t length = (data[pos + 2] << 8) | data[pos + 3];
    size_t end = std::min(pos + 2 + length, size);
    if (marker == 0xC4) {
      size_t table = pos + 4;
      while (table < end) {
        if (table + 17 > end) return false;
        uint8_t kind = data[table];
        if ((kind >> 4) > 1 || (kind & 0x0F) > 3) return false;
        defined |= 1u << ((kind >> 4) * 4 + (kind & 0x0F));
        size_t codes = 0;
        for (size_t i = 1; i <= 16; ++i) codes += data[table + i];
        if (codes > 256) return false;
        table += 17 + codes;
      }
      if (table > end) return false;
    } else if (marker == kSos) {
      // Ns components of two bytes each, then the spectral start and end: a scan that starts at 0
      // decodes DC coefficients, one that ends above 0 decodes AC ones.
      if (pos + 5 > end) return false;
      const size_t components = data[pos + 4];
      const size_t spectral = pos + 5 + 2 * components;
      if (spectral + 2 > end) return false;
      const bool dc = data[spectral] == 0, ac = data[spectral + 1] > 0;
      for (size_t i = 0; i < components; ++i) {
        const uint8_t tables = data[pos + 6 + 2 * i];
        if ((tables >> 4) > 3 || (tables & 0x0F) > 3) return false;
        if (dc && !(defined & (1u << (tables >> 4)))) return false;
        if (ac && !(defined & (1u << (4 + (tables & 0x0F))))) return false;
      }
    }
    pos = std::max(end, pos + 2);
  }
  return true;
}

}  // namespace swf
