// The forms' diagnostic lines ("setfocus main form %d" and the like) on the debugger output.
#pragma once

#include <windows.h>

#include <cstdio>

#include "util/DebugOutput.h"

namespace lumo {

inline void debugLine(const char* format, int id) {
  if (!debugOutputListened()) return;
  char line[64];
  std::snprintf(line, sizeof(line), format, id);
  OutputDebugStringA(line);
}

}  // namespace lumo
