// The TEXTRECORDs of a DefineText or DefineText2 body.
#include "TextRecords.h"

#include "../swf/BasicRecords.h"
#include "../swf/TagCodes.h"

namespace display {

std::optional<StaticText> readStaticText(const swf::RawCharacter& raw) {
  const bool withAlpha = raw.tagCode == swf::tag::kDefineText2;
  if (!withAlpha && raw.tagCode != swf::tag::kDefineText) return std::nullopt;
  swf::BitReader in(raw.body.data(), raw.body.size());
  in.u16();  // the id
  swf::readRect(in);
  StaticText text;
  text.matrix = swf::readMatrix(in);
  const uint8_t glyphBits = in.u8(), advanceBits = in.u8();
  if (!in.ok() || glyphBits > 32 || advanceBits > 32) return std::nullopt;
  TextRun style;  // what carries over between records
  double x = 0;
  while (in.ok()) {
    const uint8_t flags = in.u8();
    if (!in.ok() || flags == 0) break;
    if (flags & 0x08) style.fontId = in.u16();
    if (flags & 0x04) style.color = withAlpha ? swf::readRgba(in) : swf::readRgb(in);
    if (flags & 0x01) x = in.i16();
    if (flags & 0x02) style.y = in.i16();
    if (flags & 0x08) style.height = in.u16();
    const uint8_t count = in.u8();
    TextRun run = style;
    for (uint8_t i = 0; i < count && in.ok(); ++i) {
      const uint32_t index = in.ubits(glyphBits);
      run.glyphs.push_back({index, x});
      x += in.sbits(advanceBits);
    }
    in.align();
    if (!in.ok()) break;
    text.runs.push_back(std::move(run));
  }
  return text;
}

}  // namespace display
