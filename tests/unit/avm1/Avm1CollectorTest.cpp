// The cycle collector: what closures, prototypes and objects referring to each other leave
// behind each frame is freed between frames, and nothing still reachable (from the script or
// held by the player around it) is touched.
#include "Collector.h"
#include "Compiler.h"
#include "Machine.h"
#include "TimelineRunner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RecordingHost : public avm1::Host {
 public:
  std::vector<std::string> lines;
  void trace(const std::string& line) override { lines.push_back(line); }
  void getUrl(const std::string&, const std::string&) override {}
  avm1::Value externalCall(const std::string&, const avm1::Args&) override { return avm1::Value(); }
};

// Each frame makes a closure that holds its own activation, a constructor whose prototype
// points back at it, an instance, and a pair of objects pointing at each other; the last
// frame's set stays reachable from _root.
const char* const kCycles = R"(
var frames = 0;
function makeCycles(n) {
  var self = {name: "set " + n};
  self.back = function() { return self; };
  function Node() { this.owner = Node; }
  Node.prototype.kind = Node;
  self.node = new Node();
  var a = {}, b = {a: a};
  a.b = b;
  self.pair = a;
  return self;
}
this.onEnterFrame = function() {
  frames++;
  for (var i = 0; i < 20; i++) _root.kept = makeCycles(frames);
};
)";

TEST(Avm1CollectorTest, CyclesMadeEachFrameDoNotAccumulate) {
  RecordingHost host;
  avm1::Machine m(8, host);
  auto code = std::make_shared<avm1::Code>(avm1::Code{as2c::compileActions(kCycles, 8), 8});
  avm1::TimelineRunner timeline(m, {{0, false, code}}, 1, 30);
  size_t peak = 0, settled = 0;
  for (int frame = 1; frame <= 1000; ++frame) {
    timeline.enterFrame();
    if (frame == 200) {
      avm1::Collector::collect();
      settled = avm1::Object::liveCount();
    }
    if (frame > 200) peak = std::max(peak, avm1::Object::liveCount());
  }
  avm1::Collector::collect();
  EXPECT_EQ(avm1::Object::liveCount(), settled) << "the same state after 800 more frames";
  EXPECT_LT(peak, settled + 20000) << "collected between frames, not only at the end";
  // What the script still reaches works as it did.
  EXPECT_EQ(m.textOf(m.getVariable("kept.back")), "[type Function]");
  EXPECT_EQ(m.textOf(m.getVariable("kept.name")), "set 999");  // onEnterFrame from the second frame
  EXPECT_EQ(m.textOf(m.getVariable("kept.pair.b.a.b.a.b")), "[object Object]");
  EXPECT_EQ(m.textOf(m.getVariable("kept.node.owner.prototype.kind.prototype.kind")), "[type Function]");
  EXPECT_TRUE(host.lines.empty());
}

TEST(Avm1CollectorTest, ObjectsHeldOutsideTheScriptSurvive) {
  RecordingHost host;
  avm1::Machine m(8, host);
  auto code = std::make_shared<avm1::Code>(avm1::Code{as2c::compileActions(
      "function make() { var o = {n: 7}; o.self = o; o.get = function() { return o.n; }; return o; }"
      "var o = make(); var f = o.get;", 8), 8});
  m.runActions(code, m.root());
  avm1::Value object = m.getVariable("o"), function = m.getVariable("f");
  m.setVariable("o", avm1::Value());
  m.setVariable("f", avm1::Value());
  avm1::Collector::collect();
  EXPECT_EQ(m.textOf(object.object()->get(m, "self")), "[object Object]");
  EXPECT_EQ(m.toNumber(m.call(function, avm1::Value(), {})), 7) << "the closure keeps its scope";
  object = function = avm1::Value();
  size_t before = avm1::Object::liveCount();
  EXPECT_GE(avm1::Collector::collect(), 4u) << "let go, the cycle goes";
  EXPECT_LT(avm1::Object::liveCount(), before);
}

}  // namespace
