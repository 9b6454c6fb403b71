// vor.Application.Timer with a recording delivery: real multimedia timers, ticks counted from
// 0, one-shot and repeating, stop, stopAll, a restart under the same id, and destruction
// while a tick waits on the destroying thread.
#include "modules/TimerModule.h"

#include "../bridge/FakeForm.h"
#include "MessagePump.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

namespace lumo {
namespace {

struct Tick {
  int formId;
  int timerId;
  uint32_t count;
  bool operator==(const Tick&) const = default;
};

class Recorder {
 public:
  MultimediaTimer::Delivery delivery() {
    return [this](int formId, int timerId, uint32_t count) {
      std::lock_guard<std::mutex> guard(lock_);
      ticks_.push_back({formId, timerId, count});
    };
  }
  std::vector<Tick> ticks() {
    std::lock_guard<std::mutex> guard(lock_);
    return ticks_;
  }
  std::vector<uint32_t> counts(int timerId) {
    std::vector<uint32_t> result;
    for (const Tick& t : ticks())
      if (t.timerId == timerId) result.push_back(t.count);
    return result;
  }
  bool waitForTicks(int timerId, size_t n, DWORD ms = 5000) {
    return test::pumpUntil([&] { return counts(timerId).size() >= n; }, ms);
  }

 private:
  std::mutex lock_;
  std::vector<Tick> ticks_;
};

std::wstring call(TimerModule& module, FormInterface& form, const wchar_t* method, const Arguments& arguments) {
  return module.findMethod(method)->invoke(&form, arguments);
}

TEST(TimerModule, RepeatingTimerCountsFromZeroForItsFormUntilStopped) {
  Recorder recorder;
  TimerModule module(recorder.delivery());
  ASSERT_TRUE(module.registerMethods());
  EXPECT_EQ(module.name, L"vor.Application.Timer");
  test::FakeForm form(3, L"third");
  // Any third argument but exactly "false" repeats.
  EXPECT_EQ(call(module, form, L"start", {L"7", L"10", L"False"}), L"");
  ASSERT_TRUE(recorder.waitForTicks(7, 3));
  EXPECT_EQ(call(module, form, L"stop", {L"7"}), L"");
  const size_t stoppedAt = recorder.counts(7).size();
  test::pumpFor(100);
  const auto counts = recorder.counts(7);
  EXPECT_LE(counts.size(), stoppedAt + 1) << "no tick after stop but one that was already delivering";
  for (size_t i = 0; i < counts.size(); ++i) EXPECT_EQ(counts[i], i);
  EXPECT_EQ(recorder.ticks().front(), (Tick{3, 7, 0}));
  ASSERT_EQ(module.timers().count(7), 1u) << "a stopped timer stays in the table";
  EXPECT_FALSE(module.timers().at(7)->running());
}

TEST(TimerModule, FalseTicksOnceAndShortStartsDoNothing) {
  Recorder recorder;
  TimerModule module(recorder.delivery());
  module.registerMethods();
  test::FakeForm form(0, L"main");
  call(module, form, L"start", {L"1", L"10"});
  call(module, form, L"start", {});
  EXPECT_TRUE(module.timers().empty());
  call(module, form, L"start", {L"2", L"10", L"false"});
  ASSERT_TRUE(recorder.waitForTicks(2, 1));
  test::pumpFor(150);
  EXPECT_EQ(recorder.counts(2), std::vector<uint32_t>{0});
  // Unknown ids and an empty table are no error.
  EXPECT_EQ(call(module, form, L"stop", {L"99"}), L"");
  EXPECT_EQ(call(module, form, L"stop", {}), L"");
}

TEST(TimerModule, StartingAnIdAgainReplacesTheOldTimerAndStopAllStopsEvery) {
  Recorder recorder;
  TimerModule module(recorder.delivery());
  module.registerMethods();
  test::FakeForm first(0, L"main"), second(1, L"other");
  call(module, first, L"start", {L"5", L"10", L"true"});
  call(module, first, L"start", {L"6", L"10", L"true"});
  ASSERT_TRUE(recorder.waitForTicks(5, 2));
  call(module, second, L"start", {L"5", L"10", L"true"});
  const size_t oldTicks = recorder.ticks().size();
  ASSERT_TRUE(recorder.waitForTicks(6, 6));
  // Only the new timer ticks under 5: it belongs to the second form and counts from 0 again.
  std::vector<uint32_t> fromSecond;
  for (const Tick& t : recorder.ticks())
    if (t.timerId == 5 && t.formId == 1) fromSecond.push_back(t.count);
  size_t fromFirstLater = 0;
  const auto ticks = recorder.ticks();
  for (size_t i = oldTicks; i < ticks.size(); ++i)
    if (ticks[i].timerId == 5 && ticks[i].formId == 0) ++fromFirstLater;
  EXPECT_EQ(fromFirstLater, 0u) << "the replaced timer was stopped";
  ASSERT_FALSE(fromSecond.empty());
  EXPECT_EQ(fromSecond.front(), 0u);
  EXPECT_EQ(module.timers().size(), 2u);

  EXPECT_EQ(call(module, first, L"stopAll", {}), L"");
  const size_t stopped = recorder.ticks().size();
  test::pumpFor(100);
  EXPECT_LE(recorder.ticks().size(), stopped + 2) << "at most the ticks that were delivering";
  const size_t settled = recorder.ticks().size();
  test::pumpFor(100);
  EXPECT_EQ(recorder.ticks().size(), settled);
  EXPECT_EQ(module.timers().size(), 2u) << "stopAll keeps the timers in the table";
  module.clearMethods();
  EXPECT_TRUE(module.timers().empty());
  EXPECT_TRUE(module.methods.empty());
}

// A window on the test thread that a tick's delivery sends a message to, as a movie call goes
// to the player control on the main thread.
LRESULT CALLBACK answerWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) return 1;
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST(TimerModule, DestroyingTimersWaitsForATickThatWaitsOnTheSameThread) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = answerWindow;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"LumoTimerTestWindow";
  RegisterClassW(&wc);
  HWND window = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  HANDLE entered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<int> delivered{0};
  std::atomic<int> afterDestroy{0};
  std::atomic<bool> destroyed{false};
  {
    TimerModule module([&](int, int, uint32_t) {
      if (destroyed.load()) ++afterDestroy;
      SetEvent(entered);
      if (SendMessageW(window, WM_APP, 0, 0) == 1) ++delivered;
    });
    module.registerMethods();
    test::FakeForm form(0, L"main");
    call(module, form, L"start", {L"1", L"10", L"true"});
    // Not pumping: the tick is now blocked in its SendMessage to this thread.
    ASSERT_EQ(WaitForSingleObject(entered, 5000), WAIT_OBJECT_0);
    Sleep(50);
    module.clearMethods();  // would hang for ever if it did not answer the tick
    destroyed = true;
    EXPECT_GE(delivered.load(), 1);
  }
  test::pumpFor(100);
  EXPECT_EQ(afterDestroy.load(), 0);
  CloseHandle(entered);
  DestroyWindow(window);
}

