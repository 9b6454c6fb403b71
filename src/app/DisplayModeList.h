// The display modes the machine offers (at least 640x480 at 16 bits), collected through
// DirectDraw for the commands that switch the screen mode. Start-up only names the main window;
// the list is built when it is first asked for (DirectDraw costs a third of a second and tens of
// megabytes that a projector which never asks should not pay).
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

  // Start-up's part: the window the list is for; nothing is enumerated yet.
  void setMainWindow(HWND mainWindow);
  // Builds the list on first use; false (and no modes) when DirectDraw cannot give it.
  bool ensureBuilt();
  bool built() const { return built_; }

  const std::vector<DisplayMode>& modes() {
    ensureBuilt();
    return modes_;
  }
  HWND mainWindow() const { return mainWindow_; }

 private:
  static HRESULT WINAPI collect(LPDDSURFACEDESC2 desc, LPVOID context);
  void add(const DisplayMode& mode);

  Microsoft::WRL::ComPtr<IDirectDraw> directDraw_;
  Microsoft::WRL::ComPtr<IDirectDraw7> directDraw7_;
  HWND mainWindow_ = nullptr;
  bool built_ = false;
  bool attempted_ = false;
  std::vector<DisplayMode> modes_;
};

}  // namespace lumo
