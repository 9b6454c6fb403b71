// The forms' environment, filled by the application object at start-up and read by every
// form; it is never destroyed, so that forms torn down at process exit can still read it.
#include "forms/FormEnvironment.h"

namespace lumo {

// Never destroyed, like the window map: forms may be torn down during static destruction.
FormEnvironment& FormEnvironment::instance() {
  static auto* environment = new FormEnvironment;
  return *environment;
}

}  // namespace lumo
