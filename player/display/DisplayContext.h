// What the objects of one movie share: the character library, making instances of
// characters, and the order clips run their frames in (the newest clip first, as the original
// player's execution list has it).
#pragma once

#include <memory>
#include <vector>

#include "CharacterLibrary.h"
#include "DisplayObject.h"

namespace sound {
class MovieSounds;
}

namespace display {

class SpriteObject;
class ScriptHooks;

class DisplayContext {
 public:
  explicit DisplayContext(std::shared_ptr<const swf::MovieData> movie) : library_(std::move(movie)) {}

  CharacterLibrary& library() { return library_; }
  // Where timelines send their sound tags; none until the movie is given a mixer.
  sound::MovieSounds* sounds() const { return sounds_; }
  void setSounds(sound::MovieSounds* sounds) { sounds_ = sounds; }
  // The script engine told of frames, actions and instances; none by default.
  ScriptHooks* scriptHooks() const { return hooks_; }
  void setScriptHooks(ScriptHooks* hooks) { hooks_ = hooks; }

  // A new instance of the character, not yet on a list; nullptr when the movie has none by
  // that id, or when instances nest too deep (a clip that places itself). Sprites join the
  // execution list.
  std::shared_ptr<DisplayObject> instantiate(swf::CharacterId id);
  // A clip just made shows its first frame at once.
  void runFirstFrame(SpriteObject& sprite);
  void addToExecution(std::shared_ptr<SpriteObject> sprite);

  // One tick: every clip on the execution list runs its frame, newest first. Clips made during
  // the tick ran their first frame when they were made and wait for the next one.
  void runFrames();

 private:
  CharacterLibrary library_;
  std::vector<std::shared_ptr<SpriteObject>> execution_;  // oldest first
  int nesting_ = 0;  // instances being made inside instances being made
  sound::MovieSounds* sounds_ = nullptr;
  ScriptHooks* hooks_ = nullptr;
};

}  // namespace display
