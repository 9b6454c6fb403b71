// The few matrix operations drawing needs: concatenation, inversion, applying to a point.
#pragma once

#include <cmath>
#include <optional>

#include "../swf/SwfTypes.h"
#include "PreparedShape.h"

namespace render {

// outer after inner: a point goes through `inner` first.
inline swf::Matrix concat(const swf::Matrix& outer, const swf::Matrix& inner) {
  return {outer.a * inner.a + outer.c * inner.b,
          outer.b * inner.a + outer.d * inner.b,
          outer.a * inner.c + outer.c * inner.d,
          outer.b * inner.c + outer.d * inner.d,
          outer.a * inner.tx + outer.c * inner.ty + outer.tx,
          outer.b * inner.tx + outer.d * inner.ty + outer.ty};
}

inline std::optional<swf::Matrix> invert(const swf::Matrix& m) {
  const double det = m.a * m.d - m.b * m.c;
  if (!std::isfinite(det) || std::fabs(det) < 1e-12) return std::nullopt;
  const double inv = 1 / det;
  return swf::Matrix{m.d * inv, -m.b * inv, -m.c * inv, m.a * inv,
                     (m.c * m.ty - m.d * m.tx) * inv, (m.b * m.tx - m.a * m.ty) * inv};
}

inline Point apply(const swf::Matrix& m, Point p) {
  return {m.a * p.x + m.c * p.y + m.tx, m.b * p.x + m.d * p.y + m.ty};
}

}  // namespace render
