// Clip layers as 8-bit coverage planes of the frame: the one being drawn (a union of its
// shapes' coverage) and the active ones, each already intersected with the one enclosing it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace render {

struct Box {  // pixels, half-open
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool empty() const { return x0 >= x1 || y0 >= y1; }
};

class MaskStack {
 public:
  void reset(int width, int height);
  void push();
  void activate();
  void pop();

  // The layer draws go into (nullptr when they go to the frame), and the active clip that
  // limits them (nullptr when nothing clips).
  struct Layer {
    std::vector<uint8_t> coverage;
    Box box;  // where coverage may be non-zero
    bool active = false;
  };
  Layer* building();
  const Layer* clip() const;

  // Adds a row of coverage to the building layer.
  void addCoverage(Layer& layer, int y, int x0, int count, const uint8_t* coverage);
  int width() const { return width_; }

 private:
  void clear(Layer& layer);

  std::vector<Layer> layers_;  // kept for reuse beyond depth_
  size_t depth_ = 0;
  int width_ = 0, height_ = 0;
};

}  // namespace render
