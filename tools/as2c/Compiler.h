// The whole pipeline for one source text: scan, parse, generate. Throws CompileError.
#pragma once

#include "ActionBuffer.h"

#include <string_view>

namespace as2c {

Bytes compileActions(std::string_view source, int version);

}  // namespace as2c
