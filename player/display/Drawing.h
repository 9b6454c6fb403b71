// What a script draws into a clip with the drawing API: fills and lines in the order drawn,
// prepared as one shape for the renderer, with bounds and a hit test over the same paths.
#pragma once

#include <optional>
#include <vector>

#include "../render/PreparedShape.h"
#include "../swf/SwfTypes.h"

namespace display {

class Drawing {
 public:
  // One step of a path, as the script called it (points in twips).
  struct Step {
    enum Kind : uint8_t { Move, Line, Curve } kind;
    render::Point control, to;
  };

  // beginFill and friends (a style) or endFill (none): the open fill closes first.
  void setFill(std::optional<swf::FillStyle> style);
  // lineStyle: later segments take the new style (none: no line).
  void setLine(std::optional<swf::LineStyle> style);
  // Points in twips of the clip's own space.
  void moveTo(render::Point to);
  void lineTo(render::Point to);
  void curveTo(render::Point control, render::Point to);
  void clear();

  bool empty() const { return empty_; }
  // The paths drawn so far, an open fill closed and its lines above it; kept until a change.
  const render::PreparedShape& prepared() const;
  // The drawn area, half of each line's width around it; none while nothing is drawn.
  std::optional<swf::Rect> bounds() const;

 private:
  struct Stroke {
    swf::LineStyle style;
    std::vector<Step> steps;
  };
  struct Fill {
    swf::FillStyle style;
    std::vector<Step> steps;
  };
  struct Entry {  // one path in drawing order
    bool isFill = false;
    Fill fill;
    Stroke stroke;
  };

  void add(Step step);
  void closeFill();
  void grow(render::Point p, double halfWidth);
  void changed() { cached_.reset(); }

  std::vector<Entry> done_;
  std::optional<Fill> fill_;
  std::optional<Stroke> line_;
  std::vector<Stroke> waiting_;  // lines drawn inside the open fill: they go above it
  render::Point cursor_, fillStart_;
  bool empty_ = true;
  bool hasBounds_ = false;
  double xMin_ = 0, yMin_ = 0, xMax_ = 0, yMax_ = 0;
  mutable std::optional<render::PreparedShape> cached_;
};

}  // namespace display
