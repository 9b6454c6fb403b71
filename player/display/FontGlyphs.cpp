// The glyph outlines, codes and layout of a font's body.
#include "FontGlyphs.h"

#include <algorithm>
#include <cmath>

#include "../swf/BasicRecords.h"
#include "../swf/ShapeRecords.h"
#include "../swf/TagCodes.h"

namespace display {

namespace {

// The glyphs between the offsets of `table` (relative to its start) up to `end`.
FontGlyphs glyphsAt(const std::vector<uint8_t>& body, size_t tableAt, const std::vector<uint32_t>& offsets,
                    uint32_t end, uint8_t swfVersion) {
  FontGlyphs font;
  const swf::StyleContext context{1, swfVersion};
  for (size_t i = 0; i < offsets.size(); ++i) {
    const size_t from = tableAt + offsets[i];
    const size_t to = tableAt + (i + 1 < offsets.size() ? offsets[i + 1] : end);
    std::vector<swf::ShapeRecord> records;
    if (from < to && to <= body.size()) {
      swf::BitReader in(body.data() + from, to - from);
      swf::readShape(in, context, records);
    }
    font.glyphs.push_back(std::move(records));
  }
  return font;
}

std::string stringOf(swf::BitReader& in, size_t length) {
  std::vector<uint8_t> bytes = in.bytes(length);
  std::string s(bytes.begin(), bytes.end());
  while (!s.empty() && s.back() == 0) s.pop_back();  // some tools count the terminator
  return s;
}

// An IEEE half-precision number, as the align zones store their coordinates.
float halfFloat(uint16_t bits) {
  const int exponent = (bits >> 10) & 0x1F, mantissa = bits & 0x3FF;
  const float sign = bits & 0x8000 ? -1.0f : 1.0f;
  if (exponent == 0) return sign * std::ldexp(float(mantissa), -24);
  if (exponent == 31) return sign * 65504.0f;  // no infinities in a font's zones
  return sign * std::ldexp(float(mantissa | 0x400), exponent - 25);
}

// The codes, ascent, descent, leading, advances, bounds and kerning after a DefineFont2/3's
// glyphs.
void readLayout(swf::BitReader& in, FontGlyphs& font, size_t count, bool wideCodes, bool hasLayout) {
  std::vector<char16_t> codes;
  for (size_t i = 0; i < count && in.ok(); ++i) codes.push_back(wideCodes ? in.u16() : in.u8());
  if (!in.ok()) return;
  font.codes = std::move(codes);
  if (!hasLayout) return;
  FontGlyphs layout;
  layout.ascent = in.u16();
  layout.descent = in.u16();
  layout.leading = in.i16();
  for (size_t i = 0; i < count && in.ok(); ++i) layout.advances.push_back(in.i16());
  for (size_t i = 0; i < count && in.ok(); ++i) swf::readRect(in);
  const uint16_t kerningCount = in.u16();
  for (uint16_t i = 0; i < kerningCount && in.ok(); ++i) {
    const char16_t left = wideCodes ? in.u16() : in.u8();
    const char16_t right = wideCodes ? in.u16() : in.u8();
    const int16_t adjustment = in.i16();
    if (in.ok()) layout.kerning[{left, right}] = adjustment;
  }
  // Kerning is optional in practice: tools end the tag after the bounds.
  if (layout.advances.size() != count) return;
  font.hasLayout = true;
  font.ascent = layout.ascent;
  font.descent = layout.descent;
  font.leading = layout.leading;
  font.advances = std::move(layout.advances);
  font.kerning = std::move(layout.kerning);
}

}  // namespace

std::optional<uint32_t> FontGlyphs::glyphFor(char16_t code) const {
  auto it = std::find(codes.begin(), codes.end(), code);
  if (it == codes.end()) return std::nullopt;
  return uint32_t(it - codes.begin());
}

std::optional<FontGlyphs> readFontGlyphs(const swf::RawCharacter& font, uint8_t swfVersion) {
  const std::vector<uint8_t>& body = font.body;
  swf::BitReader in(body.data(), body.size());
  in.u16();  // the id
  if (font.tagCode == swf::tag::kDefineFont) {
    const size_t tableAt = in.position();
    const uint16_t first = in.u16();
    const size_t count = first / 2;
    if (!in.ok() || count * 2 > in.remaining() + 2) return std::nullopt;
    std::vector<uint32_t> offsets = {first};
    for (size_t i = 1; i < count; ++i) offsets.push_back(in.u16());
    return glyphsAt(body, tableAt, offsets, uint32_t(body.size() - tableAt), swfVersion);
  }
  if (font.tagCode != swf::tag::kDefineFont2 && font.tagCode != swf::tag::kDefineFont3) return std::nullopt;
  const uint8_t flags = in.u8();
  in.u8();  // language
  const std::string name = stringOf(in, in.u8());
  const uint16_t count = in.u16();
  const bool wideOffsets = flags & 0x08, wideCodes = flags & 0x04, hasLayout = flags & 0x80;
  if (!in.ok() || size_t(count) * (wideOffsets ? 4 : 2) > in.remaining()) return std::nullopt;
  const size_t tableAt = in.position();
  std::vector<uint32_t> offsets;
  for (uint16_t i = 0; i < count; ++i) offsets.push_back(wideOffsets ? in.u32() : in.u16());
  // A font without glyphs may or may not carry the code table's offset, depending on the tool.
  const size_t offsetSize = wideOffsets ? 4 : 2;
  uint32_t codeTable = 0;
  if (count || in.remaining() >= offsetSize + 8) codeTable = wideOffsets ? in.u32() : in.u16();
  if (!in.ok()) return std::nullopt;
  FontGlyphs glyphs = glyphsAt(body, tableAt, offsets, codeTable, swfVersion);
  if (font.tagCode == swf::tag::kDefineFont3) glyphs.emSquare = 1024 * 20;
  glyphs.name = name;
  glyphs.bold = flags & 0x01;
  glyphs.italic = flags & 0x02;
  if (count && tableAt + codeTable <= body.size()) {
    swf::BitReader layout(body.data() + tableAt + codeTable, body.size() - tableAt - codeTable);
    readLayout(layout, glyphs, count, wideCodes, hasLayout);
  } else if (!count) {
    readLayout(in, glyphs, 0, wideCodes, hasLayout);
  }
  return glyphs;
}

void applyFontInfo(FontGlyphs& font, const swf::RawCharacter& info) {
  swf::BitReader in(info.body.data(), info.body.size());
  in.u16();  // the font's id
  switch (info.tagCode) {
    case swf::tag::kDefineFontInfo:
    case swf::tag::kDefineFontInfo2: {
      const std::string name = stringOf(in, in.u8());
      const uint8_t flags = in.u8();
      if (info.tagCode == swf::tag::kDefineFontInfo2) in.u8();  // language
      if (!in.ok()) return;
      font.name = name;
      font.bold = flags & 0x02;
      font.italic = flags & 0x04;
      const bool wide = info.tagCode == swf::tag::kDefineFontInfo2 || (flags & 0x01);
      font.codes.clear();
      for (size_t i = 0; i < font.glyphs.size() && in.remaining() >= (wide ? 2u : 1u); ++i)
        font.codes.push_back(wide ? in.u16() : in.u8());
      return;
    }
    case swf::tag::kDefineFontName: {
      std::string name = in.string();
      if (!in.ok()) return;
      font.fullName = std::move(name);
      font.copyright = in.string();
      return;
    }
    case swf::tag::kDefineFontAlignZones: {
      font.csmHint = in.u8() >> 6;
      std::vector<AlignZone> zones;
      while (in.remaining() > 0) {
        const uint8_t zoneCount = in.u8();
        AlignZone zone;
        for (uint8_t i = 0; i < zoneCount && in.ok(); ++i) {
          const uint16_t position = in.u16(), range = in.u16();
          if (i < 2) {
            zone.position[i] = halfFloat(position);
            zone.range[i] = halfFloat(range);
          }
        }
        const uint8_t mask = in.u8();
        if (!in.ok()) break;
        zone.x = mask & 0x01;
        zone.y = mask & 0x02;
        zones.push_back(zone);
      }
      font.alignZones = std::move(zones);
      return;
    }
    default: return;
  }
}

}  // namespace display
