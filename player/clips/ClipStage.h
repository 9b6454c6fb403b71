// One movie played for ActionScript: the display list and the AVM1 machine in one frame loop.
// It binds the root (and every clip) to its script object, queues the frame actions and clip
// events the timelines reach, and runs them in the original player's order after each pass
// over the clips; then onEnterFrame-style handlers, intervals and the collector.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ClipObject.h"
#include "InputObjects.h"
#include "Machine.h"
#include "MovieLoads.h"
#include "MoviePlayer.h"
#include "ScriptHooks.h"

namespace clips {

class BoundFields;
class ClipStage;

// How native functions and clip objects reach their stage: the stage clears it as it goes, so
// a function or clip a script kept past its movie (in _global, a listener) finds nothing.
using StageLink = std::shared_ptr<ClipStage*>;

class ClipStage final : public display::ScriptHooks, public avm1::DisplayBridge {
 public:
  // Binds `player`'s root as _level0 of `machine`; both outlive the stage.
  ClipStage(display::MoviePlayer& player, avm1::Machine& machine);
  // The same, keeping the player alive as long as the stage (the control may load another).
  ClipStage(std::shared_ptr<display::MoviePlayer> player, avm1::Machine& machine);
  ~ClipStage() override;
  ClipStage(const ClipStage&) = delete;
  ClipStage& operator=(const ClipStage&) = delete;

  // One frame: the clips advance (events and actions queued), the queue runs, then the
  // intervals that fell due.
  void tick();
  // Runs what the timelines queued (also after a goto made from outside a script).
  void runQueue();
  // For a player that showed frames before the stage was bound: queues the load events and
  // runs the init actions and queues the frame actions of the frame each clip shows now.
  void catchUp();
  // The intervals due after one more frame, then the collector when it is due.
  void runTimers();
  double frameMilliseconds() const;

  avm1::Machine& machine() { return machine_; }
  const StageLink& link() const { return link_; }
  display::MoviePlayer& player() { return player_; }
  const avm1::ObjectRef& root() const { return root_; }
  // Key, Mouse, Stage and Selection: the player reports input and resizes here.
  InputObjects& input() { return *input_; }
  // Movies loaded into clips and levels; the host answers their fetches here.
  MovieLoads& loads() { return *loads_; }
  // Work queued after the frame's actions, while `clip` is on the list.
  void queueTask(const avm1::ObjectRef& clip, std::function<void()> task);
  std::string url;  // the movie's _url
  // The pointer as the control last reported it, in twips of the stage.
  render::Point pointer;
  // The clip startDrag made follow the pointer: its offset from the pointer (none when its
  // centre is locked to it) and the rectangle its position stays in, in its parent's twips.
  struct Drag {
    std::weak_ptr<ClipObject> clip;
    double offsetX = 0, offsetY = 0;
    bool bounded = false;
    double left = 0, top = 0, right = 0, bottom = 0;
  };
  std::optional<Drag> drag;

  // The queued work of a clip event: its PlaceObject clip actions for `eventFlag`, then the
  // handler method `method` (empty for none).
  void queueEvent(ClipObject& clip, uint32_t eventFlag, const char* method);
  // Getter and setter functions of the display properties, made once per machine.
  avm1::ObjectRef propertyGetter(size_t index) const { return getters_[index]; }
  avm1::ObjectRef propertySetter(size_t index) const { return setters_[index]; }
  // The character exported (ExportAssets) under `name`; 0 for none.
  swf::CharacterId exported(const std::string& name) const;
  // The same in the movie a clip belongs to (a loaded movie has its own exports).
  static swf::CharacterId exported(const display::SpriteObject& clip, const std::string& name);
  // Classes bound to exported symbols by Object.registerClass.
  std::map<std::string, avm1::Value>& registeredClasses() { return registered_; }
  std::shared_ptr<const avm1::Code> codeOf(const std::vector<uint8_t>& bytes);
  std::shared_ptr<const avm1::Code> codeOf(const std::vector<uint8_t>& bytes, int version);

