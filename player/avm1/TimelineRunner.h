// Plays a movie's main timeline for AVM1: on each frame its DoInitAction bodies, then its
// DoAction bodies, then `_root.onEnterFrame`, then the intervals that fell due. The player and
// the command-line runner share it; clips beyond _root have one frame in the stand-in.
#pragma once

#include "Machine.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace avm1 {

struct FrameCode {
  int frame = 0;
  bool init = false;
  std::shared_ptr<const Code> code;
};

class TimelineRunner {
 public:
  TimelineRunner(Machine& machine, std::vector<FrameCode> code, int frameCount, double frameRate);

  // Enters the next frame. After the last the timeline stays there (the stand-in's clips do
  // not loop); onEnterFrame goes on running each frame.
  void enterFrame();
  int currentFrame() const { return next_ - 1; }
  double frameMilliseconds() const { return 1000.0 / frameRate_; }

 private:
  Machine& machine_;
  std::vector<FrameCode> code_;
  int frameCount_;
  double frameRate_;
  int next_ = 0;
  double nowMs_ = 0;
};

}  // namespace avm1
