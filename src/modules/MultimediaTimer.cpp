// Multimedia timers. The service's callback carries a key, not the object: the callback finds
// the timer's tick data in a registry under a lock and takes its own reference before it lets
// go, so a timer stopped or destroyed on the main thread is never reached by a later tick, and
// a tick already running keeps its data however the timer ends.
#include "modules/MultimediaTimer.h"

#include <mmsystem.h>

#include "util/CallBoundary.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace lumo {
namespace {

struct Registry {
  std::mutex lock;
  std::map<DWORD_PTR, std::shared_ptr<MultimediaTimer::Ticks>> timers;
  DWORD_PTR nextKey = 1;
};

// Never destroyed: a timer may still be destroyed during the process's exit.
Registry& registry() {
  static auto* instance = new Registry();
  return *instance;
}

}  // namespace

MultimediaTimer::MultimediaTimer(int formId, Delivery delivery) : ticks_(std::make_shared<Ticks>()) {
  ticks_->formId = formId;
  ticks_->delivery = std::move(delivery);
  TIMECAPS caps{};
  if (timeGetDevCaps(&caps, sizeof caps) == MMSYSERR_NOERROR) resolution_ = std::min(caps.wPeriodMin, caps.wPeriodMax);
  if (resolution_ != 0) timeBeginPeriod(resolution_);
}

MultimediaTimer::~MultimediaTimer() {
  stop();
  if (resolution_ != 0) timeEndPeriod(resolution_);
}

void MultimediaTimer::start(int timerId, long interval, bool repeat) {
  ticks_->timerId = timerId;
  {
    std::lock_guard<std::mutex> guard(registry().lock);
    key_ = registry().nextKey++;
    registry().timers[key_] = ticks_;
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
}

void MultimediaTimer::tick() { ticks_->tick(); }

void MultimediaTimer::Ticks::tick() {
  const uint32_t ticked = count.load();
  if (delivery) delivery(formId, timerId, ticked);
  count.store(ticked + 1);  // only ticks write the count, one at a time
}

void CALLBACK MultimediaTimer::callback(UINT, UINT, DWORD_PTR key, DWORD_PTR, DWORD_PTR) {
  atBoundary("multimedia timer", [key] {
    std::shared_ptr<Ticks> ticks;
    {
      std::lock_guard<std::mutex> guard(registry().lock);
      const auto it = registry().timers.find(key);
      if (it == registry().timers.end()) return;  // stopped: this tick came too late
      ticks = it->second;
      ticks->running.fetch_add(1);
    }
    // The running count drops however the tick ends, or stopping would wait for ever.
    struct TickDone {
      std::atomic<int>& running;
      ~TickDone() { running.fetch_sub(1); }
    } done{ticks->running};
    ticks->tick();  // no lock held: the delivery waits on the main thread
  });
}

void MultimediaTimer::finishTicks() const {
  // A running tick may be waiting for this very thread to answer its movie call: keep
  // answering sent messages while waiting, or both would wait for ever.
  while (ticks_->running.load() != 0) {
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_SENDMESSAGE);
  }
}

}  // namespace lumo
