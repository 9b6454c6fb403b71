// Button: a button instance as scripts see it. enabled, useHandCursor and trackAsMenu act on
// the instance; the display properties come from its object as a clip's do.
#include "ButtonObject.h"
#include "PointerTracker.h"
#include "ClipStage.h"
#include "ScriptClasses.h"
#include "globals/Globals.h"

namespace clips {

namespace {

using avm1::Args;
using avm1::Machine;
using avm1::Value;

constexpr int32_t kDepthBias = 16384;

display::ButtonObject* buttonOf(const Value& v) {
  ClipObject* object = asClip(v);
  display::DisplayObject* d = object ? object->display() : nullptr;
  return d && d->kind() == display::ObjectKind::Button ? static_cast<display::ButtonObject*>(d) : nullptr;
}

}  // namespace

void installButtonClass(ClipStage& stage) {
  Machine& m = stage.machine();
  avm1::ObjectRef proto = m.newObject();
  avm1::defineClass(m, "Button", [](Machine&, const Value&, const Args&) { return Value(); }, proto);
  auto property = [&](const char* name, avm1::NativeFunction get, avm1::NativeFunction set) {
    proto->addProperty(m, name, m.newFunction(std::move(get)), m.newFunction(std::move(set)));
    if (avm1::Property* p = proto->findOwn(m, name)) p->flags |= avm1::kDontEnum;
  };
  property("enabled", [](Machine&, const Value& self, const Args&) {
    display::ButtonObject* b = buttonOf(self);
    return b ? Value(b->enabled()) : Value();
  }, [](Machine& mm, const Value& self, const Args& args) {
    if (display::ButtonObject* b = buttonOf(self)) b->setEnabled(mm.toBoolean(avm1::arg(args, 0)));
    return Value();
  });
  property("useHandCursor", [](Machine&, const Value& self, const Args&) {
    display::ButtonObject* b = buttonOf(self);
    return b ? Value(b->useHandCursor()) : Value();
  }, [](Machine& mm, const Value& self, const Args& args) {
    if (display::ButtonObject* b = buttonOf(self)) b->setUseHandCursor(mm.toBoolean(avm1::arg(args, 0)));
    return Value();
  });
  // Read from the button's definition; a script's value is kept as its own.
  property("trackAsMenu", [](Machine&, const Value& self, const Args&) {
    display::ButtonObject* b = buttonOf(self);
    if (!b) return Value();
    Value kept = self.object()->primitive;
    return kept.isUndefined() ? Value(b->trackAsMenu()) : kept;
  }, [](Machine& mm, const Value& self, const Args& args) {
    if (buttonOf(self)) self.object()->primitive = Value(mm.toBoolean(avm1::arg(args, 0)));
    return Value();
  });
  avm1::defineMethod(m, proto, "getDepth", [](Machine&, const Value& self, const Args&) {
    display::ButtonObject* b = buttonOf(self);
    return b ? Value(b->depth() - kDepthBias) : Value();
  });
}

// The handler of a button event (onPress, onRelease, ...) on the button's script object, run
// with the button as `this`.
void runButtonHandler(ClipStage& stage, const display::ButtonEvent& event) {
  const char* handler = nullptr;
  switch (event.condition) {
    case display::kRollOver: handler = "onRollOver"; break;
    case display::kRollOut: handler = "onRollOut"; break;
    case display::kPress: handler = "onPress"; break;
    case display::kRelease: handler = "onRelease"; break;
    case display::kDragOut: case display::kMenuDragOut: handler = "onDragOut"; break;
    case display::kDragOver: case display::kMenuDragOver: handler = "onDragOver"; break;
    case display::kReleaseOutside: handler = "onReleaseOutside"; break;
  }
  if (!handler || !event.button || !event.button->scriptLink) return;
  display::ButtonObject& button = *event.button;
  auto* object = dynamic_cast<ClipObject*>(button.scriptLink.get());
  if (!object || !object->display()) return;
  Machine& m = stage.machine();
  avm1::ObjectRef self = object->shared_from_this();
  m.runScript([&] {
    Value f = self->get(m, handler);
    if (f.isObject()) m.call(f, Value(self), {});
  });
}

}  // namespace clips
