// Turns the syntax tree into one AVM1 action list for the target SWF version. Functions
// become DefineFunction2 with their parameters and locals in registers where the version has
// it and no inner function can see them, or DefineFunction otherwise.
#pragma once

#include "ActionBuffer.h"
#include "Ast.h"
#include "VersionRules.h"

namespace as2c {

Bytes generateCode(const Node& program, const VersionRules& rules);

}  // namespace as2c
