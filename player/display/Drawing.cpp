// A clip's drawing-API paths: the original player's rules for closing fills and for the lines
// drawn while a fill is open (they are painted above it when the fill ends).
#include "Drawing.h"

#include <algorithm>
#include <cmath>

namespace display {

namespace {

render::Path toPath(const std::vector<Drawing::Step>& steps, bool asFill) {
  render::Path path;
  for (const Drawing::Step& step : steps) {
    if (step.kind == Drawing::Step::Move || path.empty()) {
      path.push_back(render::Contour{step.kind == Drawing::Step::Move ? step.to : render::Point{}, {}, false});
      if (step.kind == Drawing::Step::Move) continue;
    }
    path.back().segments.push_back(render::Segment{step.control, step.to, step.kind == Drawing::Step::Curve});
  }
  std::erase_if(path, [](const render::Contour& c) { return c.segments.empty(); });
  for (render::Contour& c : path) {
    const bool returns = c.segments.back().to == c.start;
    if (asFill && !returns) c.segments.push_back(render::Segment{{}, c.start, false});
    c.closed = asFill || returns;
  }
  return path;
}

// The extremes of a quadratic from `a` through `c` to `b` along one axis.
void curveExtremes(double a, double c, double b, double* lo, double* hi) {
  *lo = std::min(a, b), *hi = std::max(a, b);
  const double denominator = a - 2 * c + b;
  if (denominator == 0) return;
  const double t = (a - c) / denominator;
  if (t <= 0 || t >= 1) return;
  const double v = (1 - t) * (1 - t) * a + 2 * t * (1 - t) * c + t * t * b;
  *lo = std::min(*lo, v), *hi = std::max(*hi, v);
}

}  // namespace

void Drawing::setFill(std::optional<swf::FillStyle> style) {
  closeFill();
  if (fill_) done_.push_back(Entry{true, std::move(*fill_), {}});
  fill_.reset();
  for (Stroke& s : waiting_) done_.push_back(Entry{false, {}, std::move(s)});
  waiting_.clear();
  if (line_) {
    swf::LineStyle lineStyle = line_->style;
    done_.push_back(Entry{false, {}, std::move(*line_)});
    line_ = Stroke{lineStyle, {Step{Step::Move, {}, cursor_}}};
  }
  if (style) fill_ = Fill{std::move(*style), {Step{Step::Move, {}, cursor_}}};
  fillStart_ = cursor_;
  empty_ = false;
  changed();
}

void Drawing::setLine(std::optional<swf::LineStyle> style) {
  if (line_) {
    if (fill_) waiting_.push_back(std::move(*line_));
    else done_.push_back(Entry{false, {}, std::move(*line_)});
    line_.reset();
  }
  if (style) line_ = Stroke{std::move(*style), {Step{Step::Move, {}, cursor_}}};
  empty_ = false;
  changed();
}

void Drawing::moveTo(render::Point to) {
  closeFill();
  fillStart_ = to;
  add(Step{Step::Move, {}, to});
}

void Drawing::lineTo(render::Point to) { add(Step{Step::Line, {}, to}); }

void Drawing::curveTo(render::Point control, render::Point to) { add(Step{Step::Curve, control, to}); }

void Drawing::clear() { *this = Drawing(); }

void Drawing::add(Step step) {
  if (fill_) fill_->steps.push_back(step);
  const double halfWidth = line_ ? line_->style.width / 2.0 : 0;
  if (line_) line_->steps.push_back(step);
  if (step.kind != Step::Move) {
    grow(cursor_, halfWidth);
    grow(step.to, halfWidth);
    if (step.kind == Step::Curve) {
      double x0, x1, y0, y1;
      curveExtremes(cursor_.x, step.control.x, step.to.x, &x0, &x1);
      curveExtremes(cursor_.y, step.control.y, step.to.y, &y0, &y1);
      grow({x0, y0}, halfWidth);
      grow({x1, y1}, halfWidth);
    }
  }
  cursor_ = step.to;
  empty_ = false;
  changed();
}

// An open fill's outline returns to where it began; the line drawing it follows.
void Drawing::closeFill() {
  if (!fill_ || cursor_ == fillStart_) return;
  const Step back{Step::Line, {}, fillStart_};
  fill_->steps.push_back(back);
  if (line_) line_->steps.push_back(back);
  cursor_ = fillStart_;
  changed();
}

void Drawing::grow(render::Point p, double halfWidth) {
  const double x0 = p.x - halfWidth, x1 = p.x + halfWidth, y0 = p.y - halfWidth, y1 = p.y + halfWidth;
  if (!hasBounds_) {
    xMin_ = x0, xMax_ = x1, yMin_ = y0, yMax_ = y1;
    hasBounds_ = true;
    return;
  }
  xMin_ = std::min(xMin_, x0), xMax_ = std::max(xMax_, x1);
  yMin_ = std::min(yMin_, y0), yMax_ = std::max(yMax_, y1);
}

std::optional<swf::Rect> Drawing::bounds() const {
  if (!hasBounds_) return std::nullopt;
  auto twips = [](double v) { return static_cast<int32_t>(std::clamp(std::round(v), -2e9, 2e9)); };
  return swf::Rect{twips(xMin_), twips(xMax_), twips(yMin_), twips(yMax_)};
}

const render::PreparedShape& Drawing::prepared() const {
  if (cached_) return *cached_;
  render::PreparedShape shape;
  uint32_t group = 0;
  auto addFill = [&](const Fill& f) {
    render::ShapeLayer layer;
    layer.group = group++;
    layer.fill = render::FillLayer{f.style, toPath(f.steps, true)};
    if (!layer.fill.outline.empty()) shape.layers.push_back(std::move(layer));
  };
  auto addStroke = [&](const Stroke& s, bool closing) {
    render::ShapeLayer layer;
    layer.group = group++;
    layer.isStroke = true;
    std::vector<Step> steps = s.steps;
    if (closing && cursor_ != fillStart_) steps.push_back(Step{Step::Line, {}, fillStart_});
    layer.stroke = render::StrokeLayer{s.style, toPath(steps, false)};
    if (!layer.stroke.path.empty()) shape.layers.push_back(std::move(layer));
  };
  for (const Entry& e : done_) {
    if (e.isFill) addFill(e.fill);
    else addStroke(e.stroke, false);
  }
  // An open fill draws as if ended now.
  if (fill_) {
    Fill closed = *fill_;
    if (cursor_ != fillStart_) closed.steps.push_back(Step{Step::Line, {}, fillStart_});
    addFill(closed);
  }
  for (const Stroke& s : waiting_) addStroke(s, fill_.has_value());
  if (line_) addStroke(*line_, fill_.has_value());
  if (std::optional<swf::Rect> b = bounds()) shape.bounds = *b;
  cached_ = std::move(shape);
  return *cached_;
}

}  // namespace display
