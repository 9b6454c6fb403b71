// Writing the scene's fonts, static texts and text fields.
#include "SceneFonts.h"

#include <algorithm>

#include "SwfRecordWriter.h"
#include "TagCodes.h"

namespace scene {

namespace {

constexpr int kEm = 1024, kAdvance = 640, kAscent = 820, kDescent = 204;
constexpr char kFirstCode = 32, kLastCode = 126;

int blockHeight(char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return 700;
  if (c >= 'a' && c <= 'z') return 500;
  return 300;
}

// A glyph's SHAPE: one fill bit, no line bits; a block from 64 to 576 across, `height` above
// the baseline (y grows downwards); a space has none.
std::vector<uint8_t> blockGlyph(char c) {
  std::vector<uint8_t> out;
  swf::BitWriter w(out);
  w.bits(4, 1);
  w.bits(4, 0);
  if (c != ' ') {
    const int height = blockHeight(c), left = 64, width = kAdvance - 128;
    w.bits(6, 0b000101);  // a style change: fill 1 and a move
    w.bits(5, 12);
    w.bits(12, uint32_t(left));
    w.bits(12, uint32_t(-height) & 0xFFF);
    w.bits(1, 1);
    const int edges[4][2] = {{width, 0}, {0, height}, {-width, 0}, {0, -height}};
    for (const auto& e : edges) {
      w.bits(2, 0b11);  // an edge, straight
      w.bits(4, 12 - 2);
      w.bits(1, 1);  // general: both deltas
      w.bits(12, uint32_t(e[0]) & 0xFFF);
      w.bits(12, uint32_t(e[1]) & 0xFFF);
    }
  }
  w.bits(6, 0);  // the end
  w.align();
  return out;
}

}  // namespace

swf::RawCharacter blockFont(swf::CharacterId id, const std::string& name, bool bold, bool italic, bool device) {
  swf::RawCharacter raw;
  raw.id = id;
  raw.tagCode = swf::tag::kDefineFont2;
  swf::BitWriter w(raw.body);
  w.u16(id);
  w.u8(uint8_t((device ? 0 : 0x80) | 0x04 | (italic ? 0x02 : 0) | (bold ? 0x01 : 0)));
  w.u8(1);  // Latin
  w.u8(uint8_t(std::min<size_t>(name.size(), 255)));
  for (size_t i = 0; i < std::min<size_t>(name.size(), 255); ++i) w.u8(uint8_t(name[i]));
  if (device) {
    w.u16(0);
    w.u16(0);  // the code table's offset, as tools write it for a font without glyphs
    return raw;
  }
  const int count = kLastCode - kFirstCode + 1;
  w.u16(uint16_t(count));
  std::vector<std::vector<uint8_t>> glyphs;
  for (int c = kFirstCode; c <= kLastCode; ++c) glyphs.push_back(blockGlyph(char(c)));
  uint32_t offset = uint32_t(count + 1) * 2;
  for (const auto& g : glyphs) {
    w.u16(uint16_t(offset));
    offset += uint32_t(g.size());
  }
  w.u16(uint16_t(offset));  // the code table
  for (const auto& g : glyphs) w.bytes(g);
  for (int c = kFirstCode; c <= kLastCode; ++c) w.u16(uint16_t(c));
  w.u16(kAscent);
  w.u16(kDescent);
  w.u16(0);  // leading
  for (int i = 0; i < count; ++i) w.u16(kAdvance);
  for (int i = 0; i < count; ++i) swf::writeRect(w, {64, kAdvance - 64, -blockHeight(char(kFirstCode + i)), 0});
  w.u16(0);  // no kerning
  return raw;
}

swf::RawCharacter staticText(swf::CharacterId id, swf::CharacterId fontId, uint16_t size, swf::Rgba color,
                             const std::string& text) {
  std::vector<uint8_t> indices;
  for (char c : text)
    if (c >= kFirstCode && c <= kLastCode) indices.push_back(uint8_t(c - kFirstCode));
  const int32_t advance = int32_t(double(kAdvance) * size / kEm + 0.5);
  swf::RawCharacter raw;
  raw.id = id;
  raw.tagCode = color.a == 255 ? swf::tag::kDefineText : swf::tag::kDefineText2;
  raw.uses = {fontId};
  swf::BitWriter w(raw.body);
  w.u16(id);
  swf::writeRect(w, {0, int32_t(indices.size()) * advance, 0, size});
  swf::writeMatrix(w, {});
  const int advanceBits = swf::signedBits(advance);
  w.u8(7);  // glyph index bits: 95 glyphs
  w.u8(uint8_t(advanceBits));
  for (size_t from = 0; from < indices.size() || from == 0; from += 255) {
    const size_t count = std::min<size_t>(255, indices.size() - from);
    w.u8(0x8F);  // a style record: font, colour, x and y
    w.u16(fontId);
    if (color.a == 255) swf::writeRgb(w, color);
    else swf::writeRgba(w, color);
    w.u16(uint16_t(int32_t(from) * advance));
    w.u16(uint16_t(size * kAscent / kEm));  // the baseline, so the text's top is at 0
    w.u16(size);
    w.u8(uint8_t(count));
    for (size_t i = 0; i < count; ++i) {
      w.bits(7, indices[from + i]);
      w.bits(advanceBits, uint32_t(advance));
    }
    w.align();
    if (indices.empty()) break;
  }
  w.u8(0);
  return raw;
}

swf::RawCharacter editText(const EditTextOptions& o) {
  swf::RawCharacter raw;
  raw.id = o.id;
  raw.tagCode = swf::tag::kDefineEditText;
  if (o.fontId) raw.uses = {*o.fontId};
  swf::BitWriter w(raw.body);
  w.u16(o.id);
  swf::writeRect(w, {0, int32_t(o.width), 0, int32_t(o.height)});
  w.flag(o.text.has_value());
  w.flag(o.wordWrap);
  w.flag(o.multiline);
  w.flag(o.password);
  w.flag(o.readOnly);
  w.flag(o.color.has_value());
  w.flag(o.maxLength.has_value());
  w.flag(o.fontId.has_value());
  w.flag(false);  // a font class
  w.flag(o.autoSize);
  const bool layout = o.align || o.leftMargin || o.rightMargin || o.indent || o.leading;
  w.flag(layout);
  w.flag(o.noSelect);
  w.flag(o.border);
  w.flag(false);  // was static
  w.flag(o.html);
  w.flag(o.useOutlines);
  if (o.fontId) {
    w.u16(*o.fontId);
    w.u16(o.size);
  }
  if (o.color) swf::writeRgba(w, *o.color);
  if (o.maxLength) w.u16(*o.maxLength);
  if (layout) {
    w.u8(o.align.value_or(0));
    w.u16(o.leftMargin);
    w.u16(o.rightMargin);
    w.u16(o.indent);
    w.u16(uint16_t(o.leading));
  }
  w.string(o.variable);
  if (o.text) w.string(*o.text);
  return raw;
}

}  // namespace scene
