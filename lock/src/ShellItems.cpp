// Shell items by window class: the desktop is "Progman", the taskbar "Shell_TrayWnd" (and the
// taskbars of further screens), the Start button and notification area live in the taskbar.
#include "ShellItems.h"

#include "LumoLock.h"
#include "StateFile.h"

#include <algorithm>

namespace lumolock {
namespace {

// Shown again without activation, so that the kiosk window keeps the focus. Asynchronous:
// the shell belongs to another process, which nobody here should wait for.
void show(HWND window) { ShowWindowAsync(window, SW_SHOWNA); }

BOOL CALLBACK collectClass(HWND window, LPARAM data) {
  auto* found = reinterpret_cast<std::pair<const wchar_t*, std::vector<HWND>*>*>(data);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (lstrcmpW(name, found->first) == 0) found->second->push_back(window);
  return TRUE;
}

std::vector<HWND> topLevelOfClass(const wchar_t* className) {
  std::vector<HWND> windows;
  std::pair<const wchar_t*, std::vector<HWND>*> search{className, &windows};
  EnumWindows(collectClass, reinterpret_cast<LPARAM>(&search));
  return windows;
}

HWND startButton(HWND taskbar) {
  if (taskbar) {
    if (HWND start = FindWindowExW(taskbar, nullptr, L"Start", nullptr)) return start;
    if (HWND start = FindWindowExW(taskbar, nullptr, L"Button", nullptr)) return start;
  }
  return FindWindowW(L"Button", L"Start");  // a window of its own on some versions
}

}  // namespace

ShellItems& ShellItems::instance() {
  static ShellItems items;
  return items;
}

HWND ShellItems::desktopIconList() {
  HWND view = FindWindowExW(FindWindowW(L"Progman", nullptr), nullptr, L"SHELLDLL_DefView", nullptr);
  for (HWND worker = nullptr; !view && (worker = FindWindowExW(nullptr, worker, L"WorkerW", nullptr));)
    view = FindWindowExW(worker, nullptr, L"SHELLDLL_DefView", nullptr);
  return view ? FindWindowExW(view, nullptr, L"SysListView32", nullptr) : nullptr;
}

std::vector<HWND> ShellItems::windowsOf(UINT item) {
  HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
  std::vector<HWND> windows;
  switch (item) {
    case WL_ITEM_DESKTOP_ICONS:
      windows.push_back(desktopIconList());
      break;
    case WL_ITEM_DESKTOP:
      windows.push_back(FindWindowW(L"Progman", nullptr));
      break;
    case WL_ITEM_START_BUTTON:
      windows.push_back(startButton(taskbar));
      break;
    case WL_ITEM_NOTIFICATION_AREA:
      windows.push_back(taskbar ? FindWindowExW(taskbar, nullptr, L"TrayNotifyWnd", nullptr) : nullptr);
      break;
    case WL_ITEM_TASKBAR:
      windows.push_back(taskbar);
      for (HWND more : topLevelOfClass(L"Shell_SecondaryTrayWnd")) windows.push_back(more);
      break;
    default:
      break;
  }
  windows.erase(std::remove(windows.begin(), windows.end(), nullptr), windows.end());
  return windows;
}

bool ShellItems::setHidden(UINT item, bool hidden) {
  AcquireSRWLockExclusive(&lock_);
  auto it = std::find_if(hidden_.begin(), hidden_.end(), [item](const Hidden& h) { return h.item == item; });
  bool done = false;
  if (hidden && it == hidden_.end()) {
    Hidden record{item, {}};
    for (HWND window : windowsOf(item))
      if (IsWindowVisible(window)) record.windows.push_back(window);
    done = !record.windows.empty();
    if (done) {
      // Recorded before anything is hidden, so that whatever happens next the record is there.
      StateFile state;
      auto records = state.read();
      records.push_back(StateFile::thisProcess(item));
      state.write(records);
      for (HWND window : record.windows) ShowWindowAsync(window, SW_HIDE);
      hidden_.push_back(std::move(record));
    }
  } else if (hidden) {
    done = true;  // already hidden by this process
  } else if (it != hidden_.end()) {
    for (HWND window : it->windows)
      if (IsWindow(window)) show(window);
    hidden_.erase(it);
    StateFile state;
    auto records = state.read();
    const HiddenRecord self = StateFile::thisProcess(item);
    records.erase(std::remove_if(records.begin(), records.end(),
                                 [&](const HiddenRecord& r) {
                                   return r.processId == self.processId && r.processStart == self.processStart &&
                                          r.item == item;
                                 }),
                  records.end());
    state.write(records);
    done = true;
  }
  ReleaseSRWLockExclusive(&lock_);
  return done;
}

bool ShellItems::isHidden(UINT item) const {
  AcquireSRWLockShared(&lock_);
  const bool found =
      std::any_of(hidden_.begin(), hidden_.end(), [item](const Hidden& h) { return h.item == item; });
  ReleaseSRWLockShared(&lock_);
  return found;
}

void ShellItems::showAll() {
  AcquireSRWLockExclusive(&lock_);
  for (const Hidden& h : hidden_)
    for (HWND window : h.windows)
      if (IsWindow(window)) show(window);
  if (!hidden_.empty()) {
    StateFile state;
    auto records = state.read();
    const HiddenRecord self = StateFile::thisProcess(0);
    records.erase(std::remove_if(records.begin(), records.end(),
                                 [&](const HiddenRecord& r) {
                                   return r.processId == self.processId && r.processStart == self.processStart;
                                 }),
                  records.end());
    state.write(records);
  }
  hidden_.clear();
  ReleaseSRWLockExclusive(&lock_);
}

void ShellItems::restoreLeftovers() {
  StateFile state;
  auto records = state.read();
  if (records.empty()) return;
  const DWORD self = GetCurrentProcessId();
  std::vector<HiddenRecord> kept, left;
  for (const HiddenRecord& record : records) {
    // A record of this very process is left from an earlier load that could not clean up.
    (record.processId != self && StateFile::alive(record) ? kept : left).push_back(record);
  }
  for (const HiddenRecord& record : left) {
    // An item that a running process hid too stays hidden for it.
    if (std::any_of(kept.begin(), kept.end(), [&](const HiddenRecord& k) { return k.item == record.item; })) continue;
    for (HWND window : windowsOf(record.item)) show(window);
  }
  if (!left.empty()) state.write(kept);
}

}  // namespace lumolock
