// Shapes for the scene text: rectangles, ellipses and paths in stage pixels, filled with a
// colour, a gradient or a bitmap over their bounds and stroked, made into swf::Shape records.
#pragma once

#include "SwfTypes.h"

#include <optional>
#include <vector>

namespace scene {

// One outline command in stage pixels; curves are quadratic as in SWF.
struct PathStep {
  enum Kind { Move, Line, Curve, Close } kind = Move;
  double x = 0, y = 0;    // the point reached
  double cx = 0, cy = 0;  // Curve's control point
};

std::vector<PathStep> rectPath(double x, double y, double w, double h);
std::vector<PathStep> ellipsePath(double cx, double cy, double rx, double ry);

enum class PaintKind { Solid, Linear, Radial, Focal, Bitmap };

struct Paint {
  PaintKind kind = PaintKind::Solid;
  swf::Rgba color;
  std::vector<swf::GradientStop> stops;
  swf::SpreadMode spread = swf::SpreadMode::Pad;
  double angleDegrees = 0;  // linear gradients: 0 runs left to right
  double focalPoint = 0;
  swf::CharacterId bitmapId = 0;
  uint32_t bitmapWidth = 1, bitmapHeight = 1;  // pixels, to stretch it over the bounds
  bool repeat = false, smooth = true;
};

struct Stroke {
  double width = 1;  // pixels; 0 is a hairline
  swf::Rgba color;
};

// Builds the shape: the fill over the path's bounds, the stroke along it. The tag version is
// the lowest that holds what is used (alpha: 3; focal or spread gradients: 4) unless forced.
swf::Shape buildShape(swf::CharacterId id, const std::vector<PathStep>& path, const std::optional<Paint>& fill,
                      const std::optional<Stroke>& stroke, int forcedVersion = 0);

}  // namespace scene