// The main thread's answer to a tick runs the movie's handler, which may stop or replace the
// very timer that ticks: neither may wait for that tick.
TimerModule* reentrantModule = nullptr;
test::FakeForm* reentrantForm = nullptr;
LRESULT CALLBACK handlerWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) {
    const wchar_t* method = wParam == 1 ? L"stop" : L"start";
    const Arguments arguments = wParam == 1 ? Arguments{L"1"} : Arguments{L"2", L"10", L"true"};
    reentrantModule->findMethod(method)->invoke(reentrantForm, arguments);
    return 1;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST(TimerModule, AHandlerThatStopsOrRestartsItsOwnTimerInsideTheTickReturns) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = handlerWindow;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"LumoTimerHandlerWindow";
  RegisterClassW(&wc);
  HWND window = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  std::atomic<int> ticks1{0}, ticks2{0};
  TimerModule module([&](int, int timerId, uint32_t) {
    // Timer 1's first tick stops it; timer 2 restarts itself under its own id on every tick.
    if (timerId == 1 && ticks1++ == 0) SendMessageW(window, WM_APP, 1, 0);
    if (timerId == 2) {
      ++ticks2;
      SendMessageW(window, WM_APP, 2, 0);
    }
  });
  module.registerMethods();
  test::FakeForm form(0, L"main");
  reentrantModule = &module;
  reentrantForm = &form;
  call(module, form, L"start", {L"1", L"10", L"true"});
  call(module, form, L"start", {L"2", L"10", L"true"});
  EXPECT_TRUE(test::pumpUntil([&] { return ticks2 >= 5; }, 5000)) << "each restarted timer ticks on";
  EXPECT_EQ(ticks1.load(), 1);
  EXPECT_FALSE(module.timers().at(1)->running());
  module.clearMethods();
  DestroyWindow(window);
}

TEST(TimerModule, DestroyAllTimersStopsEveryLiveModule) {
  Recorder recorder;
  TimerModule module(recorder.delivery());
  module.registerMethods();
  test::FakeForm form(0, L"main");
  call(module, form, L"start", {L"4", L"10", L"true"});
  ASSERT_TRUE(recorder.waitForTicks(4, 1));
  TimerModule::destroyAllTimers();
  EXPECT_TRUE(module.timers().empty());
  const size_t ticks = recorder.ticks().size();
  test::pumpFor(100);
  EXPECT_EQ(recorder.ticks().size(), ticks);
}

}  // namespace
}  // namespace lumo
