// Small shapes, bitmaps and frames for the renderer's tests: polygons in pixels made into SWF
// records, and area and colour readings of a frame.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "../../../player/render/SoftwareRenderer.h"

namespace rendertest {

using Points = std::vector<std::pair<double, double>>;  // pixels

inline int twips(double pixels) { return int(std::lround(pixels * 20)); }
inline swf::Matrix twipsToPixels(double scale = 1) { return {scale / 20, 0, 0, scale / 20, 0, 0}; }

inline swf::FillStyle solid(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
  swf::FillStyle fill;
  fill.color = {r, g, b, a};
  return fill;
}

inline swf::LineStyle line(uint16_t widthTwips, swf::CapStyle cap = swf::CapStyle::Round,
                           swf::JoinStyle join = swf::JoinStyle::Round) {
  swf::LineStyle style;
  style.width = widthTwips;
  style.color = {0, 0, 0, 255};
  style.startCap = style.endCap = cap;
  style.join = join;
  return style;
}

// Straight edges through `points` (pixels) with the given styles; `close` returns to the start.
inline void addPath(std::vector<swf::ShapeRecord>& records, const Points& points, uint32_t fill0, uint32_t fill1,
                    uint32_t lineStyle, bool close = true) {
  swf::StyleChange change;
  change.moveTo = std::pair{twips(points[0].first), twips(points[0].second)};
  change.fill0 = fill0;
  change.fill1 = fill1;
  change.line = lineStyle;
  records.push_back(change);
  int x = twips(points[0].first), y = twips(points[0].second);
  auto edgeTo = [&](double px, double py) {
    records.push_back(swf::StraightEdge{twips(px) - x, twips(py) - y});
    x = twips(px);
    y = twips(py);
  };
  for (size_t i = 1; i < points.size(); ++i) edgeTo(points[i].first, points[i].second);
  if (close) edgeTo(points[0].first, points[0].second);
}

inline Points rect(double x0, double y0, double x1, double y1) { return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}; }

inline swf::Shape shapeOf(std::vector<swf::FillStyle> fills, std::vector<swf::LineStyle> lines,
                          std::vector<swf::ShapeRecord> records) {
  swf::Shape shape;
  shape.fills = std::move(fills);
  shape.lines = std::move(lines);
  shape.records = std::move(records);
  return shape;
}

inline swf::Shape filledPolygon(const Points& points, swf::FillStyle fill = solid(0, 0, 0)) {
  std::vector<swf::ShapeRecord> records;
  addPath(records, points, 0, 1, 0);
  return shapeOf({fill}, {}, std::move(records));
}

inline swf::Shape strokedPath(const Points& points, swf::LineStyle style, bool close = false) {
  std::vector<swf::ShapeRecord> records;
  addPath(records, points, 0, 0, 1, close);
  return shapeOf({}, {style}, std::move(records));
}

inline render::Frame draw(const swf::Shape& shape, uint32_t width, uint32_t height,
                          const swf::Matrix& matrix = twipsToPixels(), const swf::ColorTransform& cx = {},
                          std::optional<swf::Rgba> background = std::nullopt,
                          render::Quality quality = render::Quality::High) {
  render::SoftwareRenderer renderer;
  renderer.setQuality(quality);
  renderer.beginFrame(width, height, background);
  renderer.drawShape(render::prepareShape(shape), matrix, cx);
  renderer.endFrame();
  return renderer.frame();
}

// The covered area in pixels: the sum of alpha over the frame.
inline double coveredArea(const render::Frame& frame) {
  double sum = 0;
  for (uint32_t p : frame.pixels) sum += (p >> 24) / 255.0;
  return sum;
}

// Channels within one step of each other (the rounding of 8-bit filtering).
inline testing::AssertionResult closeTo(const render::Pixel& actual, const render::Pixel& expected) {
  auto near = [](int a, int b) { return a - b <= 1 && b - a <= 1; };
  if (near(actual.r, expected.r) && near(actual.g, expected.g) && near(actual.b, expected.b) && near(actual.a, expected.a))
    return testing::AssertionSuccess();
  return testing::AssertionFailure() << "got " << int(actual.r) << "," << int(actual.g) << "," << int(actual.b) << ","
                                     << int(actual.a) << " for " << int(expected.r) << "," << int(expected.g) << ","
                                     << int(expected.b) << "," << int(expected.a);
}

inline swf::Bitmap bitmapOf(uint32_t width, uint32_t height, const std::vector<render::Pixel>& pixels) {
  swf::Bitmap bitmap;
  bitmap.width = width;
  bitmap.height = height;
  bitmap.rgba.resize(pixels.size() * 4);
  for (size_t i = 0; i < pixels.size(); ++i) {
    bitmap.rgba[i * 4] = pixels[i].r;
    bitmap.rgba[i * 4 + 1] = pixels[i].g;
    bitmap.rgba[i * 4 + 2] = pixels[i].b;
    bitmap.rgba[i * 4 + 3] = pixels[i].a;
  }
  return bitmap;
}

}  // namespace rendertest
