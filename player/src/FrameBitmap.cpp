// The frame's RGBA bytes turned into GDI's BGRA order row by row into a top-down DIB section;
// GdiAlphaBlend with AC_SRC_ALPHA takes them premultiplied, as the renderer leaves them.
#include "FrameBitmap.h"

#include <algorithm>

bool FrameBitmap::ensure(int width, int height) {
  if (pixels_ && width == width_ && height == height_) return true;
  selection_.reset();
  bitmap_.reset();
  pixels_ = nullptr;
  width_ = height_ = 0;
  if (width <= 0 || height <= 0) return false;
  if (!dc_) dc_.reset(CreateCompatibleDC(nullptr));
  if (!dc_) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down, as the frame's rows are
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap_ || !bits) return false;
  selection_.emplace(dc_.get(), bitmap_.get());
  pixels_ = static_cast<uint32_t*>(bits);
  width_ = width;
  height_ = height;
  return true;
}

bool FrameBitmap::assign(const render::Frame& frame) {
  return assign(frame, RECT{0, 0, static_cast<LONG>(frame.width), static_cast<LONG>(frame.height)});
}

bool FrameBitmap::assign(const render::Frame& frame, const RECT& area) {
  int w = static_cast<int>(frame.width), h = static_cast<int>(frame.height);
  if (frame.pixels.size() < static_cast<size_t>(w) * h) return false;
  bool fresh = !pixels_ || w != width_ || h != height_;
  if (!ensure(w, h)) return false;
  RECT copy = fresh ? RECT{0, 0, w, h} : area;
  copy.left = std::max<LONG>(copy.left, 0);
  copy.top = std::max<LONG>(copy.top, 0);
  copy.right = std::min<LONG>(copy.right, w);
  copy.bottom = std::min<LONG>(copy.bottom, h);
  GdiFlush();  // GDI may still be drawing from the section
  for (LONG y = copy.top; y < copy.bottom; ++y) {
    const uint32_t* from = frame.pixels.data() + static_cast<size_t>(y) * w;
    uint32_t* to = pixels_ + static_cast<size_t>(y) * w;
    for (LONG x = copy.left; x < copy.right; ++x) {
      uint32_t p = from[x];  // bytes R, G, B, A
      to[x] = (p & 0xFF00FF00u) | ((p & 0xFFu) << 16) | ((p >> 16) & 0xFFu);
    }
  }
  return true;
}

void FrameBitmap::draw(HDC dc, int x, int y, bool blend) const {
  if (!pixels_ || !dc) return;
  if (!blend) {
    BitBlt(dc, x, y, width_, height_, dc_.get(), 0, 0, SRCCOPY);
    return;
  }
  BLENDFUNCTION function{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  GdiAlphaBlend(dc, x, y, width_, height_, dc_.get(), 0, 0, width_, height_, function);
}

uint8_t FrameBitmap::alphaAt(int x, int y) const {
  if (!pixels_ || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  GdiFlush();
  return static_cast<uint8_t>(pixels_[static_cast<size_t>(y) * width_ + x] >> 24);
}
