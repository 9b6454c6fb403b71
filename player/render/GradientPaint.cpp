// Gradients: the colour table (RGB or linear-RGB interpolation) and the per-pixel position in
// the gradient square, linear, radial or focal, with pad, reflect or repeat beyond its ends.
#include <cmath>

#include "ColorMath.h"
#include "MatrixMath.h"
#include "Paint.h"

namespace render {

namespace {

double toLinear(uint8_t v) {
  const double c = v / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
uint8_t fromLinear(double c) {
  c = std::clamp(c, 0.0, 1.0);
  const double s = c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
  return uint8_t(std::lround(s * 255));
}

swf::Rgba mix(const swf::Rgba& a, const swf::Rgba& b, double t, bool linear) {
  auto channel = [&](uint8_t x, uint8_t y) {
    if (linear) return fromLinear(toLinear(x) + (toLinear(y) - toLinear(x)) * t);
    return uint8_t(std::lround(x + (y - x) * t));
  };
  return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b),
          uint8_t(std::lround(a.a + (b.a - a.a) * t))};
}

// Where t (in gradient units, 0..1 between the ends) falls once spread beyond them.
inline int tableIndex(double t, swf::SpreadMode spread) {
  if (spread == swf::SpreadMode::Repeat) {
    t -= std::floor(t);
  } else if (spread == swf::SpreadMode::Reflect) {
    t = std::fabs(t);
    t -= 2 * std::floor(t * 0.5);
    if (t > 1) t = 2 - t;
  } else {
    t = std::clamp(t, 0.0, 1.0);
  }
  return int(t * 255 + 0.5);
}

}  // namespace

void buildGradientTable(const swf::Gradient& gradient, const swf::ColorTransform& colorTransform,
                        std::array<uint32_t, 256>& table) {
  const auto& stops = gradient.stops;
  if (stops.empty()) {
    table.fill(0);
    return;
  }
  const bool linear = gradient.interpolation == swf::Interpolation::LinearRgb;
  size_t next = 0;  // the first stop whose ratio is at or past i
  for (int i = 0; i < 256; ++i) {
    while (next < stops.size() && stops[next].ratio < i) ++next;
    swf::Rgba color;
    if (next == 0) {
      color = stops.front().color;
    } else if (next == stops.size()) {
      color = stops.back().color;
    } else {
      const swf::GradientStop& a = stops[next - 1];
      const swf::GradientStop& b = stops[next];
      const double span = b.ratio - a.ratio;
      color = span > 0 ? mix(a.color, b.color, (i - a.ratio) / span, linear) : b.color;
    }
    table[i] = premultiply(transformColor(color, colorTransform));
  }
}

bool GradientPaint::set(const swf::FillKind kind, const swf::Gradient& gradient, const swf::Matrix& toPixels,
                        const swf::ColorTransform& colorTransform) {
  const std::optional<swf::Matrix> inverse = invert(concat(toPixels, gradient.matrix));
  if (!inverse) return false;
  constexpr double unit = 1.0 / 16384;
  fromPixels_ = concat(swf::Matrix{unit, 0, 0, unit, 0, 0}, *inverse);
  kind_ = kind;
  spread_ = gradient.spread;
  focal_ = kind == swf::FillKind::FocalGradient ? std::clamp(gradient.focalPoint, -0.999, 0.999) : 0;
  buildGradientTable(gradient, colorTransform, table_);
  return true;
}

void GradientPaint::paintRow(int y, int x, int count, uint32_t* out) const {
  const swf::Matrix& m = fromPixels_;
  double gx = m.a * (x + 0.5) + m.c * (y + 0.5) + m.tx;
  double gy = m.b * (x + 0.5) + m.d * (y + 0.5) + m.ty;
  const swf::SpreadMode spreadMode = spread_;
  if (kind_ == swf::FillKind::LinearGradient) {
    for (int i = 0; i < count; ++i, gx += m.a)
      out[i] = table_[tableIndex((gx + 1) * 0.5, spreadMode)];
  } else if (kind_ == swf::FillKind::RadialGradient) {
    for (int i = 0; i < count; ++i, gx += m.a, gy += m.b)
      out[i] = table_[tableIndex(std::sqrt(gx * gx + gy * gy), spreadMode)];
  } else {
    // The ray from the focal point through the pixel meets the unit circle at t = 1.
    const double f = focal_, k = 1 - f * f;
    for (int i = 0; i < count; ++i, gx += m.a, gy += m.b) {
      const double dx = gx - f, dy = gy, dd = dx * dx + dy * dy, fd = f * dx;
      const double denominator = -fd + std::sqrt(fd * fd + dd * k);
      out[i] = table_[tableIndex(denominator > 0 ? dd / denominator : 0, spreadMode)];
    }
  }
}

}  // namespace render
