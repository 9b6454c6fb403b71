// Drawing the stage with GDI: the background and opaque shapes by FillRect, partly transparent
// shapes by GdiAlphaBlend with a constant alpha, the caption as transparent-background text.
#include "Stage.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "DeviceContext.h"
#include "StageMapping.h"
#include "UniqueHandle.h"

namespace {

COLORREF fromRgb(long rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// One 32-bit pixel DIB selected into a memory DC, for blending and hit tests.
struct PixelSurface {
  lumo::UniqueDc dc;
  lumo::UniqueGdiObject bitmap;
  uint32_t* pixels = nullptr;
  std::optional<lumo::ScopedSelect> selection;

  PixelSurface(HDC reference, int w, int h) : dc(CreateCompatibleDC(reference)) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap.reset(CreateDIBSection(dc.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    pixels = static_cast<uint32_t*>(bits);
    if (dc && bitmap) selection.emplace(dc.get(), bitmap.get());
  }
  bool ok() const { return pixels != nullptr && selection && *selection; }
};

}  // namespace

void Stage::reset(int width, int height, long background, std::wstring caption) {
  width_ = width;
  height_ = height;
  background_ = background;
  caption_ = std::move(caption);
  shapes_.clear();
}

long Stage::background(const StageLayout& layout) const {
  return layout.backgroundOverride >= 0 ? layout.backgroundOverride : background_;
}

RECT Stage::Mapping::toDevice(const RECT& r) const {
  return RECT{static_cast<LONG>(std::lround(ox + r.left * sx)), static_cast<LONG>(std::lround(oy + r.top * sy)),
              static_cast<LONG>(std::lround(ox + r.right * sx)), static_cast<LONG>(std::lround(oy + r.bottom * sy))};
}

Stage::Mapping Stage::map(const RECT& bounds, const StageLayout& layout) const {
  StageMapping m = mapStage(width_, height_, bounds.left, bounds.top, bounds.right - bounds.left,
                            bounds.bottom - bounds.top, layout.scaleMode, layout.alignMode);
  return Mapping{m.sx, m.sy, m.ox, m.oy};
}

void Stage::draw(HDC dc, const RECT& bounds, const StageLayout& layout) const {
  if (!layout.transparent) {
    lumo::UniqueGdiObject brush(CreateSolidBrush(fromRgb(background(layout))));
    FillRect(dc, &bounds, static_cast<HBRUSH>(brush.get()));
  }
  Mapping m = map(bounds, layout);
  int saved = SaveDC(dc);
  IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
  for (const Shape& s : shapes_) {
    RECT r = m.toDevice(s.rect);
    if (r.right <= r.left || r.bottom <= r.top || s.alpha == 0) continue;
    if (s.alpha == 255) {
      lumo::UniqueGdiObject brush(CreateSolidBrush(s.color));
      FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
      continue;
    }
    PixelSurface source(dc, 1, 1);
    if (!source.ok()) continue;
    source.pixels[0] = (GetRValue(s.color) << 16) | (GetGValue(s.color) << 8) | GetBValue(s.color);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, s.alpha, 0};
    GdiAlphaBlend(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, source.dc.get(), 0, 0, 1, 1, blend);
  }
  if (layout.caption && !caption_.empty()) {
    long bg = background(layout);
    int luminance = ((bg >> 16) & 0xFF) * 3 + ((bg >> 8) & 0xFF) * 6 + (bg & 0xFF);
    SetTextColor(dc, luminance > 1280 ? RGB(0, 0, 0) : RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    lumo::ScopedSelect font(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT origin = m.toDevice(RECT{4, 2, 4, 2});
    TextOutW(dc, origin.left, origin.top, caption_.c_str(), static_cast<int>(caption_.size()));
  }
  RestoreDC(dc, saved);
}

bool Stage::hit(const RECT& bounds, POINT point, const StageLayout& layout) const {
  if (!PtInRect(&bounds, point)) return false;
  if (!layout.transparent) return true;
  // Honest about what is painted: draw the stage around the point on white and on black; a
  // pixel left as it was on both is a transparent one.
  lumo::WindowDc screen(nullptr);
  PixelSurface white(screen.get(), 1, 1), black(screen.get(), 1, 1);
  if (!white.ok() || !black.ok()) return false;
  RECT shifted = bounds;
  OffsetRect(&shifted, -point.x, -point.y);
  white.pixels[0] = 0x00FFFFFF;
  black.pixels[0] = 0;
  draw(white.dc.get(), shifted, layout);
  draw(black.dc.get(), shifted, layout);
  GdiFlush();
  return (white.pixels[0] & 0xFFFFFF) != 0xFFFFFF || (black.pixels[0] & 0xFFFFFF) != 0;
}
