// One hook per thread of the process (a menu's loop runs on the thread that tracks it, which may
// be another form's); the hook only posts, so it never blocks that thread.
#include "MenuWatch.h"

#include <algorithm>
#include <mutex>
#include <utility>

#include "ThreadHooks.h"

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
  hooks_ = hookSentMessagesOfEveryThread(watchMessages);
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
