// System.capabilities as a Windows player reports them.
#include "Globals.h"

namespace avm1 {

void installSystemClass(Machine& m) {
  ObjectRef system = m.newObject();
  ObjectRef capabilities = m.newObject();
  m.global()->define(m, "System", Value(system), kDontEnum);
  system->define(m, "capabilities", Value(capabilities), kDontEnum);
  capabilities->define(m, "os", Value("Windows XP"));
  capabilities->define(m, "version", Value("WIN 8,0,0,0"));
  capabilities->define(m, "playerType", Value("ActiveX"));
  capabilities->define(m, "manufacturer", Value("Adobe Windows"));
  capabilities->define(m, "language", Value("en"));
}

}  // namespace avm1
