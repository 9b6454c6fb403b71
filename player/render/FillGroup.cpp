// The fill group's layer: premultiplied sums and the coverage already given out, per pixel.
#include "FillGroup.h"

#include <algorithm>

#include "Blend.h"

namespace render {

namespace {

// Per channel a + b, saturating at 255.
inline uint32_t addSaturated(uint32_t a, uint32_t b) {
  uint32_t rb = (a & 0x00FF00FFu) + (b & 0x00FF00FFu);
  uint32_t ga = ((a >> 8) & 0x00FF00FFu) + ((b >> 8) & 0x00FF00FFu);
  rb |= 0x01000100u - ((rb >> 8) & 0x00010001u);
  ga |= 0x01000100u - ((ga >> 8) & 0x00010001u);
  return (rb & 0x00FF00FFu) | ((ga & 0x00FF00FFu) << 8);
}

}  // namespace

void FillGroup::reset(int width, int height) {
  if (width != width_ || height != height_) {
    color_.assign(size_t(width) * height, 0);
    used_.assign(size_t(width) * height, 0);
    width_ = width;
    height_ = height;
  }
  box_ = {};
}

void FillGroup::add(int y, int x0, int count, const uint8_t* coverage, const uint32_t* src, uint32_t color) {
  uint32_t* out = color_.data() + size_t(y) * width_ + x0;
  uint8_t* used = used_.data() + size_t(y) * width_ + x0;
  int first = count, last = -1;
  for (int i = 0; i < count; ++i) {
    const uint32_t c = std::min<uint32_t>(coverage[i], 255u - used[i]);
    if (!c) continue;
    used[i] = uint8_t(used[i] + c);
    out[i] = addSaturated(out[i], scalePixel(src ? src[i] : color, c));
    first = std::min(first, i);
    last = i;
  }
  if (last < 0) return;
  const Box row{x0 + first, y, x0 + last + 1, y + 1};
  box_ = box_.empty() ? row
                      : Box{std::min(box_.x0, row.x0), std::min(box_.y0, row.y0), std::max(box_.x1, row.x1),
                            std::max(box_.y1, row.y1)};
}

void FillGroup::compositeInto(Frame& frame) {
  for (int y = box_.y0; y < box_.y1; ++y) {
    const size_t row = size_t(y) * width_;
    uint32_t* dst = frame.pixels.data() + row;
    for (int x = box_.x0; x < box_.x1; ++x) {
      if (used_[row + x]) dst[x] = over(color_[row + x], dst[x]);
      color_[row + x] = 0;
      used_[row + x] = 0;
    }
  }
  box_ = {};
}

}  // namespace render
