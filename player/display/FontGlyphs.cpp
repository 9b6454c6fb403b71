// The glyph outlines of a font's body.
#include "FontGlyphs.h"

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

}  // namespace

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
  in.u8();            // language
  in.skip(in.u8());   // name
  const uint16_t count = in.u16();
  const bool wide = flags & 0x08;
  if (!in.ok() || size_t(count) * (wide ? 4 : 2) > in.remaining()) return std::nullopt;
  const size_t tableAt = in.position();
  std::vector<uint32_t> offsets;
  for (uint16_t i = 0; i < count; ++i) offsets.push_back(wide ? in.u32() : in.u16());
  const uint32_t codeTable = count ? (wide ? in.u32() : in.u16()) : 0;
  if (!in.ok()) return std::nullopt;
  FontGlyphs glyphs = glyphsAt(body, tableAt, offsets, codeTable, swfVersion);
  if (font.tagCode == swf::tag::kDefineFont3) glyphs.emSquare = 1024 * 20;
  return glyphs;
}

}  // namespace display
