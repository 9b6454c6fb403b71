// A scope chain link: with-blocks, function activations, the timeline and _global each add one.
#pragma once

#include "Value.h"

#include <memory>

namespace avm1 {

struct Scope {
  ObjectRef object;
  std::shared_ptr<Scope> parent;
  bool target = false;  // the timeline the code runs on: a new variable is made there
  bool local = false;   // a function's activation: its object is made when a local needs it
};
using ScopeRef = std::shared_ptr<Scope>;

}  // namespace avm1
