// Geometry of display objects for scripts: bounds in any space, the matrix to the stage, and
// the scale and rotation a matrix reads as.
#pragma once

#include "CharacterLibrary.h"
#include "DisplayObject.h"

namespace clips {

struct Bounds {  // twips
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
  bool empty = true;
  void add(double x, double y);
  void add(const Bounds& other);
};

// The object's bounds (its own matrix left out) mapped through `m`.
Bounds boundsOf(display::CharacterLibrary& library, const display::DisplayObject& object, const swf::Matrix& m);
// The matrix from the object's own space to the root's.
swf::Matrix toRoot(const display::DisplayObject& object);
swf::Matrix inverse(const swf::Matrix& m);

double scaleX(const swf::Matrix& m);  // 1 = 100%
double scaleY(const swf::Matrix& m);
double rotationDegrees(const swf::Matrix& m);
// A matrix with these scales and rotation, keeping the translation.
swf::Matrix withScaleRotation(const swf::Matrix& m, double sx, double sy, double degrees);

}  // namespace clips
