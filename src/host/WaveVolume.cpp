// Volume scaling of wave-out buffers and the per-handle records, all under the sound lock.
#include "host/WaveVolume.h"

#include <algorithm>
#include <cstring>

namespace lumo {

void scaleSamples(uint8_t* data, size_t size, unsigned bytesPerSample, uint16_t volume) {
  if (volume == 65535) return;
  if (bytesPerSample == 2) {
    for (size_t i = 0; i + 2 <= size; i += 2) {
      int16_t sample;
      std::memcpy(&sample, data + i, 2);
      sample = static_cast<int16_t>(int32_t{sample} * volume / 65535);  // truncates toward zero
      std::memcpy(data + i, &sample, 2);
    }
  } else if (bytesPerSample == 1) {
    for (size_t i = 0; i < size; ++i) {
      data[i] = static_cast<uint8_t>((int32_t{data[i]} - 128) * volume / 65535 + 128);
    }
  }
}

void silenceSamples(uint8_t* data, size_t size, unsigned bytesPerSample) {
  std::memset(data, bytesPerSample == 1 ? 0x80 : 0, size);
}

void WaveOutState::opened(HWAVEOUT handle, const WAVEFORMATEX& format) {
  // A plain PCM format is the 16-byte PCMWAVEFORMAT without cbSize; others carry cbSize extra bytes.
  const size_t length = format.wFormatTag == WAVE_FORMAT_PCM ? sizeof(PCMWAVEFORMAT) : sizeof(WAVEFORMATEX) + format.cbSize;
  const auto* bytes = reinterpret_cast<const uint8_t*>(&format);
  std::lock_guard<std::mutex> hold(lock_);
  sampleSizes_.emplace_back(handle, format.wBitsPerSample / 8u);
  formats_.emplace_back(handle, std::vector<uint8_t>(bytes, bytes + length));
}

void WaveOutState::closed(HWAVEOUT handle) {
  std::lock_guard<std::mutex> hold(lock_);
  std::erase_if(sampleSizes_, [handle](const auto& entry) { return entry.first == handle; });
  std::erase_if(formats_, [handle](const auto& entry) { return entry.first == handle; });
}

void WaveOutState::prepare(HWAVEOUT handle, void* data, size_t size) {
  std::lock_guard<std::mutex> hold(lock_);
  unsigned sampleSize = 0;
  for (const auto& entry : sampleSizes_) {
    if (entry.first == handle) {
      sampleSize = entry.second;
      break;
    }
  }
  if (!enabled_)
    silenceSamples(static_cast<uint8_t*>(data), size, sampleSize);
  else
    scaleSamples(static_cast<uint8_t*>(data), size, sampleSize, volume_);
}

void WaveOutState::setEnabled(bool enabled) {
  std::lock_guard<std::mutex> hold(lock_);
  enabled_ = enabled;
}
void WaveOutState::setVolume(uint16_t volume) {
  std::lock_guard<std::mutex> hold(lock_);
  volume_ = volume;
}
bool WaveOutState::enabled() const {
  std::lock_guard<std::mutex> hold(lock_);
  return enabled_;
}
uint16_t WaveOutState::volume() const {
  std::lock_guard<std::mutex> hold(lock_);
  return volume_;
}

std::optional<unsigned> WaveOutState::bytesPerSample(HWAVEOUT handle) const {
  std::lock_guard<std::mutex> hold(lock_);
  for (const auto& entry : sampleSizes_) {
    if (entry.first == handle) return entry.second;
  }
  return std::nullopt;
}

std::optional<std::vector<uint8_t>> WaveOutState::format(HWAVEOUT handle) const {
  std::lock_guard<std::mutex> hold(lock_);
  for (const auto& entry : formats_) {
    if (entry.first == handle) return entry.second;
  }
  return std::nullopt;
}

void WaveOutState::clear() {
  std::lock_guard<std::mutex> hold(lock_);
  sampleSizes_.clear();
  formats_.clear();
}

}  // namespace lumo
