// Collects a shape's edges in absolute coordinates, per fill and line style and style group,
// and joins them into the contours a PreparedShape holds. Shapes and morphs both feed it.
#pragma once

#include <optional>
#include <vector>

#include "PreparedShape.h"

namespace render {

class ShapeBuilder {
 public:
  explicit ShapeBuilder(FillRule fillRule);

  // A new style list: what came before is finished as its own group, drawn beneath.
  void newStyles(std::vector<swf::FillStyle> fills, std::vector<swf::LineStyle> lines);
  void setFill0(uint32_t index) { fill0_ = index; }
  void setFill1(uint32_t index) { fill1_ = index; }
  void setLine(uint32_t index);
  void moveTo(Point to);
  void lineTo(Point to);
  void curveTo(Point control, Point to);

  PreparedShape finish(const swf::Rect& bounds);

 private:
  struct Edge {
    Point from, control, to;
    bool isCurve = false;
  };
  void addEdge(const Edge& edge);
  void finishGroup();
  void endStroke();

  PreparedShape shape_;
  std::vector<swf::FillStyle> fills_;
  std::vector<swf::LineStyle> lines_;
  std::vector<std::vector<Edge>> fillEdges_;  // per fill style of the group
  std::vector<Path> strokes_;                 // per line style of the group
  std::optional<Contour> stroke_;             // the stroke being drawn with line_
  uint32_t fill0_ = 0, fill1_ = 0, line_ = 0;
  uint32_t group_ = 0;
  Point pen_;
};

}  // namespace render
