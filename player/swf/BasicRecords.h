// The small records most tags share: RECT, MATRIX, CXFORM and CXFORMWITHALPHA, RGB and RGBA.
// Each reads one record at the reader's position; on a short read the reader is left failed.
#pragma once

#include "BitReader.h"
#include "SwfTypes.h"

namespace swf {

Rect readRect(BitReader& in);
Matrix readMatrix(BitReader& in);
ColorTransform readColorTransform(BitReader& in, bool withAlpha);
Rgba readRgb(BitReader& in);
Rgba readRgba(BitReader& in);

}  // namespace swf
