// The fills of one style group painted as one layer: each pixel's coverage is shared out among
// the fills up to a whole, so two fills meeting on an edge add up to full cover (no seam), and
// the layer then goes over the frame once.
#pragma once

#include <cstdint>
#include <vector>

#include "Frame.h"
#include "MaskStack.h"

namespace render {

class FillGroup {
 public:
  void reset(int width, int height);
  // src: count premultiplied pixels, or nullptr for `color` everywhere.
  void add(int y, int x0, int count, const uint8_t* coverage, const uint32_t* src, uint32_t color);
  // Composites the layer over the frame and clears it.
  void compositeInto(Frame& frame);

 private:
  std::vector<uint32_t> color_;
  std::vector<uint8_t> used_;
  Box box_;
  int width_ = 0, height_ = 0;
};

}  // namespace render
