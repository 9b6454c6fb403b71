// What an extension library includes: the module and method classes, the form interface and
// the two functions every ".vdd" exports; the library defines both of them.
#pragma once

#include "lumo/FormInterface.h"
#include "lumo/RuntimeModule.h"

// Plain C names, C calling convention: the runtime looks both up by these exact names.
#define LUMO_EXTENSION_EXPORT extern "C" __declspec(dllexport)

// How many plug-in modules the library has; -1 refuses the load.
LUMO_EXTENSION_EXPORT int GetNumPlugins();
// Plug-in module `index` (0 to count - 1). The library owns it and keeps it alive until it is
// unloaded; the runtime never destroys it.
LUMO_EXTENSION_EXPORT lumo::RuntimeModule* GetPluginInstance(int index);
