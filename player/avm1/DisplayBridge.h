// What the interpreter asks of the display list behind its clips: the timeline actions
// (Play, GotoFrame, ...) and the sprite actions (CloneSprite, RemoveSprite). A machine without
// one takes their operands and changes nothing.
#pragma once

#include "Value.h"

namespace avm1 {

class Machine;

class DisplayBridge {
 public:
  virtual ~DisplayBridge() = default;
  enum class Timeline { Play, Stop, NextFrame, PrevFrame };
  virtual void timeline(Machine& m, const ObjectRef& clip, Timeline action) = 0;
  // A frame number (1-based) or a label, moved by `sceneBias` frames (GotoFrame2's scene
  // bias); `play` says whether the clip plays on from there. False when nothing happens.
  virtual bool gotoFrame(Machine& m, const ObjectRef& clip, const Value& frame, bool play, int sceneBias = 0) = 0;
  virtual void cloneSprite(Machine& m, const ObjectRef& clip, const std::string& name, int32_t depth) = 0;
  virtual void removeSprite(Machine& m, const ObjectRef& clip) = 0;
  // Whether the clip has left the display list: timers set on it stop.
  virtual bool removed(const ObjectRef& clip) = 0;
  // The clip's frames loaded (all of them here) and its frame count, for WaitForFrame.
  virtual int framesLoaded(const ObjectRef& clip) = 0;
  // StartDrag: the clip follows the pointer (its registration point on it when `lockCentre`),
  // kept inside `bounds` (left, top, right, bottom in its parent's pixels) when given.
  // EndDrag ends whichever drag is on. By default nothing is dragged.
  virtual void startDrag(Machine&, const ObjectRef&, bool /*lockCentre*/, const double* /*bounds*/) {}
  virtual void endDrag(Machine&) {}
  // GetURL and GetURL2 to a level ("_levelN") or, with `targetIsClip` or a path that names one,
  // a clip: loadMovie, loadMovieNum and their unloads (an empty URL). `base` is the clip the
  // action runs on. False when the target is neither: the host takes the getURL.
  virtual bool loadMovie(Machine&, const ObjectRef& /*base*/, const std::string& /*url*/, const std::string& /*target*/,
                         bool /*targetIsClip*/) {
    return false;
  }
};

}  // namespace avm1
