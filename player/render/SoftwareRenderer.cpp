// The software renderer: each fill or stroke is rasterised to coverage, limited by the active
// mask, then either painted into the frame or added to the mask being drawn.
#include "SoftwareRenderer.h"

#include <algorithm>
#include <cmath>

#include "Blend.h"
#include "BlendModes.h"
#include "Filters.h"
#include "ColorMath.h"
#include "FillGroup.h"
#include "Flattener.h"
#include "MaskStack.h"
#include "MatrixMath.h"
#include "Paint.h"
#include "Rasterizer.h"
#include "Stroker.h"

namespace render {

namespace {

struct QualitySettings {
  Antialiasing antialiasing;
  double tolerance;  // flattening error, pixels
  bool smoothing;    // bitmaps smoothed where the movie asks
};
constexpr QualitySettings kQualities[] = {
    {Antialiasing::None, 0.05, false},   // Low: no anti-aliasing to hide a coarse outline
    {Antialiasing::Coarse, 0.3, false},  // Medium
    {Antialiasing::Exact, 0.15, true},   // High
    {Antialiasing::Exact, 0.08, true},   // Best
};

// A fill's paint: one colour, or a Paint that makes rows.
struct PaintChoice {
  uint32_t color = 0;
  const Paint* paint = nullptr;
};

}  // namespace

struct SoftwareRenderer::State {
  Frame frame;
  QualitySettings quality = kQualities[2];
  BitmapLookup bitmaps;
  Rasterizer rasterizer;
  Stroker stroker;
  Polylines polylines;
  GradientPaint gradient;
  BitmapPaint bitmap;
  MaskStack masks;
  FillGroup group;
  bool intoGroup = false;  // fills go to `group`, not the frame
  std::vector<uint32_t> paintRow;
  std::vector<uint8_t> clippedCoverage;
  // The frames below the open layers (the frame being drawn is `frame`); an empty one stands
  // for a layer opened inside a mask, which draws straight through. Spares are kept for reuse.
  std::vector<Frame> below;
  std::vector<Frame> spareLayers;

