// The paints a fill can have: one colour, a gradient through its lookup table, or a bitmap,
// each already through the colour transform, producing premultiplied rows for the compositor.
#pragma once

#include <array>
#include <cstdint>

#include "../swf/SwfTypes.h"

namespace render {

class Paint {
 public:
  virtual ~Paint() = default;
  // Pixels x..x+count-1 of row y (sampled at their centres), premultiplied.
  virtual void paintRow(int y, int x, int count, uint32_t* out) const = 0;
};

class GradientPaint final : public Paint {
 public:
  // False when the gradient cannot be drawn (its matrix flattens it).
  bool set(const swf::FillKind kind, const swf::Gradient& gradient, const swf::Matrix& toPixels,
           const swf::ColorTransform& colorTransform);
  void paintRow(int y, int x, int count, uint32_t* out) const override;
  const std::array<uint32_t, 256>& table() const { return table_; }

 private:
  swf::FillKind kind_ = swf::FillKind::LinearGradient;
  swf::SpreadMode spread_ = swf::SpreadMode::Pad;
  swf::Matrix fromPixels_;  // frame pixels to the gradient square scaled to -1..1
  double focal_ = 0;
  std::array<uint32_t, 256> table_{};
};

class BitmapPaint final : public Paint {
 public:
  bool set(const swf::Bitmap& bitmap, const swf::Matrix& toPixels, bool repeat, bool smooth,
           const swf::ColorTransform& colorTransform);
  void paintRow(int y, int x, int count, uint32_t* out) const override;

 private:
  template <bool Repeat>
  void sampleNearest(double u, double v, double du, double dv, int count, uint32_t* out) const;
  template <bool Repeat>
  void sampleBilinear(double u, double v, double du, double dv, int count, uint32_t* out) const;

  const swf::Bitmap* bitmap_ = nullptr;
  swf::Matrix fromPixels_;
  bool repeat_ = false, smooth_ = false;
  swf::ColorTransform colorTransform_;
};

// The 256-entry table of a gradient's colours, through the colour transform, premultiplied.
void buildGradientTable(const swf::Gradient& gradient, const swf::ColorTransform& colorTransform,
                        std::array<uint32_t, 256>& table);

}  // namespace render
