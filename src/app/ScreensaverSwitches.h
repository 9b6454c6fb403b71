// The switches Windows gives a screensaver on its command line: /s runs it, /p HWND shows a
// preview inside that window, /c asks for its settings.
#pragma once

#include <windows.h>

#include <string_view>

namespace lumo {

struct ScreensaverSwitches {
  enum class Action { Run, Preview, Configure };
  Action action = Action::Run;
  HWND window = nullptr;  // the preview parent of /p, or the owner /c names
};

// Reads the switches from a whole command line (program name first, as GetCommandLineW gives
// it). The letter may be any case and start with "/" or "-"; the window number follows after
// a colon or as the next argument. Anything else, or nothing, runs the screensaver.
ScreensaverSwitches parseScreensaverSwitches(std::wstring_view commandLine);

}  // namespace lumo