  std::optional<PaintChoice> choosePaint(const swf::FillStyle& fill, const swf::Matrix& toPixels,
                                         const swf::ColorTransform& cx);
  void addFill(const Path& outline, const swf::Matrix& toPixels);
  void addStroke(const StrokeLayer& stroke, const swf::Matrix& toPixels);
  void render(FillRule rule, const PaintChoice& paint);
};

std::optional<PaintChoice> SoftwareRenderer::State::choosePaint(const swf::FillStyle& fill, const swf::Matrix& toPixels,
                                                                const swf::ColorTransform& cx) {
  if (fill.isGradient()) {
    if (!gradient.set(fill.kind, fill.gradient, toPixels, cx)) return std::nullopt;
    return PaintChoice{0, &gradient};
  }
  if (fill.isBitmap()) {
    const swf::Bitmap* source = bitmaps && fill.bitmapId != 0xFFFF ? bitmaps(fill.bitmapId) : nullptr;
    if (!source || !bitmap.set(*source, concat(toPixels, fill.bitmapMatrix), fill.isRepeatingBitmap(),
                               fill.isSmoothedBitmap() && quality.smoothing, cx))
      return std::nullopt;
    return PaintChoice{0, &bitmap};
  }
  return PaintChoice{premultiply(transformColor(fill.color, cx)), nullptr};
}

void SoftwareRenderer::State::addFill(const Path& outline, const swf::Matrix& toPixels) {
  flatten(outline, toPixels, quality.tolerance, polylines);
  for (const Polylines::Range& contour : polylines.contours) {
    const Point* p = polylines.points.data() + contour.first;
    for (size_t i = 0; i < contour.count; ++i) {
      const Point& a = p[i];
      const Point& b = p[(i + 1) % contour.count];
      rasterizer.addLine(float(a.x), float(a.y), float(b.x), float(b.y));
    }
  }
}

void SoftwareRenderer::State::addStroke(const StrokeLayer& stroke, const swf::Matrix& toPixels) {
  const swf::LineStyle& style = stroke.style;
  const double h = std::hypot(toPixels.a, toPixels.b), v = std::hypot(toPixels.c, toPixels.d);
  double scale = std::sqrt((h * h + v * v) / 2);
  if (style.noHScale && style.noVScale) scale = 1.0 / 20;
  else if (style.noHScale) scale = v;
  else if (style.noVScale) scale = h;
  StrokeGeometry geometry;
  geometry.width = std::max(1.0, style.width * scale);  // hairlines (0) are one pixel too
  if (!std::isfinite(geometry.width)) return;
  geometry.width = std::min(geometry.width, 1e5);
  geometry.startCap = style.startCap;
  geometry.endCap = style.endCap;
  geometry.join = style.join;
  geometry.miterLimit = style.miterLimit;
  geometry.tolerance = quality.tolerance;
  flatten(stroke.path, toPixels, quality.tolerance, polylines);
  if (style.pixelHinting) {
    // Whole-pixel widths on pixel centres (odd) or pixel edges (even): crisp lines.
    geometry.width = std::max(1.0, std::round(geometry.width));
    const double offset = std::fmod(geometry.width, 2.0) == 1.0 ? 0.5 : 0.0;
    for (Point& p : polylines.points) p = {std::round(p.x - offset) + offset, std::round(p.y - offset) + offset};
  }
  for (const Polylines::Range& contour : polylines.contours)
    stroker.stroke(polylines.points.data() + contour.first, contour.count, contour.closed, geometry, rasterizer);
}

void SoftwareRenderer::State::render(FillRule rule, const PaintChoice& paint) {
  MaskStack::Layer* building = masks.building();
  // A mask being drawn is intersected with the one enclosing it when it is activated.
  const MaskStack::Layer* clip = building ? nullptr : masks.clip();
  const int width = int(frame.width);
  rasterizer.sweep(rule, quality.antialiasing, [&](int y, int x0, int count, const uint8_t* coverage) {
    if (clip) {
      const Box& box = clip->box;
      if (y < box.y0 || y >= box.y1) return;
      const uint8_t* outer = clip->coverage.data() + size_t(y) * width;
      uint8_t* limited = clippedCoverage.data();
      for (int i = 0; i < count; ++i) limited[i] = uint8_t((coverage[i] * outer[x0 + i] + 127) / 255);
      coverage = limited;
    }
    if (building) {
      masks.addCoverage(*building, y, x0, count, coverage);
      return;
    }
    uint32_t* dst = frame.pixels.data() + size_t(y) * width + x0;
    if (!paint.paint) {
      if (intoGroup) group.add(y, x0, count, coverage, nullptr, paint.color);
      else compositeSolid(dst, paint.color, coverage, count);
      return;
    }
    // Paint only the runs something covers.
    for (int i = 0; i < count;) {
      while (i < count && !coverage[i]) ++i;
      const int start = i;
      while (i < count && coverage[i]) ++i;
      if (i == start) break;
      paint.paint->paintRow(y, x0 + start, i - start, paintRow.data());
      if (intoGroup) group.add(y, x0 + start, i - start, coverage + start, paintRow.data(), 0);
      else compositeRow(dst + start, paintRow.data(), coverage + start, i - start);
    }
  });
}

SoftwareRenderer::SoftwareRenderer() : state_(std::make_unique<State>()) {}
SoftwareRenderer::~SoftwareRenderer() = default;

void SoftwareRenderer::setQuality(Quality quality) {
  state_->quality = kQualities[std::min<size_t>(size_t(quality), std::size(kQualities) - 1)];
  state_->rasterizer.setCentreSampling(state_->quality.antialiasing == Antialiasing::None);
}

void SoftwareRenderer::setBitmapLookup(BitmapLookup lookup) { state_->bitmaps = std::move(lookup); }

void SoftwareRenderer::beginFrame(uint32_t width, uint32_t height, std::optional<swf::Rgba> background) {
  State& s = *state_;
  width = std::min<uint32_t>(width, 1u << 14);
  height = std::min<uint32_t>(height, 1u << 14);
  s.frame.width = width;
  s.frame.height = height;
  // Layers left open are dropped: the bottom frame is drawn into again.
  for (Frame& under : s.below)
    if (!under.pixels.empty()) {
      s.frame = std::move(under);
      break;
    }
  s.below.clear();
  s.frame.pixels.assign(size_t(width) * height, background ? premultiply(*background) : 0);
  s.rasterizer.setSize(int(width), int(height));
  s.masks.reset(int(width), int(height));
  s.group.reset(int(width), int(height));
  s.paintRow.resize(width + 2);
  s.clippedCoverage.resize(width + 2);
}

void SoftwareRenderer::drawShape(const PreparedShape& shape, const swf::Matrix& toPixels,
                                 const swf::ColorTransform& colorTransform) {
  State& s = *state_;
  if (s.frame.pixels.empty()) return;
  if (const MaskStack::Layer* clip = s.masks.clip(); clip && clip->box.empty()) return;
  const std::vector<ShapeLayer>& layers = shape.layers;
  for (size_t i = 0; i < layers.size(); ++i) {
    const ShapeLayer& layer = layers[i];
    if (layer.isStroke) {
      const swf::LineStyle& style = layer.stroke.style;
      swf::FillStyle solid;
      solid.color = style.color;
      const std::optional<PaintChoice> paint = s.choosePaint(style.fill ? *style.fill : solid, toPixels, colorTransform);
      if (!paint) continue;
      s.addStroke(layer.stroke, toPixels);
      s.render(FillRule::NonZero, *paint);
      continue;
    }
    // Fills of one group that meet share their edge pixels: painted together onto the frame.
    auto isGroupFill = [&](size_t j) {
      return j < layers.size() && !layers[j].isStroke && layers[j].group == layer.group;
    };
    const bool together = s.masks.building() == nullptr && (isGroupFill(i + 1) || (i > 0 && isGroupFill(i - 1)));
    s.intoGroup = together;
    const std::optional<PaintChoice> paint = s.choosePaint(layer.fill.style, toPixels, colorTransform);
    if (paint) {
      s.addFill(layer.fill.outline, toPixels);
      s.render(shape.fillRule, *paint);
    }
    s.intoGroup = false;
    if (together && !isGroupFill(i + 1)) s.group.compositeInto(s.frame);
  }
}

void SoftwareRenderer::drawBitmap(const swf::Bitmap& bitmap, const swf::Matrix& toPixels, bool smoothing,
                                  const swf::ColorTransform& colorTransform) {
  State& s = *state_;
  if (s.frame.pixels.empty()) return;
  if (!s.bitmap.set(bitmap, toPixels, false, smoothing && s.quality.smoothing, colorTransform)) return;
  const double w = bitmap.width, h = bitmap.height;
  const Point corners[4] = {apply(toPixels, {0, 0}), apply(toPixels, {w, 0}), apply(toPixels, {w, h}),
                            apply(toPixels, {0, h})};
  for (int i = 0; i < 4; ++i) {
    const Point& a = corners[i];
    const Point& b = corners[(i + 1) % 4];
    s.rasterizer.addLine(float(a.x), float(a.y), float(b.x), float(b.y));
  }
  s.render(FillRule::NonZero, PaintChoice{0, &s.bitmap});
}

void SoftwareRenderer::pushMask() { state_->masks.push(); }
void SoftwareRenderer::activateMask() { state_->masks.activate(); }
void SoftwareRenderer::popMask() { state_->masks.pop(); }
void SoftwareRenderer::pushLayer() {
  State& s = *state_;
  if (s.masks.building() || s.frame.pixels.empty()) {
    s.below.emplace_back();
    return;
  }
  Frame layer;
  if (!s.spareLayers.empty()) {
    layer = std::move(s.spareLayers.back());
    s.spareLayers.pop_back();
  }
  layer.width = s.frame.width;
  layer.height = s.frame.height;
  layer.pixels.assign(s.frame.pixels.size(), 0);
  s.below.push_back(std::move(s.frame));
  s.frame = std::move(layer);
}

void SoftwareRenderer::popLayer(swf::BlendMode mode, const std::vector<swf::Filter>& filters, double filterScale) {
  State& s = *state_;
  if (s.below.empty()) return;
  Frame under = std::move(s.below.back());
  s.below.pop_back();
  if (under.pixels.empty()) return;  // opened inside a mask: drawn straight through
  applyFilters(filters, s.frame, filterScale);
  blendLayer(mode, s.frame, under, {0, 0, int(under.width), int(under.height)});
  s.spareLayers.push_back(std::move(s.frame));
  s.frame = std::move(under);
}

void SoftwareRenderer::endFrame() {
  State& s = *state_;
  while (!s.below.empty()) popLayer(swf::BlendMode::Normal, {}, 1);
}
const Frame& SoftwareRenderer::frame() const { return state_->frame; }

}  // namespace render
