// SWF 8's bitmap filters on a finished layer: blur, drop shadow, glow and the colour matrix
// (bevel, gradient filters and convolution are left out: the layer stays as drawn).
#pragma once

#include <vector>

#include "../swf/SwfTypes.h"
#include "Frame.h"

namespace render {

// Applies `filters` in order to `layer` (premultiplied) in place. `scale` turns the filters'
// pixel sizes into frame pixels (the stage's zoom).
void applyFilters(const std::vector<swf::Filter>& filters, Frame& layer, double scale);

}  // namespace render