  // display::ScriptHooks
  void frameStarting(display::SpriteObject& clip) override;
  void frameActions(display::SpriteObject& clip, const std::vector<uint8_t>& actions) override;
  void initActions(display::SpriteObject& clip, swf::CharacterId spriteId, const std::vector<uint8_t>& actions) override;
  void instancePlaced(display::DisplayObject& object) override;
  void instanceRemoving(display::DisplayObject& object) override;

  // avm1::DisplayBridge
  void timeline(avm1::Machine& m, const avm1::ObjectRef& clip, Timeline action) override;
  bool gotoFrame(avm1::Machine& m, const avm1::ObjectRef& clip, const avm1::Value& frame, bool play,
                 int sceneBias = 0) override;
  void cloneSprite(avm1::Machine& m, const avm1::ObjectRef& clip, const std::string& name, int32_t depth) override;
  void removeSprite(avm1::Machine& m, const avm1::ObjectRef& clip) override;
  int framesLoaded(const avm1::ObjectRef& clip) override;
  bool removed(const avm1::ObjectRef& clip) override;
  void startDrag(avm1::Machine& m, const avm1::ObjectRef& clip, bool lockCentre, const double* bounds) override;
  void endDrag(avm1::Machine& m) override;
  bool loadMovie(avm1::Machine& m, const avm1::ObjectRef& base, const std::string& url, const std::string& target,
                 bool targetIsClip) override;

 private:
  struct Queued {
    std::shared_ptr<ClipObject> clip;
    std::shared_ptr<const avm1::Code> code;  // or:
    std::string method;
    bool unload = false;
    std::function<void()> task;  // or
  };
  enum class Priority { Initialize, Construct, Normal };
  void queue(Queued item, Priority priority = Priority::Normal);

  StageLink link_ = std::make_shared<ClipStage*>(this);
  std::shared_ptr<display::MoviePlayer> kept_;
  display::MoviePlayer& player_;
  avm1::Machine& machine_;
  avm1::ObjectRef root_;
  std::deque<Queued> queues_[3];  // by Priority: initialize events, then constructors, then the rest
  std::map<const std::vector<uint8_t>*, std::shared_ptr<const avm1::Code>> code_;
  std::set<std::pair<const display::DisplayContext*, swf::CharacterId>> initDone_;  // per movie
  std::vector<avm1::ObjectRef> getters_, setters_;
  std::map<std::string, avm1::Value> registered_;
  double nowMs_ = 0;
  std::unique_ptr<BoundFields> boundFields_;  // text fields that follow their variables
  std::unique_ptr<InputObjects> input_;
  std::unique_ptr<MovieLoads> loads_;
  int instanceCounter_ = 0;  // unnamed clips, buttons and fields are "instance1", "instance2", ...
};

// `f` as a native function that does nothing (gives undefined) once the stage is gone.
avm1::NativeFunction whileStageLives(const ClipStage& stage, avm1::NativeFunction f);

// MovieClip.prototype's methods and the display properties' getters and setters.
void installMovieClipMethods(ClipStage& stage);
// The drawing API (lineStyle, beginFill, moveTo, ...) on MovieClip.prototype.
void installDrawingMethods(ClipStage& stage);
// startDrag, stopDrag, setMask and hitTest by shape on MovieClip.prototype.
void installInteractionMethods(ClipStage& stage);
// The dragged clip follows the pointer and its _droptarget the clip under it.
void followPointer(ClipStage& stage);
// Drags `clip` (startDrag and the StartDrag action): `bounds` left, top, right, bottom in its
// parent's pixels or none; endDrag stops any drag (stopDrag, EndDrag).
void beginDrag(ClipStage& stage, ClipObject& clip, bool lockCentre, const double* bounds);
void endDrag(ClipStage& stage);
void installClipProperties(ClipStage& stage, std::vector<avm1::ObjectRef>* getters, std::vector<avm1::ObjectRef>* setters);
// The index of a display property by name (any case), or -1.
int clipPropertyIndex(const std::string& name);

}  // namespace clips
