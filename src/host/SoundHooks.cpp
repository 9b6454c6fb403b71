// Wave-out hooks: the module records each handle's sample size and format on open, applies its
// volume (or silence) to every buffer written, and forgets the handle on close.
#include "host/Hooks.h"

#include "CallBoundary.h"
#include "host/PlayerModule.h"

namespace lumo::hooks {

MMRESULT WINAPI waveOutOpen(decltype(&::waveOutOpen) real, PlayerModule* module, LPHWAVEOUT handle, UINT device,
                            LPCWAVEFORMATEX format, DWORD_PTR callback, DWORD_PTR instance, DWORD flags) {
  return atBoundary("waveOutOpen hook", MMRESULT{MMSYSERR_NOMEM}, [&]() -> MMRESULT {
    const MMRESULT result = real(handle, device, format, callback, instance, flags);
    if (result == MMSYSERR_NOERROR && handle && format && !(flags & WAVE_FORMAT_QUERY))
      module->sound().opened(*handle, *format);
    return result;
  });
}

MMRESULT WINAPI waveOutWrite(decltype(&::waveOutWrite) real, PlayerModule* module, HWAVEOUT handle, LPWAVEHDR header,
                             UINT headerSize) {
  return atBoundary("waveOutWrite hook", MMRESULT{MMSYSERR_NOMEM}, [&]() -> MMRESULT {
    if (header && header->lpData) module->sound().prepare(handle, header->lpData, header->dwBufferLength);
    return real(handle, header, headerSize);
  });
}

MMRESULT WINAPI waveOutClose(decltype(&::waveOutClose) real, PlayerModule* module, HWAVEOUT handle) {
  return atBoundary("waveOutClose hook", MMRESULT{MMSYSERR_NOMEM}, [&]() -> MMRESULT {
    const MMRESULT result = real(handle);
    if (result == MMSYSERR_NOERROR) module->sound().closed(handle);
    return result;
  });
}

}  // namespace lumo::hooks
