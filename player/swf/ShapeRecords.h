// SHAPE and SHAPEWITHSTYLE: the edge and style-change records of shapes, morph shapes and
// glyphs, and the DefineShape 1-4 tags built from them.
#pragma once

#include "BitReader.h"
#include "StyleRecords.h"
#include "SwfTypes.h"

#include <vector>

namespace swf {

// Reads SHAPERECORDs up to the end record, starting with the given NumFillBits and NumLineBits;
// a style change with new styles reads them and their new bit counts. False when the records
// ran past the data (what was read before stays in `out`).
bool readShapeRecords(BitReader& in, const StyleContext& context, unsigned fillBits, unsigned lineBits,
                      std::vector<ShapeRecord>& out);

// A SHAPE as glyphs hold it: the bit counts byte, then the records.
bool readShape(BitReader& in, const StyleContext& context, std::vector<ShapeRecord>& out);

// The body of DefineShape `version` (1..4), after the tag header. nullopt when malformed.
std::optional<Shape> readDefineShape(BitReader& in, uint8_t version, uint8_t swfVersion);

}  // namespace swf
