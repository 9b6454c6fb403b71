// Recording and measuring the mixed stream; LAME for MP3 fixtures.
#include "Listening.h"

#include <lame/lame.h>

#include <cmath>

namespace listening {

std::vector<int16_t> record(sound::Mixer& mixer, size_t frames) {
  std::vector<int16_t> out(frames * 2);
  // In buffers of a waveOut-like size, so voices cross buffer edges as they do in the player.
  for (size_t done = 0; done < frames; done += 2048) mixer.mix(out.data() + done * 2, std::min<size_t>(2048, frames - done));
  return out;
}

Measure measure(const std::vector<int16_t>& stereo, int channel, size_t first, size_t last) {
  Measure m;
  last = std::min(last, stereo.size() / 2);
  size_t crossings = 0, firstCrossing = 0, lastCrossing = 0;
  for (size_t i = first; i < last; ++i) {
    const int16_t s = stereo[2 * i + size_t(channel)];
    m.peak = std::max(m.peak, std::abs(double(s)));
    if (i > first && stereo[2 * (i - 1) + size_t(channel)] < 0 && s >= 0) {
      if (crossings++ == 0) firstCrossing = i;
      lastCrossing = i;
    }
  }
  if (crossings > 1) m.frequency = double(crossings - 1) * 44100.0 / double(lastCrossing - firstCrossing);
  return m;
}

std::vector<uint8_t> encodeMp3(const sound::Samples& samples) {
  lame_global_flags* lame = lame_init();
  lame_set_in_samplerate(lame, int(samples.rate));
  lame_set_out_samplerate(lame, int(samples.rate));
  lame_set_num_channels(lame, samples.channels);
  lame_set_mode(lame, samples.channels == 2 ? JOINT_STEREO : MONO);
  lame_set_brate(lame, 128);
  lame_set_bWriteVbrTag(lame, 0);
  lame_init_params(lame);
  std::vector<uint8_t> out(samples.data.size() * 2 + 7200);
  std::vector<int16_t> copy = samples.data;
  const int frames = int(samples.frames());
  int size = samples.channels == 2
                 ? lame_encode_buffer_interleaved(lame, copy.data(), frames, out.data(), int(out.size()))
                 : lame_encode_buffer(lame, copy.data(), copy.data(), frames, out.data(), int(out.size()));
  size += lame_encode_flush(lame, out.data() + size, int(out.size()) - size);
  lame_close(lame);
  out.resize(size_t(std::max(size, 0)));
  return out;
}

}  // namespace listening
