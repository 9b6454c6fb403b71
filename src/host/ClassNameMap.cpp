// Generated class names and the player-name → generated-name list, first entry wins; an
// unregistered class leaves the list.
#include "host/ClassNameMap.h"

#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <cstdio>

namespace lumo {

std::string generateClassName() {
  static std::atomic<uint32_t> counter{0};
  const uint32_t serial = ++counter;
  char text[64];
  GUID guid;
  if (SUCCEEDED(CoCreateGuid(&guid))) {
    std::snprintf(text, sizeof text, "%.8lx_%.8x_%.8x_%.8x", static_cast<unsigned long>(guid.Data1),
                  static_cast<unsigned>(guid.Data2), static_cast<unsigned>(guid.Data3), static_cast<unsigned>(serial));
  } else {
    // The counter keeps two names made within one tick apart.
    std::snprintf(text, sizeof text, "LumoPlayerClass%lu_%u", GetTickCount(), static_cast<unsigned>(serial));
  }
  return text;
}

std::string ClassNameMap::add(const std::string& playerName) {
  std::string generated = generateClassName();
  std::lock_guard<std::mutex> hold(lock_);
  entries_.push_back({playerName, generated});
  return generated;
}

std::optional<std::string> ClassNameMap::find(const char* playerName) const {
  std::lock_guard<std::mutex> hold(lock_);
  for (const Entry& entry : entries_) {
    if (entry.playerName == playerName) return entry.generatedName;
  }
  return std::nullopt;
}

void ClassNameMap::removeFirst(const char* playerName) {
  std::lock_guard<std::mutex> hold(lock_);
  for (auto entry = entries_.begin(); entry != entries_.end(); ++entry) {
    if (entry->playerName == playerName) {
      entries_.erase(entry);
      return;
    }
  }
}

size_t ClassNameMap::size() const {
  std::lock_guard<std::mutex> hold(lock_);
  return entries_.size();
}

void ClassNameMap::clear() {
  std::lock_guard<std::mutex> hold(lock_);
  entries_.clear();
}

}  // namespace lumo
