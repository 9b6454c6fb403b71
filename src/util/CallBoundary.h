// Where the system or the player calls our code (window procedures, hooks, COM methods, thread
// entry points, timer callbacks) no C++ exception may pass: the caller cannot unwind it and the
// process would end. `atBoundary` runs the body there and turns an escaping exception into that
// call's failure value, noted for a debugger.
#pragma once

#include <windows.h>

#include <exception>
#include <string>
#include <type_traits>

#include "util/DebugOutput.h"

namespace lumo {

inline void noteEscapedException(const char* where, const char* what) noexcept {
  try {
    debugOutput((std::string("lumo: exception stopped at ") + where + ": " + what).c_str());
  } catch (...) {
    debugOutput("lumo: exception stopped at a boundary");
  }
}

// The body's result, or `failure` when the body throws.
template <typename Result, typename Body>
Result atBoundary(const char* where, Result failure, Body&& body) noexcept {
  try {
    return body();
  } catch (const std::exception& e) {
    noteEscapedException(where, e.what());
  } catch (...) {
    noteEscapedException(where, "not a std::exception");
  }
  return failure;
}

// For bodies that return nothing.
template <typename Body>
  requires std::is_void_v<std::invoke_result_t<Body>>
void atBoundary(const char* where, Body&& body) noexcept {
  try {
    body();
  } catch (const std::exception& e) {
    noteEscapedException(where, e.what());
  } catch (...) {
    noteEscapedException(where, "not a std::exception");
  }
}

}  // namespace lumo
