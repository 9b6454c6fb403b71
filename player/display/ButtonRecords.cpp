// A DefineButton or DefineButton2 body: records, then the actions with their conditions.
#include "ButtonRecords.h"

#include "../swf/BasicRecords.h"
#include "../swf/PlaceRecords.h"
#include "../swf/TagCodes.h"

namespace display {

namespace {

std::vector<ButtonRecord> readRecords(swf::BitReader& in, bool second) {
  std::vector<ButtonRecord> records;
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

// BUTTONCONDACTIONs from `offset` (counted from the start of the body): each starts with the
// size of the record (0 on the last), then the flags word, then its actions.
std::vector<ButtonAction> readConditionActions(const std::vector<uint8_t>& body, size_t offset) {
  std::vector<ButtonAction> actions;
  while (offset + 4 <= body.size()) {
    swf::BitReader in(body.data() + offset, body.size() - offset);
    const uint16_t size = in.u16();
    const uint16_t flags = in.u16();
    const size_t end = size == 0 ? body.size() : offset + size;
    if (size != 0 && (size < 4 || end > body.size())) break;
    ButtonAction action;
    action.conditions = flags & 0x1FF;
    action.keyCode = static_cast<uint8_t>(flags >> 9);
    action.bytes.assign(body.begin() + static_cast<std::ptrdiff_t>(offset + 4), body.begin() + static_cast<std::ptrdiff_t>(end));
    actions.push_back(std::move(action));
    if (size == 0) break;
    offset = end;
  }
  return actions;
}

}  // namespace

std::vector<ButtonRecord> readButtonRecords(const swf::RawCharacter& button) { return readButton(button).records; }

ButtonDefinition readButton(const swf::RawCharacter& button, const swf::RawCharacter* cxform) {
  ButtonDefinition out;
  const bool second = button.tagCode == swf::tag::kDefineButton2;
  if (!second && button.tagCode != swf::tag::kDefineButton) return out;
  swf::BitReader in(button.body.data(), button.body.size());
  in.u16();  // the id
  if (!second) {
    out.records = readRecords(in, false);
    if (in.ok()) out.actions.push_back({kRelease, 0, in.rest()});
    if (cxform && cxform->tagCode == swf::tag::kDefineButtonCxform && cxform->body.size() > 2) {
      swf::BitReader c(cxform->body.data() + 2, cxform->body.size() - 2);
      const swf::ColorTransform tint = swf::readColorTransform(c, false);
      if (c.ok())
        for (ButtonRecord& r : out.records) r.colorTransform = tint;
    }
    return out;
  }
  out.trackAsMenu = in.u8() & 0x01;
  const size_t offsetField = in.position();
  const uint16_t actionOffset = in.u16();
  out.records = readRecords(in, true);
  if (in.ok() && actionOffset != 0) out.actions = readConditionActions(button.body, offsetField + actionOffset);
  return out;
}

}  // namespace display
