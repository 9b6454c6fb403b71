// A display object as ActionScript sees it: an AVM1 object bound to its instance on the
// display list, answering the instance's children by name and its display properties (_x,
// _currentframe, ...). Once the instance leaves the list the object is detached and answers
// only what scripts stored on it.
#pragma once

#include <string>

#include "DisplayObject.h"
#include "Object.h"

namespace clips {

class ClipStage;

class ClipObject final : public avm1::Object, public display::ScriptLink {
 public:
  ClipObject(ClipStage& stage, display::DisplayObject* display);

  // Only while display() is set (the stage is alive).
  ClipStage& stage() const { return **stage_; }
  // The instance; none once it left the list or its stage is gone.
  display::DisplayObject* display() const { return *stage_ ? display_ : nullptr; }
  display::SpriteObject* sprite() const;  // when the instance is a clip
  void detach() override { display_ = nullptr; }
  // A movie loaded into the clip: the object stands for the loaded movie's root from now on.
  void relink(display::DisplayObject* display) {
    display_ = display;
    hasWritten_ = false;
  }
  display::DisplayObject* linked() const override { return display(); }
  bool isClip() const override { return true; }

  avm1::Property* extraProperty(avm1::Machine& m, const std::string& name) override;

  // The dot path ("_level0.a.b") from the parents' names, kept as the object's string form.
  void refreshPath();
  // The slash path of _target: "/" for the root, "/a/b" below it.
  std::string slashPath() const;

  // Scale and rotation as last written, kept while the matrix is the one they made: the
  // player reads back what was written rather than what the matrix rounds it to.
  struct Transform {
    double scaleX = 1, scaleY = 1, rotation = 0;
  };
  Transform transform() const;
  void setTransform(const Transform& t);
  // _droptarget: the slash path of the clip the last drag of this one ended over.
  std::string dropTarget;

 private:
  std::shared_ptr<ClipStage*> stage_;  // the stage's link: cleared when it goes
  display::DisplayObject* display_;
  avm1::Property found_;  // what extraProperty answered last
  Transform written_;
  swf::Matrix writtenMatrix_;
  bool hasWritten_ = false;
};

// "MovieClip", "TextField" or "Button": the class of the script object a kind of instance
// has; none for kinds scripts do not see.
const char* classNameOf(display::ObjectKind kind);
// The script object of an instance, made on first use (none for kinds scripts do not see).
avm1::ObjectRef scriptObjectOf(ClipStage& stage, display::DisplayObject& object);
ClipObject* asClip(const avm1::Value& v);

}  // namespace clips
