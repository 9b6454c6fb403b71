// The three 32-bit bottom-up DIB sections a windowless transparent control renders into: the pass
// over white, the pass over black and the composed result, made for one client size and remade
// only when that size changes.
#pragma once

#include <windows.h>

#include <cstdint>

#include "UniqueHandle.h"

namespace lumo {

class FrameSurfaces {
 public:
  enum Surface { kWhite = 0, kBlack = 1, kResult = 2 };

  // Makes the sections for `width` x `height` unless they already have that size; false when a
  // section cannot be made (the old ones are gone then).
  bool ensure(HDC reference, int width, int height);
  void reset();

  bool ready() const { return pixels_[kResult] != nullptr; }
  int width() const { return width_; }
  int height() const { return height_; }
  HBITMAP bitmap(Surface s) const { return static_cast<HBITMAP>(bitmaps_[s].get()); }
  uint32_t* pixels(Surface s) const { return pixels_[s]; }

  // Composes the result over `update` (client coordinates, clipped to the surfaces): alpha from
  // the two passes, colour from the black one; pixels outside keep their earlier values.
  void compose(const RECT& update);

  // A new DIB section holding a copy of the result, for a caller that takes ownership.
  HBITMAP copyOfResult(HDC reference) const;

  // A 32-bit bottom-up DIB section of the size; `bits` receives its pixels.
  static HBITMAP makeSection(HDC reference, int width, int height, uint32_t** bits);

 private:
  UniqueGdiObject bitmaps_[3];
  uint32_t* pixels_[3] = {nullptr, nullptr, nullptr};
  int width_ = 0;
  int height_ = 0;
};

}  // namespace lumo
