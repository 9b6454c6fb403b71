// What an extension library includes: the module and method classes, the form interface, and
// the two exports every library defines.
//
//   LUMO_EXTENSION_EXPORT int GetNumPlugins();
//   LUMO_EXTENSION_EXPORT lumo::RuntimeModule* GetPluginInstance(int index);
#pragma once

#include "lumo/FormInterface.h"
#include "lumo/RuntimeModule.h"

// Plain C names, exported undecorated on both architectures, C calling convention.
#define LUMO_EXTENSION_EXPORT extern "C" __declspec(dllexport)
