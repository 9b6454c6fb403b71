// The test's signal to a movie, carried by the test extension (vor.Extensions.One.signals): a
// message the test posts to the form's window, its wParam a number, sets the movie variable
// "signal" to that number. Nothing else sets it, so a movie that waits for its Nth hit
// (`watch signal`, `wait-for signal N`) goes on exactly when the test is done with a phase.
#pragma once

#include <windows.h>

namespace lumo::test {

inline constexpr UINT kSignalMessage = WM_APP + 0x5A;
inline constexpr wchar_t kSignalVariable[] = L"signal";

}  // namespace lumo::test
