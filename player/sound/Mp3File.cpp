// Whole MP3 files: the feed decoder given every byte at once, and the ID3v2 tag's text frames
// read by hand (libmpg123 skips the tag; its own parser wants a seekable reader).
#include "Mp3File.h"

#include <algorithm>

#include "Mp3Decoder.h"

namespace sound {

namespace {

uint32_t syncSafe(const uint8_t* p) { return uint32_t(p[0] & 0x7F) << 21 | uint32_t(p[1] & 0x7F) << 14 | uint32_t(p[2] & 0x7F) << 7 | (p[3] & 0x7F); }
uint32_t bigEndian(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

void appendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | c >> 6);
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xE0 | c >> 12);
    out += char(0x80 | (c >> 6 & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

// An ID3 text in one of its four encodings, up to its first terminator, as UTF-8.
std::string decodeText(uint8_t encoding, const uint8_t* p, size_t size) {
  std::string out;
  if (encoding == 1 || encoding == 2) {
    bool little = false;  // UTF-16 with a byte order mark (1) or big-endian without (2)
    size_t i = 0;
    if (encoding == 1 && size >= 2 && ((p[0] == 0xFF && p[1] == 0xFE) || (p[0] == 0xFE && p[1] == 0xFF))) {
      little = p[0] == 0xFF;
      i = 2;
    }
    for (; i + 1 < size; i += 2) {
      const uint32_t unit = little ? p[i] | p[i + 1] << 8 : p[i] << 8 | p[i + 1];
      if (!unit) break;
      appendUtf8(out, unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit);  // surrogates are rare in tags
    }
    return out;
  }
  for (size_t i = 0; i < size && p[i]; ++i) {
    if (encoding == 3) out += char(p[i]);
    else appendUtf8(out, p[i]);  // ISO-8859-1
  }
  return out;
}

}  // namespace

std::optional<Id3Frames> readId3(const std::vector<uint8_t>& bytes) {
  if (bytes.size() < 10 || bytes[0] != 'I' || bytes[1] != 'D' || bytes[2] != '3') return std::nullopt;
  const uint8_t version = bytes[3];
  Id3Frames frames;
  if (version != 3 && version != 4) return frames;  // v2.2's three-letter frames are not read
  const size_t end = std::min(bytes.size(), size_t(10) + syncSafe(&bytes[6]));
  size_t at = 10;
  if (bytes[5] & 0x40) {  // an extended header comes first
    if (at + 4 > end) return frames;
    const size_t size = version == 4 ? syncSafe(&bytes[at]) : size_t(bigEndian(&bytes[at])) + 4;
    if (size > end - at) return frames;
    at += size;
  }
  while (at + 10 <= end && bytes[at]) {
    const std::string id(bytes.begin() + std::ptrdiff_t(at), bytes.begin() + std::ptrdiff_t(at + 4));
    const size_t size = version == 4 ? syncSafe(&bytes[at + 4]) : bigEndian(&bytes[at + 4]);
    at += 10;
    if (size > end - at) break;
    const uint8_t* body = bytes.data() + at;
    if (size >= 1 && id[0] == 'T' && id != "TXXX") {
      frames.emplace_back(id, decodeText(body[0], body + 1, size - 1));
    } else if (size >= 4 && id == "COMM") {
      // Encoding, language, a short description ended by a terminator, then the text.
      const uint8_t encoding = body[0];
      const size_t unit = encoding == 1 || encoding == 2 ? 2 : 1;
      size_t text = 4;
      while (text + unit <= size && (body[text] || (unit == 2 && body[text + 1]))) text += unit;
      text += unit;
      if (text <= size) frames.emplace_back(id, decodeText(encoding, body + text, size - text));
    }
    at += size;
  }
  return frames;
}

std::optional<Mp3File> decodeMp3File(const std::vector<uint8_t>& bytes) {
  Mp3File file;
  Mp3Decoder decoder(false);
  if (!decoder.feed(bytes.data(), bytes.size(), file.samples) || !file.samples.frames()) return std::nullopt;
  if (std::optional<Id3Frames> id3 = readId3(bytes)) {
    file.hasId3 = true;
    file.id3 = std::move(*id3);
  }
  return file;
}

}  // namespace sound
