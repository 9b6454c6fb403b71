// Reading DefineEditText.
#include "EditTextRecord.h"

#include "../swf/BasicRecords.h"
#include "../swf/TagCodes.h"

namespace text {

std::u16string movieText(const std::string& bytes, uint8_t swfVersion) {
  if (swfVersion >= 6) return fromUtf8(bytes);
  std::u16string out;
  for (char c : bytes) out.push_back(char16_t(uint8_t(c)));
  return out;
}

std::optional<EditTextRecord> readEditText(const swf::RawCharacter& raw, uint8_t swfVersion) {
  if (raw.tagCode != swf::tag::kDefineEditText) return std::nullopt;
  swf::BitReader in(raw.body.data(), raw.body.size());
  EditTextRecord r;
  r.id = in.u16();
  r.bounds = swf::readRect(in);
  const uint8_t high = in.u8(), low = in.u8();
  const bool hasText = high & 0x80, hasColor = high & 0x04, hasMaxLength = high & 0x02, hasFont = high & 0x01;
  r.wordWrap = high & 0x40;
  r.multiline = high & 0x20;
  r.password = high & 0x10;
  r.readOnly = high & 0x08;
  const bool hasFontClass = low & 0x80, hasLayout = low & 0x20;
  r.autoSize = low & 0x40;
  r.noSelect = low & 0x10;
  r.border = low & 0x08;
  r.wasStatic = low & 0x04;
  r.html = low & 0x02;
  r.useOutlines = low & 0x01;
  if (hasFont) r.fontId = in.u16();
  if (hasFontClass) r.fontClass = in.string();
  if (hasFont || hasFontClass) r.height = in.u16();
  if (hasColor) r.color = swf::readRgba(in);
  if (hasMaxLength) r.maxLength = in.u16();
  if (hasLayout) {
    const uint8_t align = in.u8();
    r.align = align <= 3 ? Align(align) : Align::Left;
    r.leftMargin = in.u16();
    r.rightMargin = in.u16();
    r.indent = in.u16();
    r.leading = in.i16();
  }
  r.variableName = in.string();
  if (!in.ok()) return std::nullopt;
  if (hasText) r.initialText = movieText(in.string(), swfVersion);
  return r;
}

}  // namespace text
