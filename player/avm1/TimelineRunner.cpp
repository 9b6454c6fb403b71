#include "TimelineRunner.h"

#include "Collector.h"

namespace avm1 {

TimelineRunner::TimelineRunner(Machine& machine, std::vector<FrameCode> code, int frameCount,
                               double frameRate)
    : machine_(machine), code_(std::move(code)), frameCount_(frameCount < 1 ? 1 : frameCount),
      frameRate_(frameRate > 0 ? frameRate : 12) {}

void TimelineRunner::enterFrame() {
  ObjectRef root = machine_.root();
  if (next_ > 0) {  // onEnterFrame, set by an earlier frame, runs before this frame's code
    Value handler = root->get(machine_, "onEnterFrame");
    if (handler.isObject()) {
      machine_.runScript([&] { machine_.call(handler, Value(root), {}); });
    }
  }
  if (next_ < frameCount_) {
    for (bool init : {true, false})
      for (const FrameCode& c : code_)
        if (c.frame == next_ && c.init == init) machine_.runActions(c.code, root);
    ++next_;
  }
  nowMs_ += frameMilliseconds();
  machine_.runDueIntervals(nowMs_);
  if (Collector::due()) Collector::collect();  // between frames no script holds anything
}

}  // namespace avm1
