// The sound bridge of the player's AVM1 machine: ActionScript's Sound objects play the movie's
// exported sounds and the files loadSound fetches, through the movie's sounds and the mixer.
#pragma once

#include "MovieSoundBridge.h"
#include "MovieView.h"

class ScriptSounds final : public clips::MovieSoundBridge {
 public:
  ScriptSounds(MovieView& view, sound::Mixer& mixer) : MovieSoundBridge([&view] { return view.sounds(); }, mixer) {}
};
