// A movie timer on the Windows multimedia timer service: precise intervals, ticks on the
// service's own thread, and a destructor that waits for a tick still running.
#pragma once

#include "modules/MovieTimer.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>

namespace lumo {

class MultimediaTimer final : public MovieTimer {
 public:
  // What a tick tells the movie: runs on the timer thread, and must not hold a lock while it
  // calls into the main thread.
  using Delivery = std::function<void(int formId, int timerId, uint32_t count)>;

  // Raises the system timer resolution to the device's finest for as long as the timer lives.
  MultimediaTimer(int formId, Delivery delivery);
  // Stops the timer, then gives the resolution back.
  ~MultimediaTimer() override;
  MultimediaTimer(const MultimediaTimer&) = delete;
  MultimediaTimer& operator=(const MultimediaTimer&) = delete;

  void start(int timerId, long interval, bool repeat) override;
  // Stops the timer and waits for a tick still running, handling messages sent to this thread
  // meanwhile, since that tick may be waiting on one.
  void stop() override;
  void tick() override;

  uint32_t count() const { return count_.load(); }
  bool running() const { return handle_ != 0; }
  int formId() const { return formId_; }

 private:
  static void CALLBACK callback(UINT id, UINT message, DWORD_PTR key, DWORD_PTR, DWORD_PTR);
  void waitForTicksInFlight() const;

  int formId_;
  int timerId_ = 0;
  UINT handle_ = 0;
  UINT resolution_ = 0;
  DWORD_PTR key_ = 0;  // how the timer thread finds this object while it is registered
  std::atomic<uint32_t> count_{0};
  std::atomic<int> ticksInFlight_{0};
  Delivery delivery_;
};

}  // namespace lumo
