// Fill and line styles of DefineShape 1 to 4: GRADIENT, FOCALGRADIENT, FILLSTYLE(ARRAY),
// LINESTYLE, LINESTYLE2 and LINESTYLEARRAY. `shapeVersion` is the DefineShape tag's number.
#pragma once

#include "BitReader.h"
#include "SwfTypes.h"

#include <optional>
#include <vector>

namespace swf {

struct StyleContext {
  uint8_t shapeVersion = 1;  // 1..4: colours are RGBA from 3, LINESTYLE2 in 4
  uint8_t swfVersion = 8;    // bitmap fills are smoothed from SWF 8 only
};

// The spread, interpolation and stop count byte, then the stops. Spread 3 and interpolation
// 2-3 are reserved and read as Pad and Rgb.
Gradient readGradient(BitReader& in, const StyleContext& context);
// A FILLSTYLE. An unknown fill type fails the reader. A gradient without stops is drawn solid
// black, as the original player does.
FillStyle readFillStyle(BitReader& in, const StyleContext& context);
std::vector<FillStyle> readFillStyles(BitReader& in, const StyleContext& context);
LineStyle readLineStyle(BitReader& in, const StyleContext& context);
std::vector<LineStyle> readLineStyles(BitReader& in, const StyleContext& context);

// Shared with the morph styles: the LINESTYLE2 flag word into `style`; true when a fill follows.
bool readLineStyleFlags(BitReader& in, LineStyle& style);
// The count byte, extended to 16 bits by 0xFF where `extended` allows it.
size_t readStyleCount(BitReader& in, bool extended);
// The type byte as a fill kind; nullopt for an unknown type. Bitmaps before SWF 8 are unsmoothed.
std::optional<FillKind> fillKindFor(uint8_t type, uint8_t swfVersion);

}  // namespace swf
