// Where the container or the system calls the player (its window procedure, its dispatch entry,
// the scripting calls that build text and containers) no C++ exception may pass: the caller
// cannot unwind it. `guardedCall` runs the body there and answers `failure` when it throws, noted
// for a debugger.
#pragma once

#include <windows.h>

#include <exception>

// Global, like the rest of the player.

template <typename Result, typename Body>
Result guardedCall(const char* where, Result failure, Body&& body) noexcept {
  try {
    return body();
  } catch (const std::exception& e) {
    OutputDebugStringA("lumo player: exception stopped at ");
    OutputDebugStringA(where);
    OutputDebugStringA(": ");
    OutputDebugStringA(e.what());
    OutputDebugStringA("\n");
  } catch (...) {
    OutputDebugStringA("lumo player: exception stopped at ");
    OutputDebugStringA(where);
    OutputDebugStringA("\n");
  }
  return failure;
}


