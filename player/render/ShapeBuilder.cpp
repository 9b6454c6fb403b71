// Collects a shape's edges per style and joins them into closed fill contours (fill1 edges as
// drawn, fill0 edges reversed) and stroke paths, group by group.
#include "ShapeBuilder.h"

#include <map>
#include <utility>

namespace render {

ShapeBuilder::ShapeBuilder(FillRule fillRule) { shape_.fillRule = fillRule; }

void ShapeBuilder::newStyles(std::vector<swf::FillStyle> fills, std::vector<swf::LineStyle> lines) {
  finishGroup();
  fills_ = std::move(fills);
  lines_ = std::move(lines);
  fillEdges_.assign(fills_.size(), {});
  strokes_.assign(lines_.size(), {});
  fill0_ = fill1_ = line_ = 0;
}

void ShapeBuilder::setLine(uint32_t index) {
  if (index != line_) endStroke();
  line_ = index;
}

void ShapeBuilder::moveTo(Point to) {
  endStroke();
  pen_ = to;
}

void ShapeBuilder::lineTo(Point to) {
  addEdge({pen_, {}, to, false});
  pen_ = to;
}

void ShapeBuilder::curveTo(Point control, Point to) {
  addEdge({pen_, control, to, true});
  pen_ = to;
}

void ShapeBuilder::addEdge(const Edge& edge) {
  // An edge with the same fill on both sides lies inside it: it bounds nothing.
  if (fill0_ != fill1_) {
    if (fill1_ >= 1 && fill1_ <= fillEdges_.size()) fillEdges_[fill1_ - 1].push_back(edge);
    if (fill0_ >= 1 && fill0_ <= fillEdges_.size())
      fillEdges_[fill0_ - 1].push_back({edge.to, edge.control, edge.from, edge.isCurve});
  }
  if (line_ >= 1 && line_ <= strokes_.size()) {
    if (!stroke_) stroke_ = Contour{edge.from, {}, false};
    stroke_->segments.push_back({edge.control, edge.to, edge.isCurve});
  }
}

void ShapeBuilder::endStroke() {
  if (!stroke_) return;
  if (line_ >= 1 && line_ <= strokes_.size() && !stroke_->segments.empty()) {
    stroke_->closed = stroke_->segments.back().to == stroke_->start && !lines_[line_ - 1].noClose;
    strokes_[line_ - 1].push_back(std::move(*stroke_));
  }
  stroke_.reset();
}

namespace {

// Follows edges end to start, earliest first, until a contour comes back to where it began; a
// contour that cannot is closed with a straight line (the accumulating rasteriser needs every
// contour closed).
template <typename Edge>
Path joinContours(const std::vector<Edge>& edges) {
  std::map<std::pair<double, double>, std::vector<size_t>> byStart;
  for (size_t i = 0; i < edges.size(); ++i) byStart[{edges[i].from.x, edges[i].from.y}].push_back(i);
  std::vector<bool> used(edges.size(), false);
  auto takeFrom = [&](Point p) -> std::optional<size_t> {
    auto it = byStart.find({p.x, p.y});
    if (it == byStart.end()) return std::nullopt;
    for (size_t i : it->second)
      if (!used[i]) return i;
    return std::nullopt;
  };
  Path path;
  for (size_t first = 0; first < edges.size(); ++first) {
    if (used[first]) continue;
    Contour contour{edges[first].from, {}, true};
    std::optional<size_t> next = first;
    while (next) {
      const Edge& e = edges[*next];
      used[*next] = true;
      contour.segments.push_back({e.control, e.to, e.isCurve});
      if (e.to == contour.start) break;
      next = takeFrom(e.to);
    }
    if (contour.segments.back().to != contour.start) contour.segments.push_back({{}, contour.start, false});
    path.push_back(std::move(contour));
  }
  return path;
}

}  // namespace

void ShapeBuilder::finishGroup() {
  endStroke();
  for (size_t i = 0; i < fillEdges_.size(); ++i) {
    if (fillEdges_[i].empty()) continue;
    ShapeLayer layer;
    layer.group = group_;
    layer.fill = {fills_[i], joinContours(fillEdges_[i])};
    shape_.layers.push_back(std::move(layer));
  }
  for (size_t i = 0; i < strokes_.size(); ++i) {
    if (strokes_[i].empty()) continue;
    ShapeLayer layer;
    layer.group = group_;
    layer.isStroke = true;
    layer.stroke = {lines_[i], std::move(strokes_[i])};
    shape_.layers.push_back(std::move(layer));
  }
  fillEdges_.clear();
  strokes_.clear();
  ++group_;
}

PreparedShape ShapeBuilder::finish(const swf::Rect& bounds) {
  finishGroup();
  shape_.bounds = bounds;
  return std::move(shape_);
}

}  // namespace render
