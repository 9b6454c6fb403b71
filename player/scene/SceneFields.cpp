// DefineEditText and glyph-less DefineFont2 bodies, in the field order the format gives.
#include "SceneFields.h"

#include "SwfRecordWriter.h"

namespace scene {

std::vector<uint8_t> editTextBody(const FieldSpec& f) {
  std::vector<uint8_t> body;
  swf::BitWriter w(body);
  w.u16(f.id);
  swf::writeRect(w, f.bounds);
  w.align();
  const bool hasText = !f.text.empty();
  w.u8(static_cast<uint8_t>((hasText ? 0x80 : 0) | (f.multiline ? 0x20 : 0) | (f.password ? 0x10 : 0) |
                            (f.readOnly ? 0x08 : 0) | 0x04 | (f.fontId ? 0x01 : 0)));
  w.u8(static_cast<uint8_t>((f.noSelect ? 0x10 : 0) | (f.border ? 0x08 : 0)));
  if (f.fontId) {
    w.u16(f.fontId);
    w.u16(f.height);
  }
  swf::writeRgba(w, f.color);
  w.string(f.variable);
  if (hasText) w.string(f.text);
  return body;
}

}  // namespace scene
