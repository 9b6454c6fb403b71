// The focus rectangle: the yellow ring the player draws over everything around a button or clip
// that Tab focused, 3 pixels wide inside the object's bounds on the stage (a button's hit area).
#pragma once

#include <optional>

#include "ClipGeometry.h"
#include "Renderer.h"

namespace clips {

// The ring's bounds in stage twips; none when the object has nothing to ring.
std::optional<Bounds> focusBounds(display::CharacterLibrary& library, const display::DisplayObject& object);

// Draws the ring around `stageBounds`, `view` taking stage twips to the frame's pixels.
void drawFocusRect(render::Renderer& renderer, const Bounds& stageBounds, const swf::Matrix& view);

}  // namespace clips
