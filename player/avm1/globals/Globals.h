// The built-in classes and functions, one class a file; installGlobals (Globals.cpp) puts them
// on _global in the order their prototypes need.
#pragma once

#include "../Machine.h"

#include <string>

namespace avm1 {

// Adds a native method, hidden from enumeration as built-ins are.
void defineMethod(Machine& m, const ObjectRef& on, const std::string& name, NativeFunction f);
// A native constructor with a fresh prototype, put on _global.
ObjectRef defineClass(Machine& m, const std::string& name, NativeFunction ctor, ObjectRef proto);
Value arg(const Args& args, size_t i);


void installObjectClass(Machine& m);
void installFunctionClass(Machine& m);
void installArrayClass(Machine& m);
void installStringClass(Machine& m);
void installNumberClass(Machine& m);
void installBooleanClass(Machine& m);
void installMathClass(Machine& m);
void installSystemClass(Machine& m);
void installExternalInterfaceClass(Machine& m);
void installGlobalFunctions(Machine& m);
void installErrorClass(Machine& m);
void installAsBroadcasterClass(Machine& m);
void installSoundClass(Machine& m);
// The player's report that a Sound's voice ended: its onSoundComplete runs.
void soundCompleted(Machine& m, uint32_t voice);
// The player's report that a loadSound file arrived (or did not): the Sound gets its id3 and
// onID3, a streaming sound starts, starts asked for while it loaded play, then onLoad(success).
void soundLoaded(Machine& m, int sound, const LoadedSound& loaded);

}  // namespace avm1
