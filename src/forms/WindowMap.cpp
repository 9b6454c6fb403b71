// The window map: intercepted player windows to their forms, looked up by the player-window
// procedure for every message.
#include "forms/WindowMap.h"

#include <map>

namespace lumo::windowMap {
namespace {

// Never destroyed: forms torn down by the application object's destructor at process exit
// still remove their windows from it.
std::map<HWND, Form*>& table() {
  static auto* map = new std::map<HWND, Form*>;
  return *map;
}

}  // namespace

void add(HWND window, Form* form) { table()[window] = form; }
void remove(HWND window) { table().erase(window); }

Form* find(HWND window) {
  auto it = table().find(window);
  return it == table().end() ? nullptr : it->second;
}

}  // namespace lumo::windowMap
