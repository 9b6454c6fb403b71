// DefineMorphShape 1 and 2: the morph fill and line styles (each holding its start and end),
// the morph gradients, and the start and end edges.
#pragma once

#include "BitReader.h"
#include "SwfTypes.h"

#include <optional>

namespace swf {

MorphFillStyle readMorphFillStyle(BitReader& in);
MorphLineStyle readMorphLineStyle(BitReader& in, uint8_t morphVersion);

// The body of DefineMorphShape `version` (1 or 2), after the tag header. nullopt when malformed.
std::optional<MorphShape> readDefineMorphShape(BitReader& in, uint8_t version, uint8_t swfVersion);

}  // namespace swf
