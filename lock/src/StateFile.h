// The state file of hidden shell items, "hidden-items.txt" in the library's data folder: one
// line "PID START ITEM" per item a process hid, START being the process's creation time, so
// that a reused process id is not taken for the process that hid the item.
#pragma once

#include <windows.h>

#include <vector>

namespace lumolock {

struct HiddenRecord {
  DWORD processId;
  unsigned long long processStart;
  UINT item;
};

class StateFile {
 public:
  // Holds the file's cross-process mutex for its lifetime.
  StateFile();
  ~StateFile();
  StateFile(const StateFile&) = delete;
  StateFile& operator=(const StateFile&) = delete;

  std::vector<HiddenRecord> read() const;
  bool write(const std::vector<HiddenRecord>& records) const;

  static HiddenRecord thisProcess(UINT item);
  // Whether the process of a record still runs.
  static bool alive(const HiddenRecord& record);

 private:
  HANDLE mutex_ = nullptr;
  bool owned_ = false;
};

}  // namespace lumolock
