// SWF 8's blend modes: a finished offscreen layer composited into what lies below it, pixel by
// pixel, on premultiplied colours.
#pragma once

#include "../swf/SwfTypes.h"
#include "Frame.h"
#include "MaskStack.h"

namespace render {

// Composites `layer` into `below` (same size) inside `box` with `mode`. Normal and Layer are
// source-over; Alpha and Erase keep or remove what is below by the layer's alpha.
void blendLayer(swf::BlendMode mode, const Frame& layer, Frame& below, const Box& box);

}  // namespace render
