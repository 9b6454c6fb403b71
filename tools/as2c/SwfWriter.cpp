#include "SwfWriter.h"

#include <algorithm>
#include <cstdlib>

namespace as2c {

namespace {

enum TagCode : unsigned {
  kEnd = 0, kShowFrame = 1, kSetBackgroundColor = 9, kDoAction = 12, kPlaceObject2 = 26,
  kDefineSprite = 39, kScriptLimits = 65, kFileAttributes = 69,
};
constexpr unsigned kPlaceHasCharacter = 0x02;
constexpr unsigned kPlacedSprite = 1;  // the character id of the empty clip placed at depth 1

void putU32(Bytes& out, unsigned value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A record header: short form up to 62 bytes; DoAction always long, as players expect.
void putTag(Bytes& out, unsigned code, const Bytes& body, bool forceLong = false) {
  if (body.size() < 63 && !forceLong) {
    ActionBuffer::putU16(out, (code << 6) | static_cast<unsigned>(body.size()));
  } else {
    ActionBuffer::putU16(out, (code << 6) | 0x3F);
    putU32(out, static_cast<unsigned>(body.size()));
  }
  out.insert(out.end(), body.begin(), body.end());
}

// The stage rectangle: 5 bits of field width, then xmin, xmax, ymin, ymax in twips.
void putRect(Bytes& out, unsigned widthTwips, unsigned heightTwips) {
  unsigned bits = 1;
  while ((std::max(widthTwips, heightTwips) >> (bits - 1)) != 0) ++bits;  // one more for the sign
  const unsigned values[4] = {0, widthTwips, 0, heightTwips};
  std::vector<bool> stream;
  for (int i = 4; i >= 0; --i) stream.push_back((bits >> i) & 1);
  for (unsigned v : values) {
    for (int i = static_cast<int>(bits) - 1; i >= 0; --i) stream.push_back((v >> i) & 1);
  }
  for (size_t i = 0; i < stream.size(); i += 8) {
    uint8_t byte = 0;
    for (size_t j = 0; j < 8; ++j) byte = static_cast<uint8_t>((byte << 1) | (i + j < stream.size() && stream[i + j] ? 1 : 0));
    out.push_back(byte);
  }
}

bool parseUnsigned(const std::string& text, int base, unsigned& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  const unsigned long parsed = std::strtoul(text.c_str(), &end, base);
  if (*end != '\0' || parsed > 0xFFFFFFFFul) return false;
  value = static_cast<unsigned>(parsed);
  return true;
}

}  // namespace

bool parseTagRequest(const std::string& text, TagRequest& tag) {
  const size_t equals = text.find('=');
  const std::string name = text.substr(0, equals);
  const std::string value = equals == std::string::npos ? "" : text.substr(equals + 1);
  if (name == "actions" && equals == std::string::npos) {
    tag.kind = TagKind::Actions;
    return true;
  }
  if (name == "placed-object" && equals == std::string::npos) {
    tag.kind = TagKind::PlacedObject;
    return true;
  }
  if (name == "file-attributes") {
    tag.kind = TagKind::FileAttributes;
    return parseUnsigned(value, 0, tag.values[0]);
  }
  if (name == "background") {
    tag.kind = TagKind::BackgroundColor;
    return value.size() == 6 && parseUnsigned(value, 16, tag.values[0]);
  }
  if (name == "script-limits") {
    tag.kind = TagKind::ScriptLimits;
    const size_t comma = value.find(',');
    return comma != std::string::npos && parseUnsigned(value.substr(0, comma), 10, tag.values[0]) &&
           parseUnsigned(value.substr(comma + 1), 10, tag.values[1]) && tag.values[0] <= 0xFFFF &&
           tag.values[1] <= 0xFFFF;
  }
  return false;
}

Bytes writeSwf(const MovieSettings& settings, const Bytes& actions) {
  Bytes body;
  putRect(body, settings.width * 20, settings.height * 20);
  const unsigned rate = static_cast<unsigned>(settings.frameRate * 256 + 0.5);  // 8.8 fixed point
  ActionBuffer::putU16(body, rate);
  ActionBuffer::putU16(body, 1);  // frames
  for (const TagRequest& tag : settings.tags) {
    Bytes t;
    switch (tag.kind) {
      case TagKind::FileAttributes:
        putU32(t, tag.values[0]);
        putTag(body, kFileAttributes, t);
        break;
      case TagKind::ScriptLimits:
        ActionBuffer::putU16(t, tag.values[0]);
        ActionBuffer::putU16(t, tag.values[1]);
        putTag(body, kScriptLimits, t);
        break;
      case TagKind::BackgroundColor:
        t = {static_cast<uint8_t>(tag.values[0] >> 16), static_cast<uint8_t>(tag.values[0] >> 8),
             static_cast<uint8_t>(tag.values[0])};
        putTag(body, kSetBackgroundColor, t);
        break;
      case TagKind::Actions:
        t = actions;
        t.push_back(static_cast<uint8_t>(Op::End));
        putTag(body, kDoAction, t, true);
        break;
      case TagKind::PlacedObject: {
        // An empty clip of one frame, placed at depth 1.
        ActionBuffer::putU16(t, kPlacedSprite);
        ActionBuffer::putU16(t, 1);
        putTag(t, kShowFrame, {});
        putTag(t, kEnd, {});
        putTag(body, kDefineSprite, t);
        Bytes place{static_cast<uint8_t>(kPlaceHasCharacter)};
        ActionBuffer::putU16(place, 1);
        ActionBuffer::putU16(place, kPlacedSprite);
        putTag(body, kPlaceObject2, place);
        break;
      }
    }
  }
  putTag(body, kShowFrame, {});
  putTag(body, kEnd, {});

  Bytes swf{'F', 'W', 'S', static_cast<uint8_t>(settings.version)};
  putU32(swf, static_cast<unsigned>(body.size() + 8));
  swf.insert(swf.end(), body.begin(), body.end());
  return swf;
}

}  // namespace as2c
