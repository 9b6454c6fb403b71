// A movie timer on the Windows multimedia timer service: precise intervals and ticks on the
// service's own thread.
#pragma once

#include "modules/MovieTimer.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

namespace lumo {

class MultimediaTimer final : public MovieTimer {
 public:
  // What a tick tells the movie: runs on the timer thread, and must not hold a lock while it
  // calls into the main thread.
  using Delivery = std::function<void(int formId, int timerId, uint32_t count)>;

  // Raises the system timer resolution to the device's finest for as long as the timer lives.
  MultimediaTimer(int formId, Delivery delivery);
  // Stops the timer and gives the resolution back. A tick already on its way keeps what it
  // needs alive and ends on its own: the movie's own handler may stop or replace the timer
  // from inside that tick, so nothing here waits for it.
  ~MultimediaTimer() override;
  MultimediaTimer(const MultimediaTimer&) = delete;
  MultimediaTimer& operator=(const MultimediaTimer&) = delete;

  void start(int timerId, long interval, bool repeat) override;
  // No new tick starts once this returns; one already delivering finishes.
  void stop() override;
  void tick() override;

  // Waits until no tick of this timer is running, answering messages sent to this thread
  // meanwhile (a running tick waits on the main thread). Only for callers that no tick can be
  // waiting on further up their own stack, such as shutdown.
  void finishTicks() const;

  uint32_t count() const { return ticks_->count.load(); }
  bool running() const { return handle_ != 0; }
  int formId() const { return ticks_->formId; }

  // What a tick uses: shared between the timer and the ticks running, so that it outlives both.
  struct Ticks {
    int formId = 0;
    int timerId = 0;
    Delivery delivery;
    std::atomic<uint32_t> count{0};
    std::atomic<int> running{0};
    void tick();
  };

 private:
  static void CALLBACK callback(UINT id, UINT message, DWORD_PTR key, DWORD_PTR, DWORD_PTR);

  std::shared_ptr<Ticks> ticks_;
  UINT handle_ = 0;
  UINT resolution_ = 0;
  DWORD_PTR key_ = 0;  // how the timer thread finds the ticks while the timer is registered
};

}  // namespace lumo
