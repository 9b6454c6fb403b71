// vor.Application.Timer in real projectors: the movie starts, restarts and stops timers, and
// the test reads the ticks its player received (calls through vor.__callFunction) from the
// transcript, in the order they came.
#include "forms/FormsFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumo::e2e {
namespace {

const std::string kSep = "!}}v{}!";

std::string timer(const std::string& command, const std::string& arguments, int formId = 0) {
  return "call vor.Application.Timer." + command + " " + std::to_string(formId) + " \"<{lumo}>" + arguments + "\"\n";
}

// The legacy tick call as the transcript shows it: onAppTimer<id> with the count.
std::string tickLine(int id, int count) {
  return "setvariable \"vor.__callFunction\" \"onAppTimer" + std::to_string(id) + kSep + std::to_string(count) + "\"";
}

std::string prefixOfTick(int id) { return "setvariable \"vor.__callFunction\" \"onAppTimer" + std::to_string(id) + kSep; }

long lineOf(const std::vector<std::string>& lines, const std::string& text) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i] == text) return static_cast<long>(i);
  return -1;
}

// The counts of timer `id` between two lines (indices), in transcript order.
std::vector<int> countsOf(const std::vector<std::string>& lines, int id, long from = 0, long to = -1) {
  std::vector<int> counts;
  const std::string prefix = prefixOfTick(id);
  const size_t end = to < 0 ? lines.size() : static_cast<size_t>(to);
  for (size_t i = static_cast<size_t>(from); i < end && i < lines.size(); ++i)
    if (lines[i].rfind(prefix, 0) == 0) counts.push_back(std::stoi(lines[i].substr(prefix.size())));
  return counts;
}

bool ascendingFromZero(const std::vector<int>& counts) {
  for (size_t i = 0; i < counts.size(); ++i)
    if (counts[i] != static_cast<int>(i)) return false;
  return true;
}

TEST(TimerModuleE2E, TimersTickWithCountsFromZeroToTheirFormUntilStopped) {
  const std::string mainScript = "wait 300\n" + timer("start", "7,50,true") + "wait 600\n" + timer("stop", "7") +
                                 "log stopped 7\n" + timer("start", "8,30,false") + "wait 400\n" +
                                 "log one-shot\n" + timer("start", "9,40,true") + "wait 400\n" + "log restart 9\n" +
                                 timer("start", "9,40,true") + "wait 400\n" + timer("stopAll", "") +
                                 "log all stopped\nwait 2000\nlog end\n" +
                                 "call vor.Application.exitWithCode 0 \"<{lumo}>3\"\n";
  // The second form starts a timer and closes itself: its ticks then reach nobody.
  const std::string otherScript = "wait 300\n" + timer("start", "20,30,true", 1) + "wait 400\nlog other closes\n" +
                                  "call vor.Application.exitWithModalResult 1 \"<{lumo}>done\"\n";
  FormsProjector projector({{L"main.swf", mainScript}, {L"other.swf", otherScript}},
                           R"({"title": "Timers", "forms": [
                               {"name": "main", "movie": "main.swf", "width": 200, "height": 100,
                                "visibleAtStart": true},
                               {"name": "other", "movie": "other.swf", "x": 300, "width": 200, "height": 100,
                                "visibleAtStart": true}]})");
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  EXPECT_EQ(projector.process().wait(60000), 3);
  const auto lines = projector.transcript();
  const long stopped7 = lineOf(lines, "log \"stopped 7\""), oneShot = lineOf(lines, "log \"one-shot\""),
             restart9 = lineOf(lines, "log \"restart 9\""), allStopped = lineOf(lines, "log \"all stopped\""),
             end = lineOf(lines, "log \"end\""), otherCloses = lineOf(lines, "log \"other closes\"");
  ASSERT_TRUE(stopped7 > 0 && oneShot > stopped7 && restart9 > oneShot && allStopped > restart9 && end > allStopped);

  // Repeating: 0, 1, 2, ... then nothing after stop.
  const auto counts7 = countsOf(lines, 7);
  EXPECT_GE(counts7.size(), 3u);
  EXPECT_TRUE(ascendingFromZero(counts7));
  // A tick that was already on its way when stop came may still arrive; no other does.
  EXPECT_LE(countsOf(lines, 7, stopped7 + 1).size(), 1u);
  // Each tick is the legacy call, then the Timer event with the same count.
  const long first7 = lineOf(lines, tickLine(7, 0));
  ASSERT_GE(first7, 0);
  EXPECT_EQ(lines[first7 + 1], "setvariable \"vor.__callFunction\" \"vor.__dispatchEvent" + kSep + "Timer7" + kSep +
                                   "Application.Timer" + kSep + kSep + "count<{z}>0\"");

  // One-shot: exactly one tick, count 0.
  EXPECT_EQ(countsOf(lines, 8), std::vector<int>{0});

  // Restarted under the same id: the old timer is gone, the new one counts from 0 again.
  const auto before = countsOf(lines, 9, 0, restart9 + 1);
  const auto after = countsOf(lines, 9, restart9 + 1);
  EXPECT_GE(before.size(), 3u);
  EXPECT_TRUE(ascendingFromZero(before));
  ASSERT_FALSE(after.empty());
  // A tick of the first timer may land just after the log line, before the restart call.
  size_t restartAt = 0;
  while (restartAt < after.size() && after[restartAt] != 0) ++restartAt;
  const std::vector<int> afterRestart(after.begin() + static_cast<long>(restartAt), after.end());
  EXPECT_GE(afterRestart.size(), 3u);
  EXPECT_TRUE(ascendingFromZero(afterRestart)) << "only the new timer ticks";
  EXPECT_LE(countsOf(lines, 9, allStopped + 1).size(), 1u) << "stopAll stopped it";

  // The closed form's timer sends nothing once the form is gone.
  ASSERT_GT(otherCloses, 0);
  EXPECT_FALSE(countsOf(lines, 20, 0, otherCloses).empty());
  EXPECT_TRUE(countsOf(lines, 20, restart9, allStopped).empty()) << "no tick reaches a closed form";
}

TEST(TimerModuleE2E, TimersStillTickingWhenTheProjectorExitsDoNotStopItOrChangeItsCode) {
  // Fast timers on two forms, and the exit comes while they tick.
  std::string mainScript = "wait 300\n";
  for (int id = 1; id <= 4; ++id) mainScript += timer("start", std::to_string(id) + "," + std::to_string(id) + ",true");
  mainScript += "wait 500\nlog exiting\ncall vor.Application.exitWithCode 0 \"<{lumo}>9\"\n";
  const std::string otherScript = "wait 300\n" + timer("start", "11,2,true", 1) + timer("start", "12,1,true", 1);
  FormsProjector projector({{L"main.swf", mainScript}, {L"other.swf", otherScript}},
                           R"({"title": "TimersExit", "forms": [
                               {"name": "main", "movie": "main.swf", "width": 200, "height": 100,
                                "visibleAtStart": true},
                               {"name": "other", "movie": "other.swf", "x": 300, "width": 200, "height": 100,
                                "visibleAtStart": true}]})");
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  EXPECT_EQ(projector.process().wait(60000), 9);
  const auto lines = projector.transcript();
  EXPECT_NE(lineOf(lines, "log \"exiting\""), -1);
  EXPECT_GE(countsOf(lines, 4).size(), 3u) << "the timers were ticking";
  EXPECT_FALSE(countsOf(lines, 12).empty());
  EXPECT_TRUE(projector.privateFolders().empty()) << "shutdown ran to its end";
}

}  // namespace
}  // namespace lumo::e2e
