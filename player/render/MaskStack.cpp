// The mask stack: planes are reused from draw to draw and cleared only where they were drawn.
#include "MaskStack.h"

#include <algorithm>

namespace render {

void MaskStack::reset(int width, int height) {
  if (width != width_ || height != height_) {
    layers_.clear();
  } else {
    for (size_t i = 0; i < depth_; ++i) clear(layers_[i]);
  }
  width_ = width;
  height_ = height;
  depth_ = 0;
}

void MaskStack::clear(Layer& layer) {
  for (int y = layer.box.y0; y < layer.box.y1; ++y)
    std::fill_n(layer.coverage.begin() + size_t(y) * width_ + layer.box.x0, layer.box.x1 - layer.box.x0, 0);
  layer.box = {};
  layer.active = false;
}

void MaskStack::push() {
  if (depth_ == layers_.size()) layers_.emplace_back().coverage.assign(size_t(width_) * height_, 0);
  Layer& layer = layers_[depth_++];
  layer.box = {};
  layer.active = false;
}

MaskStack::Layer* MaskStack::building() {
  return depth_ && !layers_[depth_ - 1].active ? &layers_[depth_ - 1] : nullptr;
}

const MaskStack::Layer* MaskStack::clip() const {
  for (size_t i = depth_; i-- > 0;)
    if (layers_[i].active) return &layers_[i];
  return nullptr;
}

void MaskStack::addCoverage(Layer& layer, int y, int x0, int count, const uint8_t* coverage) {
  uint8_t* row = layer.coverage.data() + size_t(y) * width_ + x0;
  int first = count, last = -1;
  for (int i = 0; i < count; ++i) {
    const unsigned c = coverage[i];
    if (!c) continue;
    row[i] = uint8_t(std::min(255u, row[i] + c));  // added: fills meeting on an edge leave no seam
    first = std::min(first, i);
    last = i;
  }
  if (last < 0) return;
  Box& box = layer.box;
  if (box.empty()) box = {x0 + first, y, x0 + last + 1, y + 1};
  box = {std::min(box.x0, x0 + first), std::min(box.y0, y), std::max(box.x1, x0 + last + 1), std::max(box.y1, y + 1)};
}

void MaskStack::activate() {
  Layer* layer = building();
  if (!layer) return;
  const Layer* enclosing = clip();
  if (enclosing) {
    const Box& e = enclosing->box;
    Box& box = layer->box;
    for (int y = box.y0; y < box.y1; ++y) {
      uint8_t* row = layer->coverage.data() + size_t(y) * width_;
      const uint8_t* outer = enclosing->coverage.data() + size_t(y) * width_;
      const bool rowInside = y >= e.y0 && y < e.y1;
      for (int x = box.x0; x < box.x1; ++x)
        row[x] = rowInside && x >= e.x0 && x < e.x1 ? uint8_t((row[x] * outer[x] + 127) / 255) : 0;
    }
    box = {std::max(box.x0, e.x0), std::max(box.y0, e.y0), std::min(box.x1, e.x1), std::min(box.y1, e.y1)};
    if (box.empty()) box = {};
  }
  layer->active = true;
}

void MaskStack::pop() {
  if (!depth_) return;
  clear(layers_[--depth_]);
}

}  // namespace render
