// The process-wide map from an intercepted player window to the form that owns it. Changed
// and read on the main thread only.
#pragma once

#include <windows.h>

namespace lumo {

class Form;

namespace windowMap {
void add(HWND window, Form* form);
void remove(HWND window);
Form* find(HWND window);
}  // namespace windowMap

}  // namespace lumo
