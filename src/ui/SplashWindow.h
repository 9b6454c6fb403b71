// The splash window: the project's picture, centred and topmost, shown for its display time
// while the main form is being made; start-up waits in show() until it has closed.
#pragma once

#include "UniqueHandle.h"

#include <windows.h>

#include <cstdint>
#include <vector>

namespace lumo {

class FormInterface;

class SplashWindow {
 public:
  struct Settings {
    int width = 0;
    int height = 0;
    DWORD displayTime = 0;  // milliseconds
  };

  SplashWindow() = default;
  SplashWindow(const SplashWindow&) = delete;
  SplashWindow& operator=(const SplashWindow&) = delete;
  ~SplashWindow() { destroy(); }

  // Shows `image` (a BMP file) centred on the screen over `parent` (may be null) and pumps
  // this thread's messages until the display time has passed. Returns at once when the window
  // cannot be made: start-up never waits for a splash that does not show.
  void show(HINSTANCE instance, const std::vector<std::uint8_t>& image, const Settings& settings, HWND parent);

  // The splash closes before the main form's movie exists, so its events wait here until that
  // movie can hear them; they are sent once.
  void deliverHeldEvents(FormInterface& mainForm);
  bool eventsHeld() const { return eventsHeld_; }

 private:
  bool create(HINSTANCE instance, const std::vector<std::uint8_t>& image, const Settings& settings, HWND parent,
              int x, int y);
  void tick();
  void paint(HWND window);
  void destroy();
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  UniqueGdiObject bitmap_;
  HWND window_ = nullptr;
  DWORD displayTime_ = 0;
  DWORD elapsed_ = 0;
  DWORD lastTick_ = 0;
  bool closed_ = false;
  bool eventsHeld_ = false;
};

}  // namespace lumo
