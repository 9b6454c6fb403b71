// A clip's script object: its extra names (levels, parent, children, display properties) and
// its path.
#include "ClipObject.h"

#include <cstdlib>

#include "ClipGeometry.h"
#include "ClipStage.h"
#include "ScriptClasses.h"
#include "Machine.h"
#include "SpriteObject.h"

namespace clips {

// Clips, text fields and buttons reach scripts; shapes and static text do not.
const char* classNameOf(display::ObjectKind kind) {
  switch (kind) {
    case display::ObjectKind::Sprite: return "MovieClip";
    case display::ObjectKind::EditText: return "TextField";
    case display::ObjectKind::Button: return "Button";
    default: return nullptr;
  }
}

ClipObject::ClipObject(ClipStage& stage, display::DisplayObject* display) : stage_(stage.link()), display_(display) {
  const char* name = display ? classNameOf(display->kind()) : nullptr;
  className = name ? name : "MovieClip";
  hasExtraProperties_ = true;
}

display::SpriteObject* ClipObject::sprite() const {
  display::DisplayObject* d = display();
  return d && d->kind() == display::ObjectKind::Sprite ? static_cast<display::SpriteObject*>(d) : nullptr;
}

// Levels and the root first, then children by instance name, then the display properties
// (whose names ignore case in every version).
avm1::Property* ClipObject::extraProperty(avm1::Machine& m, const std::string& name) {
  if (name.empty() || !*stage_) return nullptr;
  ClipStage& stage = **stage_;
  found_ = avm1::Property{};
  const std::string key = m.rules().nameKey(name);
  if (key == "_root") {  // a clip in a loaded level has that level's root
    display::DisplayObject* top = display();
    while (top && top->parent()) top = top->parent();
    avm1::ObjectRef root = top && top != &stage.player().root() ? scriptObjectOf(stage, *top) : nullptr;
    found_.value = avm1::Value(root ? root : stage.root());
    return &found_;
  }
  if (key.size() > 6 && key.compare(0, 6, "_level") == 0 && key.find_first_not_of("0123456789", 6) == std::string::npos) {
    avm1::ObjectRef level = m.existingLevel(std::atoi(key.c_str() + 6));
    found_.value = level ? avm1::Value(level) : avm1::Value();
    return &found_;
  }
  if (key == "_global") {
    found_.value = avm1::Value(m.global());
    return &found_;
  }
  if (display::SpriteObject* clip = sprite()) {
    for (const auto& [depth, child] : clip->children().children()) {
      if (child->name().empty() || m.rules().nameKey(child->name()) != key) continue;
      avm1::ObjectRef object = scriptObjectOf(stage, *child);
      if (!object) break;
      found_.value = avm1::Value(object);
      return &found_;
    }
  }
  if (name[0] != '_') return nullptr;
  int index = clipPropertyIndex(name);
  if (index < 0) return nullptr;
  found_.getter = stage.propertyGetter(static_cast<size_t>(index));
  found_.setter = stage.propertySetter(static_cast<size_t>(index));
  found_.flags = avm1::kDontEnum | avm1::kDontDelete;
  return &found_;
}

void ClipObject::refreshPath() {
  if (!display()) return;
  ClipStage& stage = this->stage();
  display::SpriteObject* parent = display_->parent();
  if (!parent) {
    if (clipPath.empty()) clipPath = "_level0";
    return;
  }
  avm1::ObjectRef parentObject = scriptObjectOf(stage, *parent);
  clipPath = (parentObject ? parentObject->clipPath : std::string("_level0")) + "." + display_->name();
}

std::string ClipObject::slashPath() const {
  size_t dot = clipPath.find('.');
  std::string level = clipPath.substr(0, dot);
  std::string rest = dot == std::string::npos ? "" : clipPath.substr(dot);
  for (char& c : rest)
    if (c == '.') c = '/';
  if (level == "_level0") return rest.empty() ? "/" : rest;
  return level + rest;
}

ClipObject::Transform ClipObject::transform() const {
  if (!display()) return Transform{};
  const swf::Matrix& m = display()->matrix();
  if (hasWritten_ && m == writtenMatrix_) return written_;
  return Transform{scaleX(m), scaleY(m), rotationDegrees(m)};
}

void ClipObject::setTransform(const Transform& t) {
  if (!display()) return;
  display()->setMatrix(withScaleRotation(display()->matrix(), t.scaleX, t.scaleY, t.rotation));
  written_ = t;
  writtenMatrix_ = display()->matrix();
  hasWritten_ = true;
}

avm1::ObjectRef scriptObjectOf(ClipStage& stage, display::DisplayObject& object) {
  if (object.scriptLink) {
    auto* clip = dynamic_cast<ClipObject*>(object.scriptLink.get());
    return clip ? clip->shared_from_this() : nullptr;
  }
  const char* className = classNameOf(object.kind());
  if (!className) return nullptr;
  avm1::Machine& machine = stage.machine();
  if (object.kind() == display::ObjectKind::EditText && machine.rules().version() < 6) return nullptr;  // SWF 5 fields are not objects
  auto clip = std::make_shared<ClipObject>(stage, &object);
  avm1::Machine& m = stage.machine();
  if (avm1::ObjectRef proto = m.prototypeOf(className)) clip->setProto(m, proto);
  object.scriptLink = clip;
  clip->refreshPath();
  if (object.kind() == display::ObjectKind::EditText) initializeField(m, clip);
  return clip;
}

ClipObject* asClip(const avm1::Value& v) {
  return v.isObject() ? dynamic_cast<ClipObject*>(v.object().get()) : nullptr;
}

}  // namespace clips
