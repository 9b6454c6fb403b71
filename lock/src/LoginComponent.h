// The login-screen component's state. The secure attention sequence (Ctrl+Alt+Del) is
// handled by the system below user mode and cannot be intercepted by a library like this one:
// "installing" the component records that the kiosk asked for it, in the library's settings
// ("settings.ini" in its data folder), so that wlIsGinaInstalled answers honestly and the
// Ctrl+Alt+Del key block then works as far as user mode allows (the key events, not the
// sequence itself).
#pragma once

#include <windows.h>

namespace lumolock {

bool loginComponentInstalled();
// Records the component as installed, with the caller's tag and the folder it was installed
// from (the current working directory, where the caller put the component's files).
bool installLoginComponent(UINT tag);
bool uninstallLoginComponent(UINT tag);

}  // namespace lumolock
