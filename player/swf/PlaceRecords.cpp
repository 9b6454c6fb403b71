// PlaceObject 1-3 field by field in the order of their flags; filters are measured by their type
// and kept as bytes for the renderer to decode when it draws them.
#include "PlaceRecords.h"

#include "BasicRecords.h"

namespace swf {

namespace {

uint32_t readEventFlags(BitReader& in, uint8_t swfVersion) {
  if (swfVersion >= 6) return in.remaining() >= 4 ? in.u32() : 0;
  return in.remaining() >= 2 ? in.u16() : 0;
}

// The size of a filter's record after its type byte; nullopt for an unknown type or a short read.
std::optional<size_t> filterSize(uint8_t type, BitReader probe) {
  switch (type) {
    case 0: return 23;  // drop shadow
    case 1: return 9;   // blur
    case 2: return 15;  // glow
    case 3: return 27;  // bevel
    case 4:             // gradient glow
    case 7: {           // gradient bevel
      size_t colors = probe.u8();
      if (!probe.ok()) return std::nullopt;
      return 1 + colors * 5 + 19;
    }
    case 5: {  // convolution
      size_t columns = probe.u8(), rows = probe.u8();
      if (!probe.ok()) return std::nullopt;
      return 2 + 8 + columns * rows * 4 + 5;
    }
    case 6: return 80;  // colour matrix
    default: return std::nullopt;
  }
}

}  // namespace

std::vector<ClipAction> readClipActions(BitReader& in, uint8_t swfVersion) {
  std::vector<ClipAction> actions;
  in.u16();                        // reserved
  readEventFlags(in, swfVersion);  // all events, the union of the records'
  while (in.ok()) {
    uint32_t events = readEventFlags(in, swfVersion);
    if (events == 0) break;
    ClipAction action;
    action.events = events;
    uint32_t size = in.u32();
    if (events & clip_event::kKeyPress) {
      if (size == 0) {
        in.fail();
        break;
      }
      action.keyCode = in.u8();
      --size;  // the key code counts in the size
    }
    action.actions = in.bytes(size);
    if (in.ok()) actions.push_back(std::move(action));
  }
  return actions;
}

Filter readFilter(BitReader& in) {
  Filter filter;
  filter.type = in.u8();
  std::optional<size_t> size = filterSize(filter.type, in);
  if (!size || !in.ok()) {
    in.fail();
    return filter;
  }
  filter.bytes = in.bytes(*size);
  return filter;
}

BlendMode blendModeFor(uint8_t value) {
  if (value >= 2 && value <= static_cast<uint8_t>(BlendMode::HardLight)) return static_cast<BlendMode>(value);
  return BlendMode::Normal;  // 0, 1 and values the player does not know
}

std::optional<PlaceObject> readPlaceObject(BitReader& in, uint8_t version, uint8_t swfVersion) {
  PlaceObject place;
  place.version = version;
  if (version == 1) {
    place.characterId = in.u16();
    place.depth = in.u16();
    place.matrix = readMatrix(in);
    if (in.ok() && !in.atEnd()) place.colorTransform = readColorTransform(in, false);
    if (!in.ok()) return std::nullopt;
    return place;
  }

  uint8_t flags = in.u8();
  uint8_t flags3 = version >= 3 ? in.u8() : 0;
  place.depth = in.u16();
  place.move = flags & 0x01;
  bool hasCharacter = flags & 0x02;
  bool hasImage = flags3 & 0x10;
  if ((flags3 & 0x08) || (hasImage && !hasCharacter)) place.className = in.string();
  if (hasCharacter) place.characterId = in.u16();
  if (!place.move && !hasCharacter && !place.className) return std::nullopt;  // places nothing
  if (flags & 0x04) place.matrix = readMatrix(in);
  if (flags & 0x08) place.colorTransform = readColorTransform(in, true);
  if (flags & 0x10) place.ratio = in.u16();
  if (flags & 0x20) place.name = in.string();
  if (flags & 0x40) place.clipDepth = in.u16();
  if (flags3 & 0x01) {
    size_t count = in.u8();
    std::vector<Filter> filters;
    for (size_t i = 0; i < count && in.ok(); ++i) filters.push_back(readFilter(in));
    place.filters = std::move(filters);
  }
  if (flags3 & 0x02) place.blendMode = blendModeFor(in.u8());
  // Some files end the tag where the cache flag's byte should be; the flag alone then counts.
  if (flags3 & 0x04) place.cacheAsBitmap = in.atEnd() ? true : in.u8() != 0;
  if (flags3 & 0x20) place.visible = in.u8() != 0;
  if (flags3 & 0x40) place.backgroundColor = readRgba(in);
  if (flags & 0x80) place.clipActions = readClipActions(in, swfVersion);
  if (!in.ok()) return std::nullopt;
  return place;
}

std::optional<RemoveObject> readRemoveObject(BitReader& in, uint8_t version) {
  RemoveObject remove;
  if (version == 1) remove.characterId = in.u16();
  remove.depth = in.u16();
  if (!in.ok()) return std::nullopt;
  return remove;
}

}  // namespace swf
