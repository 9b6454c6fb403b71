// The movie's mixed sound out through waveOut (so a host that hooks the wave-output functions
// hears and scales it): a few buffers refilled from the mixer as the device returns them.
// LUMO_PLAYER_SOUND_RECORD names a file that gets every buffer as it was written.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <array>
#include <string>
#include <vector>

#include "Mixer.h"

class SoundOutput {
 public:
  explicit SoundOutput(sound::Mixer& mixer);
  ~SoundOutput();
  SoundOutput(const SoundOutput&) = delete;
  SoundOutput& operator=(const SoundOutput&) = delete;

  // Keeps the sound going: opens the device (its notices go to `window`) once something plays
  // and hands it the idle buffers; without a device the mixer runs by the clock instead, so
  // sounds still end and streams still pace their timelines.
  void pump(HWND window);
  // A device's MM_WOM_DONE: false when the buffer is not one of ours.
  bool done(HWAVEOUT handle, WAVEHDR* header);
  // Output frames mixed and not yet played.
  size_t queuedFrames() const;
  void close();

 private:
  struct Buffer {
    WAVEHDR header{};
    std::vector<int16_t> samples;
    bool queued = false;
  };
  bool open(HWND window);
  void write(Buffer& buffer);

  sound::Mixer& mixer_;
  HWAVEOUT out_ = nullptr;
  bool deviceFailed_ = false;
  ULONGLONG clockStart_ = 0;  // without a device: when the clock began, and frames mixed since
  uint64_t clockFrames_ = 0;
  std::array<Buffer, 4> buffers_;
  std::wstring recordPath_;
};
