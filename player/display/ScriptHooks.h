// What the timelines tell a script engine as they play: clips starting a frame, the action
// tags they reach, and instances they make. The display list runs without one.
#pragma once

#include <cstdint>
#include <vector>

#include "../swf/SwfTypes.h"

namespace display {

class DisplayObject;
class SpriteObject;

class ScriptHooks {
 public:
  virtual ~ScriptHooks() = default;
  // A clip is about to run its frame: its load event the first time, enterFrame after.
  virtual void frameStarting(SpriteObject& clip) = 0;
  // A DoAction the clip's timeline reached (queued by the engine, run after the frame pass).
  virtual void frameActions(SpriteObject& clip, const std::vector<uint8_t>& actions) = 0;
  // A DoInitAction: runs at once, before the frame's DoActions.
  virtual void initActions(SpriteObject& clip, swf::CharacterId spriteId, const std::vector<uint8_t>& actions) = 0;
  // An instance was put on a list (by a timeline or a script), before a clip's first frame.
  virtual void instancePlaced(DisplayObject& object) = 0;
  // An instance is about to leave its list.
  virtual void instanceRemoving(DisplayObject& object) = 0;
};

}  // namespace display
