// Window row r of a bottom-up section is memory row (height - 1 - r): an update rectangle maps to
// a band of memory rows counted from the bottom.
#include "host/FrameSurfaces.h"

#include <algorithm>
#include <cstring>

#include "host/AlphaRecovery.h"

namespace lumo {

HBITMAP FrameSurfaces::makeSection(HDC reference, int width, int height, uint32_t** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* memory = nullptr;
  HBITMAP section = CreateDIBSection(reference, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
  *bits = section ? static_cast<uint32_t*>(memory) : nullptr;
  return section;
}

bool FrameSurfaces::ensure(HDC reference, int width, int height) {
  if (width <= 0 || height <= 0) return false;
  if (ready() && width == width_ && height == height_) return true;
  reset();
  for (int s = kWhite; s <= kResult; ++s) {
    bitmaps_[s].reset(makeSection(reference, width, height, &pixels_[s]));
    if (!bitmaps_[s]) {
      reset();
      return false;
    }
  }
  width_ = width;
  height_ = height;
  return true;
}

void FrameSurfaces::reset() {
  for (int s = kWhite; s <= kResult; ++s) {
    bitmaps_[s].reset();
    pixels_[s] = nullptr;
  }
  width_ = height_ = 0;
}

void FrameSurfaces::compose(const RECT& update) {
  if (!ready()) return;
  GdiFlush();  // GDI may still hold drawing into the sections in its batch
  const LONG left = std::clamp<LONG>(update.left, 0, width_), right = std::clamp<LONG>(update.right, 0, width_);
  const LONG top = std::clamp<LONG>(update.top, 0, height_), bottom = std::clamp<LONG>(update.bottom, 0, height_);
  if (left >= right || top >= bottom) return;
  recoverAlphaRect(pixels_[kWhite], pixels_[kBlack], pixels_[kResult], static_cast<size_t>(width_),
                   static_cast<size_t>(height_ - bottom), static_cast<size_t>(height_ - top),
                   static_cast<size_t>(left), static_cast<size_t>(right));
}

HBITMAP FrameSurfaces::copyOfResult(HDC reference) const {
  if (!ready()) return nullptr;
  uint32_t* bits = nullptr;
  HBITMAP copy = makeSection(reference, width_, height_, &bits);
  if (copy) std::memcpy(bits, pixels_[kResult], static_cast<size_t>(width_) * height_ * sizeof(uint32_t));
  return copy;
}

}  // namespace lumo
