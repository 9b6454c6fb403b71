#include "DisplayModeList.h"

#include "CallBoundary.h"

namespace lumo {

DisplayModeList& DisplayModeList::instance() {
  static DisplayModeList list;
  return list;
}

void DisplayModeList::release() {
  directDraw7_.Reset();  // the newer interface first
  directDraw_.Reset();
  modes_.clear();
  modes_.shrink_to_fit();
  built_ = attempted_ = false;
}

void DisplayModeList::setMainWindow(HWND mainWindow) {
  release();
  mainWindow_ = mainWindow;
}

bool DisplayModeList::ensureBuilt() {
  if (!attempted_) {
    const HWND window = mainWindow_;
    built_ = build(window);
    attempted_ = true;
    if (!built_) modes_.clear();
  }
  return built_;
}

bool DisplayModeList::build(HWND mainWindow) {
  release();
  mainWindow_ = mainWindow;
  if (FAILED(DirectDrawCreate(nullptr, &directDraw_, nullptr))) return false;
  // ddraw.h declares no uuidof for IDirectDraw7, so the IID is named explicitly.
  if (FAILED(directDraw_->QueryInterface(IID_IDirectDraw7, reinterpret_cast<void**>(directDraw7_.ReleaseAndGetAddressOf())))) {
    return false;
  }
  if (FAILED(directDraw7_->EnumDisplayModes(DDEDM_REFRESHRATES, nullptr, this, &DisplayModeList::collect))) {
    return false;
  }
  return SUCCEEDED(directDraw7_->SetCooperativeLevel(nullptr, DDSCL_NORMAL));
}

HRESULT WINAPI DisplayModeList::collect(LPDDSURFACEDESC2 desc, LPVOID context) {
  return atBoundary("display mode enumeration", HRESULT{DDENUMRET_CANCEL}, [&]() -> HRESULT {
    const DisplayMode mode{desc->dwWidth, desc->dwHeight, desc->ddpfPixelFormat.dwRGBBitCount, desc->dwRefreshRate};
    if (mode.width >= 640 && mode.height >= 480 && mode.bitsPerPixel >= 16) {
      static_cast<DisplayModeList*>(context)->add(mode);
    }
    return DDENUMRET_OK;
  });
}

// A deeper mode of a size and rate already listed replaces the shallower entry, so each
// size and rate appears once at its best depth.
void DisplayModeList::add(const DisplayMode& mode) {
  for (DisplayMode& known : modes_) {
    if (known.width == mode.width && known.height == mode.height && known.refreshRate == mode.refreshRate) {
      if (mode.bitsPerPixel > known.bitsPerPixel) known.bitsPerPixel = mode.bitsPerPixel;
      return;
    }
  }
  modes_.push_back(mode);
}

}  // namespace lumo
