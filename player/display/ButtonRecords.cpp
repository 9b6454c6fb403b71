// The BUTTONRECORDs of a DefineButton or DefineButton2 body.
#include "ButtonRecords.h"

#include "../swf/BasicRecords.h"
#include "../swf/PlaceRecords.h"
#include "../swf/TagCodes.h"

namespace display {

std::vector<ButtonRecord> readButtonRecords(const swf::RawCharacter& button) {
  std::vector<ButtonRecord> records;
  const bool second = button.tagCode == swf::tag::kDefineButton2;
  if (!second && button.tagCode != swf::tag::kDefineButton) return records;
  swf::BitReader in(button.body.data(), button.body.size());
  in.u16();  // the id
  if (second) {
    in.u8();   // track as menu
    in.u16();  // offset of the actions
  }
  while (in.ok()) {
    const uint8_t flags = in.u8();
    if (!in.ok() || flags == 0) break;
    ButtonRecord r;
    r.states = flags & 0x0F;
    r.characterId = in.u16();
    r.depth = in.u16();
    r.matrix = swf::readMatrix(in);
    if (second) {
      r.colorTransform = swf::readColorTransform(in, true);
      if (flags & 0x10) {
        const uint8_t count = in.u8();
        for (uint8_t i = 0; i < count && in.ok(); ++i) r.filters.push_back(swf::readFilter(in));
      }
      if (flags & 0x20) r.blendMode = swf::blendModeFor(in.u8());
    }
    if (!in.ok()) break;
    records.push_back(std::move(r));
  }
  return records;
}

}  // namespace display
