// MovieClip.prototype's methods: timeline control, making and removing clips, depths,
// bounds and coordinates, hit tests; and Object.registerClass, which binds classes to symbols.
#include <cmath>
#include <limits>

#include "ClipGeometry.h"
#include "ClipStage.h"
#include "HitTest.h"
#include "SpriteObject.h"
#include "Transform.h"

namespace clips {

namespace {

using avm1::Args;
using avm1::Machine;
using avm1::Value;

// Scripts see depths 16384 below the timeline's: timeline instances have negative ones.
constexpr int32_t kDepthBias = 16384;
constexpr int32_t kMaxScriptDepth = 2130690045;

Value arg(const Args& args, size_t i) { return i < args.size() ? args[i] : Value(); }

display::SpriteObject* spriteOf(const Value& self) {
  ClipObject* clip = asClip(self);
  return clip ? clip->sprite() : nullptr;
}

using Method = Value (*)(ClipStage&, Machine&, ClipObject&, display::SpriteObject&, const Args&);

Value play(ClipStage&, Machine&, ClipObject&, display::SpriteObject& s, const Args&) { s.play(); return Value(); }
Value stop(ClipStage&, Machine&, ClipObject&, display::SpriteObject& s, const Args&) { s.stop(); return Value(); }
Value nextFrame(ClipStage&, Machine&, ClipObject&, display::SpriteObject& s, const Args&) { s.nextFrame(); return Value(); }
Value prevFrame(ClipStage&, Machine&, ClipObject&, display::SpriteObject& s, const Args&) { s.prevFrame(); return Value(); }
Value gotoAndPlay(ClipStage& stage, Machine& m, ClipObject& c, display::SpriteObject&, const Args& args) {
  if (!args.empty()) stage.gotoFrame(m, c.shared_from_this(), args[0], true);
  return Value();
}
Value gotoAndStop(ClipStage& stage, Machine& m, ClipObject& c, display::SpriteObject&, const Args& args) {
  if (!args.empty()) stage.gotoFrame(m, c.shared_from_this(), args[0], false);
  return Value();
}
Value getDepth(ClipStage&, Machine&, ClipObject& c, display::SpriteObject&, const Args&) {
  return Value(c.display()->depth() - kDepthBias);
}

// The copy's init object: its properties are set on the new clip, the last written first.
void initialize(Machine& m, const avm1::ObjectRef& clip, const Value& init) {
  if (!init.isObject()) return;
  for (avm1::Property* p : init.object()->ownProperties())
    if (!(p->flags & avm1::kDontEnum)) clip->set(m, p->name, init.object()->get(m, p->name));
}

Value attached(ClipStage& stage, display::DisplayObject* object) {
  if (!object) return Value();
  avm1::ObjectRef clip = scriptObjectOf(stage, *object);
  return clip ? Value(clip) : Value();
}

bool scriptDepth(Machine& m, const Value& v, int32_t* depth) {
  double d = m.toNumber(v);
  if (std::isnan(d)) return false;
  *depth = static_cast<int32_t>(std::clamp(d, -16384.0, double(kMaxScriptDepth))) + kDepthBias;
  return true;
}

Value createEmptyMovieClip(ClipStage& stage, Machine& m, ClipObject&, display::SpriteObject& s, const Args& args) {
  static const swf::Timeline empty{1, {swf::Frame{}}};
  int32_t depth;
  if (args.size() < 2 || !scriptDepth(m, args[1], &depth)) return Value();
  auto clip = std::make_shared<display::SpriteObject>(s.context(), empty, 0);
  s.context().addToExecution(clip);
  return attached(stage, s.attach(clip, depth, m.toString(args[0])));
}

Value attachMovie(ClipStage& stage, Machine& m, ClipObject&, display::SpriteObject& s, const Args& args) {
  int32_t depth;
  if (args.size() < 3 || !scriptDepth(m, args[2], &depth)) return Value();
  swf::CharacterId id = ClipStage::exported(s, m.toString(args[0]));  // the clip's own movie's exports
  if (!id) return Value();
  std::shared_ptr<display::DisplayObject> object = s.context().instantiate(id);
  if (!object || object->kind() != display::ObjectKind::Sprite) return Value();
  Value made = attached(stage, s.attach(object, depth, m.toString(args[1])));
  if (made.isObject()) initialize(m, made.object(), arg(args, 3));
  return made;
}

Value duplicateMovieClip(ClipStage& stage, Machine& m, ClipObject& c, display::SpriteObject& s, const Args& args) {
  display::SpriteObject* parent = c.display()->parent();
  int32_t depth;
  if (!parent || args.size() < 2 || !scriptDepth(m, args[1], &depth)) return Value();
  std::shared_ptr<display::DisplayObject> object;
  if (s.characterId()) {
    object = parent->context().instantiate(s.characterId());
  } else {
    static const swf::Timeline empty{1, {swf::Frame{}}};
    auto clip = std::make_shared<display::SpriteObject>(parent->context(), empty, 0);
    parent->context().addToExecution(clip);
    object = clip;
  }
  if (!object) return Value();
  object->setMatrix(s.matrix());
  object->setColorTransform(s.colorTransform());
  object->setClipActions(s.clipActions());
  object->setVisible(s.visible());
  Value made = attached(stage, parent->attach(object, depth, m.toString(args[0])));
  if (made.isObject()) initialize(m, made.object(), arg(args, 2));
  return made;
}

// Only clips at script depths (0 and above) can be removed by a script.
Value removeMovieClip(ClipStage&, Machine&, ClipObject& c, display::SpriteObject& s, const Args&) {
  display::SpriteObject* parent = s.parent();
  if (parent && s.depth() >= kDepthBias) parent->removeAt(s.depth());
  (void)c;
  return Value();
}

Value swapDepths(ClipStage&, Machine& m, ClipObject&, display::SpriteObject& s, const Args& args) {
  display::SpriteObject* parent = s.parent();
  if (!parent || args.empty()) return Value();
  int32_t other;
  if (ClipObject* target = asClip(args[0])) {
    if (!target->display() || target->display()->parent() != parent) return Value();
    other = target->display()->depth();
  } else if (!scriptDepth(m, args[0], &other)) {
    return Value();
  }
  parent->swapDepths(s.depth(), other);
  return Value();
}

Value getNextHighestDepth(ClipStage&, Machine&, ClipObject&, display::SpriteObject& s, const Args&) {
  int32_t highest = 0;
  for (const auto& [depth, child] : s.children().children()) highest = std::max(highest, depth - kDepthBias + 1);
  return Value(highest);
}

Value getInstanceAtDepth(ClipStage& stage, Machine& m, ClipObject&, display::SpriteObject& s, const Args& args) {
  int32_t depth;
  if (args.empty() || !scriptDepth(m, args[0], &depth)) return Value();
  display::DisplayObject* child = s.childAt(depth);
  if (!child) return Value();
  avm1::ObjectRef object = scriptObjectOf(stage, *child);
  return object ? Value(object) : Value(stage.root());  // shapes answer as their parent would
}

// Bounds in the space of `target` (the clip itself when none); an empty clip gives the
// player's marker value on every side.
Value bounds(ClipStage&, Machine& m, ClipObject& c, display::SpriteObject& s, const Args& args) {
  swf::Matrix into = swf::Matrix{};
  if (ClipObject* target = asClip(arg(args, 0)); target && target->display())
    into = display::concatenate(inverse(toRoot(*target->display())), toRoot(s));
  else if (!args.empty() && !asClip(args[0]))
    return Value();
  Bounds b = boundsOf(s.context().library(), s, into);
  (void)c;
  avm1::ObjectRef result = m.newObject();
  constexpr double kEmpty = 6710886.35;
  result->set(m, "xMin", Value(b.empty ? kEmpty : b.xMin / 20));
  result->set(m, "xMax", Value(b.empty ? kEmpty : b.xMax / 20));
  result->set(m, "yMin", Value(b.empty ? kEmpty : b.yMin / 20));
  result->set(m, "yMax", Value(b.empty ? kEmpty : b.yMax / 20));
  return Value(result);
}

void mapPoint(Machine& m, const Value& point, const swf::Matrix& matrix) {
  if (!point.isObject()) return;
  const avm1::ObjectRef& p = point.object();
  double x = m.toNumber(p->get(m, "x")) * 20, y = m.toNumber(p->get(m, "y")) * 20;
  p->set(m, "x", Value((matrix.a * x + matrix.c * y + matrix.tx) / 20));
  p->set(m, "y", Value((matrix.b * x + matrix.d * y + matrix.ty) / 20));
}
Value localToGlobal(ClipStage&, Machine& m, ClipObject&, display::SpriteObject& s, const Args& args) {
  mapPoint(m, arg(args, 0), toRoot(s));
  return Value();
}
Value globalToLocal(ClipStage&, Machine& m, ClipObject&, display::SpriteObject& s, const Args& args) {
  mapPoint(m, arg(args, 0), inverse(toRoot(s)));
  return Value();
}

// Whether what the clip draws covers the stage point (twips), the fill rule applied.
bool shapeContainsStagePoint(display::SpriteObject& s, double x, double y) {
  swf::Matrix toParent = s.parent() ? inverse(toRoot(*s.parent())) : swf::Matrix{};
  render::Point inParent{toParent.a * x + toParent.c * y + toParent.tx, toParent.b * x + toParent.d * y + toParent.ty};
  return display::objectContains(s, s.context().library(), inParent);
}

// hitTest(x, y[, shapeFlag]) tests a stage point against the clip's bounds (its shapes with
// the flag); hitTest(target)
// tests the two clips' bounds on the stage for overlap.
Value hitTest(ClipStage&, Machine& m, ClipObject&, display::SpriteObject& s, const Args& args) {
  display::CharacterLibrary& library = s.context().library();
  Bounds mine = boundsOf(library, s, toRoot(s));
  if (args.size() >= 2) {
    double x = m.toNumber(args[0]) * 20, y = m.toNumber(args[1]) * 20;
    if (std::isnan(x) || std::isnan(y) || mine.empty) return Value(false);
    if (args.size() >= 3 && m.toBoolean(args[2])) return Value(shapeContainsStagePoint(s, x, y));
    return Value(x >= mine.xMin && x <= mine.xMax && y >= mine.yMin && y <= mine.yMax);
  }
  ClipObject* other = asClip(arg(args, 0));
  if (!other || !other->display() || mine.empty) return Value(false);
  Bounds theirs = boundsOf(library, *other->display(), toRoot(*other->display()));
  if (theirs.empty) return Value(false);
  return Value(mine.xMin <= theirs.xMax && theirs.xMin <= mine.xMax && mine.yMin <= theirs.yMax && theirs.yMin <= mine.yMax);
}

// A loaded movie's size; the root movie is whole before it plays.
Value bytes(ClipStage& stage, Machine&, ClipObject&, display::SpriteObject& s, const Args&) {
  const LoadedMovie* movie = stage.loads().movieOf(s);
  return movie ? Value(double(movie->bytes)) : Value(1);
}

// loadMovie(url[, method]) fills the clip with the movie on a later frame; unloadMovie empties
// it at once.
Value loadMovie(ClipStage& stage, Machine& m, ClipObject& c, display::SpriteObject&, const Args& args) {
  if (args.empty()) return Value();
  const std::string url = m.toString(args[0]);
  if (url.empty()) stage.loads().unloadClip(c.shared_from_this());
  else stage.loads().loadIntoClip(url, c.shared_from_this());
  return Value();
}
Value unloadMovie(ClipStage& stage, Machine&, ClipObject& c, display::SpriteObject&, const Args&) {
  stage.loads().unloadClip(c.shared_from_this());
  return Value();
}

struct MethodRow {
  const char* name;
  Method method;
};
const MethodRow kMethods[] = {
    {"play", play}, {"stop", stop}, {"nextFrame", nextFrame}, {"prevFrame", prevFrame},
    {"gotoAndPlay", gotoAndPlay}, {"gotoAndStop", gotoAndStop}, {"getDepth", getDepth},
    {"createEmptyMovieClip", createEmptyMovieClip}, {"attachMovie", attachMovie},
    {"duplicateMovieClip", duplicateMovieClip}, {"removeMovieClip", removeMovieClip},
    {"swapDepths", swapDepths}, {"getNextHighestDepth", getNextHighestDepth},
    {"getInstanceAtDepth", getInstanceAtDepth}, {"getBounds", bounds}, {"getRect", bounds},
    {"localToGlobal", localToGlobal}, {"globalToLocal", globalToLocal}, {"hitTest", hitTest},
    {"getBytesLoaded", bytes}, {"getBytesTotal", bytes}, {"loadMovie", loadMovie}, {"unloadMovie", unloadMovie},
};

}  // namespace

void installMovieClipMethods(ClipStage& stage) {
  Machine& m = stage.machine();
  avm1::ObjectRef proto = m.prototypeOf("MovieClip");
  if (!proto) return;
  for (const MethodRow& row : kMethods) {
    Method method = row.method;
    ClipStage* at = &stage;
    proto->define(m, row.name, Value(m.newFunction(whileStageLives(stage, [method, at](Machine& mm, const Value& self, const Args& args) {
      ClipObject* clip = asClip(self);
      display::SpriteObject* sprite = spriteOf(self);
      return clip && sprite ? method(*at, mm, *clip, *sprite, args) : Value();
    }))), avm1::kDontEnum);
  }
  proto->define(m, "enabled", Value(true), avm1::kDontEnum);
  proto->define(m, "useHandCursor", Value(true), avm1::kDontEnum);
  // Object.registerClass(symbol, class): clips of that exported symbol are made of the class.
  Value object = m.global()->get(m, "Object");
  if (object.isObject()) {
    ClipStage* at = &stage;
    object.object()->define(m, "registerClass", Value(m.newFunction(whileStageLives(stage, [at](Machine& mm, const Value&, const Args& args) {
      if (args.size() < 2) return Value(false);
      at->registeredClasses()[mm.rules().nameKey(mm.toString(args[0]))] = args[1];
      return Value(true);
    }))), avm1::kDontEnum);
  }
}

}  // namespace clips
