// Regions from pictures: runs of inside pixels, row by row, added to the region in chunks
// of rectangles.
#include "forms/MaskRegion.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "DeviceContext.h"

namespace lumo {
namespace {

constexpr size_t kChunk = 100;

// Adds the collected rectangles to `region` (made on first use) and empties the list.
void flush(std::vector<RECT>& rects, HRGN& region) {
  if (rects.empty()) return;
  std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
  header->dwSize = sizeof(RGNDATAHEADER);
  header->iType = RDH_RECTANGLES;
  header->nCount = static_cast<DWORD>(rects.size());
  header->nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  header->rcBound = {LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
  for (const RECT& r : rects) {
    header->rcBound.left = std::min(header->rcBound.left, r.left);
    header->rcBound.top = std::min(header->rcBound.top, r.top);
    header->rcBound.right = std::max(header->rcBound.right, r.right);
    header->rcBound.bottom = std::max(header->rcBound.bottom, r.bottom);
  }
  std::memcpy(data.data() + sizeof(RGNDATAHEADER), rects.data(), rects.size() * sizeof(RECT));
  HRGN chunk = ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
  if (chunk) {
    if (!region) {
      region = chunk;
    } else {
      CombineRgn(region, region, chunk, RGN_OR);
      DeleteObject(chunk);
    }
  }
  rects.clear();
}

// True when the header, its colour table and the pixels it claims all lie inside the file:
// GDI reads as many pixels as the header says, whatever the file holds.
bool pixelsFitInFile(const BITMAPINFOHEADER& header, size_t headerRoom, size_t pixelRoom) {
  if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > headerRoom || header.biWidth <= 0 ||
      header.biHeight == 0 || header.biHeight == LONG_MIN || header.biPlanes != 1)
    return false;
  const uint64_t colours = header.biClrUsed ? header.biClrUsed : (header.biBitCount <= 8 ? 1u << header.biBitCount : 0);
  const uint64_t masks = header.biCompression == BI_BITFIELDS && header.biSize == sizeof(BITMAPINFOHEADER) ? 3 : 0;
  if (header.biSize + (colours + masks) * sizeof(RGBQUAD) > headerRoom) return false;
  if (header.biCompression == BI_RLE8 || header.biCompression == BI_RLE4) return header.biSizeImage <= pixelRoom;
  const uint64_t stride = (static_cast<uint64_t>(header.biWidth) * header.biBitCount + 31) / 32 * 4;
  const uint64_t rows = header.biHeight < 0 ? -static_cast<int64_t>(header.biHeight) : header.biHeight;
  return header.biBitCount != 0 && stride * rows <= pixelRoom;
}

}  // namespace

HBITMAP bitmapFromFileBytes(const std::vector<uint8_t>& file) {
  if (file.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) || file[0] != 'B' || file[1] != 'M')
    return nullptr;
  BITMAPFILEHEADER fileHeader;
  std::memcpy(&fileHeader, file.data(), sizeof(fileHeader));
  if (fileHeader.bfOffBits >= file.size()) return nullptr;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(file.data() + sizeof(BITMAPFILEHEADER));
  if (!pixelsFitInFile(info->bmiHeader, file.size() - sizeof(BITMAPFILEHEADER), file.size() - fileHeader.bfOffBits))
    return nullptr;
  WindowDc screen(nullptr);
  return CreateDIBitmap(screen.get(), &info->bmiHeader, CBM_INIT, file.data() + fileHeader.bfOffBits, info,
                        DIB_RGB_COLORS);
}

HRGN regionFromBitmap(HBITMAP bitmap, const std::function<bool(uint32_t)>& inside) {
  BITMAP bm{};
  if (!bitmap || !GetObjectW(bitmap, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = bm.bmWidth;
  info.bmiHeader.biHeight = -bm.bmHeight;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> pixels(static_cast<size_t>(bm.bmWidth) * static_cast<size_t>(bm.bmHeight));
  const int rows = GetDIBits(WindowDc(nullptr).get(), bitmap, 0, static_cast<UINT>(bm.bmHeight), pixels.data(), &info,
                             DIB_RGB_COLORS);
  if (rows != bm.bmHeight) return nullptr;

  HRGN region = nullptr;
  std::vector<RECT> rects;
  rects.reserve(kChunk);
  for (LONG y = 0; y < bm.bmHeight; ++y) {
    const uint32_t* row = pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(bm.bmWidth);
    for (LONG x = 0; x < bm.bmWidth;) {
      if (!inside(row[x] & 0xFFFFFF)) {
        ++x;
        continue;
      }
      const LONG start = x;
      while (x < bm.bmWidth && inside(row[x] & 0xFFFFFF)) ++x;
      rects.push_back({start, y, x, y + 1});
      if (rects.size() == kChunk) flush(rects, region);
    }
  }
  flush(rects, region);
  // An all-outside picture gives an empty region: the window exists but shows nothing.
  return region ? region : CreateRectRgn(0, 0, 0, 0);
}

}  // namespace lumo
