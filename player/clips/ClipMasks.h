// Masks as the pointer meets them: a clip under a clip layer, or given a mask by setMask, is
// under the pointer only where its mask draws.
#pragma once

#include "HitTest.h"
#include "SpriteObject.h"

namespace clips {

// Whether the masks on `child` (placed on `owner`'s list) let `point` through: the clip layer
// over its depth (`point` in `owner`'s coordinates) and the clip setMask gave it (`stage`, the
// same point in the stage's twips).
bool masksAllow(const display::SpriteObject& owner, const display::DisplayObject& child,
                render::Point point, render::Point stagePoint);

}  // namespace clips
