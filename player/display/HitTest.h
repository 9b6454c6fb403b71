// Which display objects lie under a point: shapes by their filled and stroked area (the fill
// rule applied, not the bounding box), clips and buttons through their children, under masks.
#pragma once

#include <memory>

#include "../render/PreparedShape.h"
#include "DisplayList.h"

namespace display {

class ButtonObject;
class CharacterLibrary;

// True when `point` (in the coordinates of the shape) falls on a fill or within half a line's
// width of a stroke (at least `minHalfWidth`, so hairlines can be hit).
bool shapeContains(const render::PreparedShape& shape, render::Point point, double minHalfWidth = 10);

// True when `point` (in the coordinates of the object's parent) falls on what the object draws;
// a button by its hit-test state. Masks drawn by clip layers, invisible objects and characters
// without an area (text fields, video) hit nothing.
bool objectContains(const DisplayObject& object, CharacterLibrary& library, render::Point point);

// False when a clip layer on `list` masks `child` and `point` (in the list owner's
// coordinates) falls outside that mask's drawing.
bool insideClipLayer(const DisplayList& list, const DisplayObject& child, CharacterLibrary& library,
                     render::Point point);

// The topmost button under `point` (in the coordinates of the list's owner), looking into
// clips; what is not interactive above it does not hide it, as in the original player's AVM1.
std::shared_ptr<ButtonObject> topButtonAt(const DisplayList& list, CharacterLibrary& library, render::Point point);

// `point` in the coordinates inside `matrix` (its inverse applied); none when it has no inverse.
bool toLocal(const swf::Matrix& matrix, render::Point point, render::Point& local);

}  // namespace display
