// The stroker: pieces per line, join and cap, each a polygon turned to one winding before it
// reaches the rasteriser.
#include "Stroker.h"

#include <cmath>
#include <numbers>

namespace render {

namespace {

Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
Point operator*(Point a, double k) { return {a.x * k, a.y * k}; }
double dot(Point a, Point b) { return a.x * b.x + a.y * b.y; }
double cross(Point a, Point b) { return a.x * b.y - a.y * b.x; }
Point normalized(Point a) {
  const double length = std::sqrt(dot(a, a));
  return length > 0 ? a * (1 / length) : Point{1, 0};
}
Point normal(Point direction) { return {-direction.y, direction.x}; }

}  // namespace

void Stroker::addPolygon(Rasterizer& rasterizer) {
  const size_t n = polygon_.size();
  if (n < 3) {
    polygon_.clear();
    return;
  }
  double area = 0;
  for (size_t i = 0; i < n; ++i) area += cross(polygon_[i], polygon_[(i + 1) % n]);
  for (size_t i = 0; i < n; ++i) {
    const Point& a = polygon_[i];
    const Point& b = polygon_[(i + 1) % n];
    if (area >= 0) rasterizer.addLine(float(a.x), float(a.y), float(b.x), float(b.y));
    else rasterizer.addLine(float(b.x), float(b.y), float(a.x), float(a.y));
  }
  polygon_.clear();
}

// Arc points for a fan from the centre, on a radius grown so each triangle has its sector's
// area: round caps and joins then cover what a true circle does.
void Stroker::arc(Point center, double radius, double from, double sweep, double tolerance) {
  const double step = radius > tolerance ? 2 * std::acos(1 - tolerance / radius) : std::numbers::pi / 2;
  const int n = std::clamp(int(std::ceil(std::fabs(sweep) / step)), 2, 256);
  const double each = std::fabs(sweep) / n;
  const double r = each > 1e-9 ? radius * std::sqrt(each / std::sin(each)) : radius;
  for (int i = 0; i <= n; ++i) {
    const double angle = from + sweep * i / n;
    polygon_.push_back({center.x + r * std::cos(angle), center.y + r * std::sin(angle)});
  }
}

void Stroker::join(Point at, Point in, Point out, const StrokeGeometry& g, Rasterizer& r) {
  const Point d0 = normalized(at - in), d1 = normalized(out - at);
  const double turn = cross(d0, d1);
  if (std::fabs(turn) < 1e-9 && dot(d0, d1) > 0) return;  // straight on: the pieces meet exactly
  const double side = turn > 0 ? -1 : 1;  // the outer side, where the pieces part
  const double hw = g.width / 2;
  const Point u0 = normal(d0) * side, u1 = normal(d1) * side;
  const Point o0 = at + u0 * hw, o1 = at + u1 * hw;
  polygon_.push_back(at);
  if (g.join == swf::JoinStyle::Round) {
    arc(at, hw, std::atan2(u0.y, u0.x), std::atan2(cross(u0, u1), dot(u0, u1)), g.tolerance);
  } else if (g.join == swf::JoinStyle::Miter && 1 + dot(u0, u1) > 1e-9) {
    const double cosHalf = std::sqrt((1 + dot(u0, u1)) / 2);
    const Point miter = at + (u0 + u1) * (hw / (1 + dot(u0, u1)));
    const double limit = std::max(g.miterLimit, 1.0) * hw, near = hw * cosHalf, far = hw / cosHalf;
    polygon_.push_back(o0);
    if (far <= limit) {
      polygon_.push_back(miter);
    } else if (limit > near) {  // cut square across at the limit
      const double t = (limit - near) / (far - near);
      polygon_.push_back(o0 + (miter - o0) * t);
      polygon_.push_back(o1 + (miter - o1) * t);
    }
    polygon_.push_back(o1);
  } else {
    polygon_.push_back(o0);
    polygon_.push_back(o1);
  }
  addPolygon(r);
}

void Stroker::cap(Point at, Point direction, swf::CapStyle style, const StrokeGeometry& g, Rasterizer& r) {
  const double hw = g.width / 2;
  const Point n = normal(direction) * hw;
  if (style == swf::CapStyle::Round) {
    polygon_.push_back(at);
    const double sweep = cross(n, direction) > 0 ? std::numbers::pi : -std::numbers::pi;
    arc(at, hw, std::atan2(n.y, n.x), sweep, g.tolerance);
  } else if (style == swf::CapStyle::Square) {
    const Point ahead = direction * hw;
    polygon_ = {at + n, at + n + ahead, at - n + ahead, at - n};
  } else {
    return;
  }
  addPolygon(r);
}

void Stroker::stroke(const Point* points, size_t count, bool closed, const StrokeGeometry& g,
                     Rasterizer& r) {
  unique_.clear();
  for (size_t i = 0; i < count; ++i)
    if (unique_.empty() || std::fabs(points[i].x - unique_.back().x) + std::fabs(points[i].y - unique_.back().y) > 1e-9)
      unique_.push_back(points[i]);
  if (closed && unique_.size() > 1 && std::fabs(unique_.front().x - unique_.back().x) + std::fabs(unique_.front().y - unique_.back().y) <= 1e-9)
    unique_.pop_back();
  const size_t m = unique_.size();
  if (m == 0) return;
  const double hw = g.width / 2;
  if (m == 1) {  // a dot: what its caps make of it
    const Point at = unique_[0];
    if (g.startCap == swf::CapStyle::Round) {
      arc(at, hw, 0, 2 * std::numbers::pi, g.tolerance);
      addPolygon(r);
    } else if (g.startCap == swf::CapStyle::Square) {
      polygon_ = {{at.x - hw, at.y - hw}, {at.x + hw, at.y - hw}, {at.x + hw, at.y + hw}, {at.x - hw, at.y + hw}};
      addPolygon(r);
    }
    return;
  }
  if (closed && m < 3) closed = false;
  const size_t segments = closed ? m : m - 1;
  for (size_t i = 0; i < segments; ++i) {
    const Point a = unique_[i], b = unique_[(i + 1) % m];
    const Point n = normal(normalized(b - a)) * hw;
    polygon_ = {a + n, b + n, b - n, a - n};
    addPolygon(r);
  }
  for (size_t i = closed ? 0 : 1; i < (closed ? m : m - 1); ++i)
    join(unique_[i], unique_[(i + m - 1) % m], unique_[(i + 1) % m], g, r);
  if (!closed) {
    cap(unique_[0], normalized(unique_[0] - unique_[1]), g.startCap, g, r);
    cap(unique_[m - 1], normalized(unique_[m - 1] - unique_[m - 2]), g.endCap, g, r);
  }
}

}  // namespace render
