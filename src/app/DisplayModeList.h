// The display modes the machine offers (at least 640x480 at 16 bits), collected through
// DirectDraw at start-up for the commands that switch the screen mode.
#pragma once

#include <windows.h>
#include <ddraw.h>
#include <wrl/client.h>

#include <vector>

namespace lumo {

struct DisplayMode {
  DWORD width = 0;
  DWORD height = 0;
  DWORD bitsPerPixel = 0;
  DWORD refreshRate = 0;
};

class DisplayModeList {
 public:
  static DisplayModeList& instance();

  // Releases what an earlier build held, then enumerates the modes for `mainWindow`.
  bool build(HWND mainWindow);
  void release();

  const std::vector<DisplayMode>& modes() const { return modes_; }
  HWND mainWindow() const { return mainWindow_; }

 private:
  static HRESULT WINAPI collect(LPDDSURFACEDESC2 desc, LPVOID context);
  void add(const DisplayMode& mode);

  Microsoft::WRL::ComPtr<IDirectDraw> directDraw_;
  Microsoft::WRL::ComPtr<IDirectDraw7> directDraw7_;
  HWND mainWindow_ = nullptr;
  std::vector<DisplayMode> modes_;
};

}  // namespace lumo
