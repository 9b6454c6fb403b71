// The player's sound on its thread: frames kept in step with a stream sound, the mixed output
// fed to the device, and the sounds' transcript lines.
#include "FlashPlayer.h"

#include <algorithm>

#include "ActionScriptMovie.h"
#include "MovieSounds.h"
#include "Transcript.h"

void FlashPlayer::advanceWithSound() {
  int frames = 1;
  if (std::optional<double> lead = movieView_.streamLead(); lead && movie_ && movie_->frameRate > 0) {
    // The device still holds what was mixed last: what is heard is that much further back.
    const double heardLead = *lead + double(soundOutput_.queuedFrames()) * movie_->frameRate / sound::Mixer::kRate;
    // As the original player does, the audio leads: frames wait for it, or run on to catch up.
    if (heardLead > 2) frames = 0;
    else if (heardLead < -1) frames = std::min(4, 1 + static_cast<int>(-heardLead));
  }
  for (int i = 0; i < frames; ++i) advanceFrame();
  pumpSound();
}

void FlashPlayer::pumpSound() {
  soundOutput_.pump(messageWindow_);
  soundNews();
}

void FlashPlayer::waveDone(HWAVEOUT out, WAVEHDR* header) {
  if (!soundOutput_.done(out, header)) return toneDone(out);
  soundNews();
}

void FlashPlayer::soundNews() {
  for (const std::string& note : movieView_.takeSoundNotes()) transcript::write(std::wstring(note.begin(), note.end()));
  if (auto actionScript = actionScript_) actionScript->deliverSoundLoads(scriptSounds_);
  sound::MovieSounds* sounds = movieView_.sounds();
  if (!sounds) return;
  for (sound::VoiceId voice : sounds->takeEnded())
    if (auto actionScript = actionScript_) actionScript->soundCompleted(voice);
}
