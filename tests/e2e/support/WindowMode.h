// How Wine's X11 driver treats the top-level windows of the projectors a test program starts.
//
// Without a window manager (Xvfb here) Wine waits up to two seconds for every managed window it
// hides, such as a message box once answered, because no manager ever confirms the withdrawal;
// a real desktop confirms at once. The project's Wine prefix therefore leaves windows unmanaged
// (scripts/lib/wine-prefix). Suites that click the shell's tray or rely on how a managed window
// maximizes or stacks ask for managed windows before their first projector, run alone (the
// driver reads the prefix-wide setting when a process starts, so the mode would reach programs
// running beside them) and give the default back when they end.
#pragma once

namespace lumo::e2e {

enum class WindowMode { managed, unmanaged };

void setProjectorWindowMode(WindowMode mode);

}  // namespace lumo::e2e
