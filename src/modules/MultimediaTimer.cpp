// Multimedia timers. The service's callback carries a key, not the object: the callback finds
// the object in a registry under a lock and marks its tick as running before it lets go, so
// a timer that is stopped and destroyed on the main thread is never reached afterwards, and
// its destructor knows whether a tick is still running.
#include "modules/MultimediaTimer.h"

#include <mmsystem.h>

#include <algorithm>
#include <map>
#include <mutex>

namespace lumo {
namespace {

struct Registry {
  std::mutex lock;
  std::map<DWORD_PTR, MultimediaTimer*> timers;
  DWORD_PTR nextKey = 1;
};

// Never destroyed: a timer may still be destroyed during the process's exit.
Registry& registry() {
  static auto* instance = new Registry();
  return *instance;
}

}  // namespace

MultimediaTimer::MultimediaTimer(int formId, Delivery delivery) : formId_(formId), delivery_(std::move(delivery)) {
  TIMECAPS caps{};
  if (timeGetDevCaps(&caps, sizeof caps) == MMSYSERR_NOERROR) resolution_ = std::min(caps.wPeriodMin, caps.wPeriodMax);
  if (resolution_ != 0) timeBeginPeriod(resolution_);
}

MultimediaTimer::~MultimediaTimer() {
  stop();
  if (resolution_ != 0) timeEndPeriod(resolution_);
}

void MultimediaTimer::start(int timerId, long interval, bool repeat) {
  timerId_ = timerId;
  {
    std::lock_guard<std::mutex> guard(registry().lock);
    key_ = registry().nextKey++;
    registry().timers[key_] = this;
  }
  // The interval goes to the service as the movie gave it; one it refuses never ticks.
  handle_ = timeSetEvent(static_cast<UINT>(interval), resolution_, &MultimediaTimer::callback, key_,
                         repeat ? TIME_PERIODIC : TIME_ONESHOT);
  if (handle_ == 0) stop();
}

void MultimediaTimer::stop() {
  if (key_ != 0) {
    std::lock_guard<std::mutex> guard(registry().lock);
    registry().timers.erase(key_);
    key_ = 0;
  }
  if (handle_ != 0) timeKillEvent(handle_);
  handle_ = 0;
  // A tick that started before may still be on its way to the movie: the movie hears nothing
  // of this timer once stop has returned.
  waitForTicksInFlight();
}

void MultimediaTimer::tick() {
  const uint32_t count = count_.load();
  if (delivery_) delivery_(formId_, timerId_, count);
  count_.store(count + 1);  // only ticks write the count, one at a time
}

void CALLBACK MultimediaTimer::callback(UINT, UINT, DWORD_PTR key, DWORD_PTR, DWORD_PTR) {
  MultimediaTimer* timer = nullptr;
  {
    std::lock_guard<std::mutex> guard(registry().lock);
    const auto it = registry().timers.find(key);
    if (it == registry().timers.end()) return;  // stopped: this tick came too late
    timer = it->second;
    timer->ticksInFlight_.fetch_add(1);
  }
  timer->tick();  // no lock held: the delivery waits on the main thread
  timer->ticksInFlight_.fetch_sub(1);
}

void MultimediaTimer::waitForTicksInFlight() const {
  // A running tick may be waiting for this very thread to answer its movie call: keep
  // answering sent messages while waiting, or both would wait for ever.
  while (ticksInFlight_.load() != 0) {
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_SENDMESSAGE);
  }
}

}  // namespace lumo
