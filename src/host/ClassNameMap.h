// The player's window class names and the process-unique names they are really registered
// under, so the player never touches classes of an installed player.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace lumo {

// "%.8x_%.8x_%.8x_%.8x" from a new GUID's first three fields and a process-wide counter;
// without a GUID a fixed prefix, the tick count and the counter.
std::string generateClassName();

class ClassNameMap {
 public:
  // Records {playerName, a new generated name} and returns the generated name.
  std::string add(const std::string& playerName);
  // The generated name of the first entry for playerName.
  std::optional<std::string> find(const char* playerName) const;
  // Forgets the first entry for playerName once its class is unregistered, so that a later
  // registration under the same name is the one found.
  void removeFirst(const char* playerName);
  size_t size() const;
  void clear();

 private:
  struct Entry {
    std::string playerName;
    std::string generatedName;
  };
  mutable std::mutex lock_;
  std::vector<Entry> entries_;
};

}  // namespace lumo
