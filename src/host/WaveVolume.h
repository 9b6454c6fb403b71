// The player's sound output: the wave-out handles it opened (bytes per sample and format), the
// volume and sound switch, and the scaling applied to every buffer it writes.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

namespace lumo {

// Scales samples in place by volume / 65535: 2-byte samples signed and rounded toward zero,
// 1-byte samples unsigned around their midpoint 128. Other sizes and a trailing partial
// sample are left as they are.
void scaleSamples(uint8_t* data, size_t size, unsigned bytesPerSample, uint16_t volume);
// Silence for the sample size: 0x80 for 1-byte samples, zero otherwise.
void silenceSamples(uint8_t* data, size_t size, unsigned bytesPerSample);

class WaveOutState {
 public:
  void opened(HWAVEOUT handle, const WAVEFORMATEX& format);
  void closed(HWAVEOUT handle);
  // Applies the volume, or silence when sound is off, to a buffer about to be written.
  void prepare(HWAVEOUT handle, void* data, size_t size);

  void setEnabled(bool enabled);
  void setVolume(uint16_t volume);
  bool enabled() const;
  uint16_t volume() const;
  std::optional<unsigned> bytesPerSample(HWAVEOUT handle) const;
  std::optional<std::vector<uint8_t>> format(HWAVEOUT handle) const;
  void clear();

 private:
  mutable std::mutex lock_;
  std::vector<std::pair<HWAVEOUT, unsigned>> sampleSizes_;
  std::vector<std::pair<HWAVEOUT, std::vector<uint8_t>>> formats_;
  bool enabled_ = true;
  uint16_t volume_ = 65535;
};

}  // namespace lumo
