// The forwarding list of mapped images and the host's TLS callback (section .CRT$XLY, run by the
// system for every thread of the process) that passes DLL_THREAD_ATTACH/DETACH on to them.
#include "host/ThreadNotifications.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "host/LoadedImage.h"

namespace lumo {
namespace {

SRWLOCK gLock = SRWLOCK_INIT;
std::vector<LoadedImage*>* gImages = nullptr;  // allocated on first add; lives with the process

void NTAPI forwardThreadNotification(PVOID, DWORD reason, PVOID) {
  if (reason != DLL_THREAD_ATTACH && reason != DLL_THREAD_DETACH) return;
  AcquireSRWLockShared(&gLock);
  if (gImages) {
    for (LoadedImage* image : *gImages) image->threadNotification(reason);
  }
  ReleaseSRWLockShared(&gLock);
}

}  // namespace

void ThreadNotifications::add(LoadedImage* image) {
  AcquireSRWLockExclusive(&gLock);
  if (!gImages) gImages = new std::vector<LoadedImage*>;
  gImages->push_back(image);
  ReleaseSRWLockExclusive(&gLock);
}

void ThreadNotifications::remove(LoadedImage* image) {
  AcquireSRWLockExclusive(&gLock);
  if (gImages) gImages->erase(std::remove(gImages->begin(), gImages->end(), image), gImages->end());
  ReleaseSRWLockExclusive(&gLock);
}

}  // namespace lumo

// Kept by the linker through `used`; .CRT$XLY sorts after the runtime's own callbacks.
extern "C" __attribute__((used, section(".CRT$XLY"))) const PIMAGE_TLS_CALLBACK lumoHostThreadCallback =
    lumo::forwardThreadNotification;
