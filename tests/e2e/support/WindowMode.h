// How Wine's X11 driver treats the top-level windows of the projectors a test program starts.
//
// Without a window manager (Xvfb here) Wine waits up to two seconds for every managed window it
// hides, such as a message box once answered, because no manager ever confirms the withdrawal;
// a real desktop confirms at once. Suites that neither click the shell's tray nor rely on how a
// managed window maximizes or stacks run their projectors unmanaged and skip that wait. The
// driver reads the setting when a process starts, so every test program states its mode before
// its first projector, and a mode never leaks from one program into the next.
#pragma once

namespace lumo::e2e {

enum class WindowMode { managed, unmanaged };

void setProjectorWindowMode(WindowMode mode);

}  // namespace lumo::e2e
