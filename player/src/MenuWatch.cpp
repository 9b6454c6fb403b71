// One WH_CALLWNDPROC hook per thread of the process (a menu's loop runs on the thread that
// tracks it, which may be another form's); the hook only posts, so it never blocks that thread.
#include "MenuWatch.h"

#include <tlhelp32.h>

#include <algorithm>
#include <mutex>
#include <utility>

namespace {

struct Watcher {
  HWND notify;
  UINT message;
  bool armed;  // one message per arm(): a menu loop goes idle again after every message
};

std::mutex& watchersLock() {
  static std::mutex lock;
  return lock;
}
std::vector<Watcher>& watchers() {
  static std::vector<Watcher> list;
  return list;
}

LRESULT CALLBACK watchMessages(int code, WPARAM wParam, LPARAM lParam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && sent && sent->message == WM_ENTERIDLE && sent->wParam == MSGF_MENU) {
    std::lock_guard<std::mutex> hold(watchersLock());
    for (Watcher& w : watchers()) {
      if (w.armed) PostMessageW(w.notify, w.message, 0, 0);
      w.armed = false;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

MenuWatch::MenuWatch(HWND notify, UINT message) : notify_(notify) {
  {
    std::lock_guard<std::mutex> hold(watchersLock());
    watchers().push_back(Watcher{notify, message, true});
  }
  lumo::UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snapshot) return;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  const DWORD process = GetCurrentProcessId();
  for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry)) {
    if (entry.th32OwnerProcessID != process) continue;
    // A thread of this process needs no module handle; threads without a queue just refuse.
    if (HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, watchMessages, nullptr, entry.th32ThreadID))
      hooks_.emplace_back(hook);
  }
}

void MenuWatch::arm() {
  std::lock_guard<std::mutex> hold(watchersLock());
  for (Watcher& w : watchers())
    if (w.notify == notify_) w.armed = true;
}

MenuWatch::~MenuWatch() {
  hooks_.clear();
  std::lock_guard<std::mutex> hold(watchersLock());
  auto& list = watchers();
  list.erase(std::remove_if(list.begin(), list.end(), [this](const Watcher& w) { return w.notify == notify_; }), list.end());
}
