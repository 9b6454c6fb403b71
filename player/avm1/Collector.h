// The cycle collector: objects hold each other by counted references, so a cycle (a closure
// kept on the object its scope holds, a prototype pointing back at its constructor) outlives
// the script. Run between frames, it frees the objects only such cycles keep alive.
#pragma once

#include <cstddef>

namespace avm1 {

class Collector {
 public:
  // Frees unreachable cycles among this thread's objects; returns how many objects it freed.
  static size_t collect();
  // Whether enough objects were made since the last collection for one to pay.
  static bool due();
};

}  // namespace avm1
