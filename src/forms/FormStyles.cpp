// Window styles from description flags, applied row by row in a fixed order, and the
// geometry rules of form placement.
#include "forms/FormStyles.h"

namespace lumo {

WindowStyles windowStylesFor(const StyleFlags& flags, bool popupFrame) {
  WindowStyles s{WS_CAPTION, 0};
  if (flags.minimiseBox) s.style |= WS_MINIMIZEBOX;
  if (flags.maximiseBox) s.style |= WS_MAXIMIZEBOX;
  if (flags.systemMenu) s.style |= WS_SYSMENU;
  if (popupFrame) s.style = WS_POPUP | WS_BORDER | WS_SYSMENU;
  switch (flags.border) {
    case BorderStyle::sizeable: s.style |= WS_THICKFRAME; break;
    case BorderStyle::tool: s.exStyle = WS_EX_TOOLWINDOW; break;
    case BorderStyle::sizeableTool:
      s.style |= WS_THICKFRAME;
      s.exStyle = WS_EX_TOOLWINDOW;
      break;
    case BorderStyle::dialog: s.style = popupFrame ? (WS_POPUP | WS_DLGFRAME) : (WS_CAPTION | WS_SYSMENU); break;
    case BorderStyle::noBorder: s.style = WS_POPUP; break;
    case BorderStyle::none:
    case BorderStyle::standard: break;
  }
  if (flags.alphaBlended) s.exStyle |= WS_EX_LAYERED;
  if (flags.shaped) s.style = WS_POPUP;
  if (flags.startMinimised) s.style |= WS_MINIMIZE;
  if (flags.startMaximised) s.style |= WS_MAXIMIZE;
  if (flags.visibleAtStart) s.style |= WS_VISIBLE;
  s.style |= WS_CLIPCHILDREN;
  return s;
}

BorderStyle borderFromDescription(int borderStyle) {
  static constexpr BorderStyle kBorders[] = {BorderStyle::standard, BorderStyle::sizeable,
                                             BorderStyle::tool,     BorderStyle::sizeableTool,
                                             BorderStyle::dialog,   BorderStyle::noBorder};
  return borderStyle >= 0 && borderStyle < 6 ? kBorders[borderStyle] : BorderStyle::none;
}

int valueInUnit(int value, int unit, int screen) {
  if (unit == 0) return value;
  if (unit != 1) return 0;
  // The factor is single precision, the product is not: 1024 x 50 percent gives 511.
  const double factor = static_cast<double>(0.01f);
  return static_cast<int>(static_cast<double>(screen) * factor * static_cast<double>(value));
}

}  // namespace lumo
