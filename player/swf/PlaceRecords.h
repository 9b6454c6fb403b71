// What places and removes instances: PlaceObject 1-3 with their CLIPACTIONS, filters and blend
// modes, and RemoveObject 1-2.
#pragma once

#include "BitReader.h"
#include "SwfTypes.h"

#include <optional>
#include <vector>

namespace swf {

// ClipEventFlags bits in the 32-bit layout of SWF 6 and later.
namespace clip_event {
inline constexpr uint32_t kLoad = 1u << 0, kEnterFrame = 1u << 1, kUnload = 1u << 2, kMouseMove = 1u << 3,
                          kMouseDown = 1u << 4, kMouseUp = 1u << 5, kKeyDown = 1u << 6, kKeyUp = 1u << 7,
                          kData = 1u << 8, kInitialize = 1u << 9, kPress = 1u << 10, kRelease = 1u << 11,
                          kReleaseOutside = 1u << 12, kRollOver = 1u << 13, kRollOut = 1u << 14,
                          kDragOver = 1u << 15, kDragOut = 1u << 16, kKeyPress = 1u << 17,
                          kConstruct = 1u << 18;
}

// CLIPACTIONS after its reserved word: the records up to the end flag. SWF 5 has 16-bit event
// flags, widened to the later layout; a last record cut short ends the list, as the player takes it.
std::vector<ClipAction> readClipActions(BitReader& in, uint8_t swfVersion);
// A FILTERLIST's filter: its type byte and its record, kept whole. An unknown type fails.
Filter readFilter(BitReader& in);
BlendMode blendModeFor(uint8_t value);

// The bodies of PlaceObject (1), PlaceObject2 (2) and PlaceObject3 (3). nullopt when malformed.
std::optional<PlaceObject> readPlaceObject(BitReader& in, uint8_t version, uint8_t swfVersion);
std::optional<RemoveObject> readRemoveObject(BitReader& in, uint8_t version);

}  // namespace swf
