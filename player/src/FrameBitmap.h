// A rendered frame held as a 32-bit DIB section for GDI: premultiplied BGRA, drawn opaque with
// BitBlt or blended with its own per-pixel alpha, so a windowless container sees the movie's alpha.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "DeviceContext.h"
#include "Frame.h"
#include "UniqueHandle.h"

class FrameBitmap {
 public:
  // Copies the frame in (a new DIB only when the size changes); false when GDI has none to give.
  bool assign(const render::Frame& frame);
  // Only the rows and columns of `area` (frame pixels) are copied; the rest keeps the last frame.
  bool assign(const render::Frame& frame, const RECT& area);

  // Draws the whole frame with its top left at x, y.
  void draw(HDC dc, int x, int y, bool blend) const;
  // 0 outside the frame.
  uint8_t alphaAt(int x, int y) const;

  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return !pixels_; }

 private:
  bool ensure(int width, int height);

  int width_ = 0, height_ = 0;
  lumo::UniqueDc dc_;
  lumo::UniqueGdiObject bitmap_;
  uint32_t* pixels_ = nullptr;
  std::optional<lumo::ScopedSelect> selection_;
};
