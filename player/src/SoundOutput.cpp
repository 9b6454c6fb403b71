// Buffers of about 23 ms (1024 frames at 44.1 kHz stereo, 16 bits), four of them: short enough
// that a stream's frames follow the audio closely, long enough that a busy player keeps up.
#include "SoundOutput.h"

#include <cstdio>

#include "Transcript.h"

namespace {

constexpr size_t kBufferFrames = 1024;

std::wstring environment(const wchar_t* name) {
  wchar_t value[MAX_PATH];
  DWORD n = GetEnvironmentVariableW(name, value, MAX_PATH);
  return n && n < MAX_PATH ? std::wstring(value, n) : std::wstring();
}

}  // namespace

SoundOutput::SoundOutput(sound::Mixer& mixer)
    : mixer_(mixer), recordPath_(environment(L"LUMO_PLAYER_SOUND_RECORD")) {
  for (Buffer& b : buffers_) b.samples.resize(kBufferFrames * 2);
}

SoundOutput::~SoundOutput() { close(); }

bool SoundOutput::open(HWND window) {
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = sound::Mixer::kRate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 4;
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  const MMRESULT rc =
      waveOutOpen(&out_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(window), 0, CALLBACK_WINDOW);
  if (rc != MMSYSERR_NOERROR) {
    out_ = nullptr;
    deviceFailed_ = true;
    clockStart_ = GetTickCount64();
    transcript::write(L"sound-failed " + std::to_wstring(rc));
    return false;
  }
  for (Buffer& b : buffers_) {
    b.header = WAVEHDR{};
    b.header.lpData = reinterpret_cast<LPSTR>(b.samples.data());
    b.header.dwBufferLength = static_cast<DWORD>(b.samples.size() * sizeof(int16_t));
    waveOutPrepareHeader(out_, &b.header, sizeof(WAVEHDR));
  }
  transcript::write(L"sound-device 44100 2 16");
  return true;
}

void SoundOutput::write(Buffer& buffer) {
  mixer_.mix(buffer.samples.data(), kBufferFrames);
  if (waveOutWrite(out_, &buffer.header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) return;
  buffer.queued = true;
  // After the call: a host that scales the output in its hook has done so by now.
  if (recordPath_.empty()) return;
  if (FILE* f = _wfopen(recordPath_.c_str(), L"ab")) {
    fwrite(buffer.samples.data(), sizeof(int16_t), buffer.samples.size(), f);
    fclose(f);
  }
}

void SoundOutput::pump(HWND window) {
  if (deviceFailed_) {
    // No device: the mixer runs by the clock and its output goes nowhere.
    const uint64_t due = (GetTickCount64() - clockStart_) * sound::Mixer::kRate / 1000;
    std::vector<int16_t> scratch(kBufferFrames * 2);
    while (clockFrames_ < due) {
      const size_t n = static_cast<size_t>(std::min<uint64_t>(kBufferFrames, due - clockFrames_));
      mixer_.mix(scratch.data(), n);
      clockFrames_ += n;
    }
    return;
  }
  if (mixer_.voiceCount() == 0) return;
  if (!out_ && !open(window)) return;
  for (Buffer& b : buffers_)
    if (!b.queued) write(b);
}

bool SoundOutput::done(HWAVEOUT handle, WAVEHDR* header) {
  if (!out_ || handle != out_) return false;
  for (Buffer& b : buffers_) {
    if (&b.header != header) continue;
    b.queued = false;
    // Silence is not written while nothing plays; pump starts again when something does.
    if (mixer_.voiceCount() > 0) write(b);
  }
  return true;
}

size_t SoundOutput::queuedFrames() const {
  size_t frames = 0;
  for (const Buffer& b : buffers_)
    if (b.queued) frames += kBufferFrames;
  return frames;
}

void SoundOutput::close() {
  if (!out_) return;
  waveOutReset(out_);
  for (Buffer& b : buffers_) {
    waveOutUnprepareHeader(out_, &b.header, sizeof(WAVEHDR));
    b.queued = false;
  }
  waveOutClose(out_);
  out_ = nullptr;
}
