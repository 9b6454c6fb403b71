// How a form description's window settings become Win32 styles, and where a form goes on the
// screen: pure functions, so that tests can check them without windows.
#pragma once

#include <windows.h>

namespace lumo {

enum class BorderStyle { none, standard, sizeable, tool, sizeableTool, dialog, noBorder };

struct StyleFlags {
  bool minimiseBox = false;
  bool maximiseBox = false;
  bool systemMenu = false;
  bool visibleAtStart = false;
  bool alwaysOnTop = false;
  bool scaleEnabled = false;
  bool scaleShowAll = false;
  bool startMinimised = false;
  bool startMaximised = false;
  BorderStyle border = BorderStyle::none;
  bool alphaBlended = false;
  bool shaped = false;
  bool fixedSize = false;
};

struct WindowStyles {
  DWORD style = 0;
  DWORD exStyle = 0;
};

// Standard, alpha-blended and shaped forms; WS_CLIPCHILDREN is included.
WindowStyles windowStylesFor(const StyleFlags& flags, bool popupFrame);

// The border flag of a description's borderStyle 0..5 (none for other values).
BorderStyle borderFromDescription(int borderStyle);

// A position or size in a description's unit: 0 pixels, 1 percent of `screen` (the factor is
// the single-precision 0.01, the product truncated), anything else 0.
int valueInUnit(int value, int unit, int screen);

// The left (or top) edge of a centred window: both halves truncated.
inline int centredEdge(int screen, int size) { return screen / 2 - size / 2; }

}  // namespace lumo
