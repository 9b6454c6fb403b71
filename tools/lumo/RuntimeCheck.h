// Whether a file given as the runtime is one: a Windows program for x86 or x86-64 that carries
// our player, bridge and lock resources and no project record yet.
#pragma once

#include "FileBytes.h"

#include <optional>
#include <string>

namespace lumo::builder {

// Why `runtime` cannot be the base of a projector (text that follows the file's name); nullopt
// when it can.
std::optional<std::string> checkRuntime(const Bytes& runtime);

}  // namespace lumo::builder
