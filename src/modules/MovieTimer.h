// A numbered timer that a movie starts: the operations every timer kind provides, in the slot
// order the timer module relies on.
#pragma once

namespace lumo {

class MovieTimer {
 public:
  virtual ~MovieTimer() = default;
  // Starts ticking every `interval` milliseconds, or once when `repeat` is false.
  virtual void start(int timerId, long interval, bool repeat) = 0;
  // No tick starts after this returns; stopping twice does no harm.
  virtual void stop() = 0;
  // One tick: the movie hears the timer with the count so far, then the count goes up.
  virtual void tick() = 0;
};

}  // namespace lumo
