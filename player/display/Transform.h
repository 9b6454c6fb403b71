// Matrix and colour-transform arithmetic for walking the display tree: a child's transform
// concatenated under its parent's, and the stage's twips-to-pixels view.
#pragma once

#include "../swf/SwfTypes.h"

namespace display {

// The matrix that applies `inner` first, then `outer`.
swf::Matrix concatenate(const swf::Matrix& outer, const swf::Matrix& inner);

// The colour transform that applies `inner` first, then `outer`; fields that would leave
// their 16-bit range are held at its ends.
swf::ColorTransform concatenate(const swf::ColorTransform& outer, const swf::ColorTransform& inner);

swf::Matrix scaleMatrix(double sx, double sy);

// The colour transform that paints white art in `color`: glyphs and boxes are prepared white,
// and the colour comes in as the additive term.
swf::ColorTransform tint(swf::Rgba color);

// Stage twips (from the frame rectangle's corner) to pixels at `scale` pixels per stage pixel.
swf::Matrix stageView(const swf::Rect& frameRect, double scale);

}  // namespace display
