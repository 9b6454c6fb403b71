// A shape turned into what the rasteriser draws: closed outlines per fill style and stroke paths
// per line style, in shape space (twips), curves kept as quadratics to flatten at draw time.
#pragma once

#include <cstdint>
#include <vector>

#include "../swf/SwfTypes.h"

namespace render {

struct Point {
  double x = 0, y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// One contour: a start point, then segments; a segment whose `isCurve` is set is a quadratic
// through `control`.
struct Segment {
  Point control, to;
  bool isCurve = false;
};
struct Contour {
  Point start;
  std::vector<Segment> segments;
  bool closed = false;  // strokes: ends where it began (joined there, no caps)
};
using Path = std::vector<Contour>;

enum class FillRule : uint8_t { EvenOdd, NonZero };

// What one draw of the shape paints, in order: each style group's fills, then its lines.
struct FillLayer {
  swf::FillStyle style;
  Path outline;  // every contour closed
};
struct StrokeLayer {
  swf::LineStyle style;
  Path path;
};
struct ShapeLayer {
  uint32_t group = 0;  // the style list it came from: a group's fills are painted as one, seamless
  bool isStroke = false;
  FillLayer fill;      // when !isStroke
  StrokeLayer stroke;  // when isStroke
};

struct PreparedShape {
  FillRule fillRule = FillRule::EvenOdd;
  std::vector<ShapeLayer> layers;
  swf::Rect bounds;  // twips, strokes included as the file gives them
};

// Joins each fill style's edges into closed contours as the original player does (fill1 edges
// as they are, fill0 edges reversed), and each line style's edges into stroke paths.
PreparedShape prepareShape(const swf::Shape& shape);

// A morph shape at `ratio` (0: the start shape, 65535: the end shape).
PreparedShape prepareMorphShape(const swf::MorphShape& morph, uint16_t ratio);

// A font glyph (records only, fill style 1 implied): filled white, so the caller tints it
// with a colour transform (multipliers 0, adds the text colour, alpha multiplier its alpha).
PreparedShape prepareGlyph(const swf::Shape& glyph);

}  // namespace render
