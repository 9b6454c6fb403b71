// A thread-less 10-second timer that trims the process working set while the player runs.
#pragma once

#include <windows.h>

namespace lumo {

class WorkingSetTimer {
 public:
  WorkingSetTimer();
  WorkingSetTimer(const WorkingSetTimer&) = delete;
  WorkingSetTimer& operator=(const WorkingSetTimer&) = delete;
  ~WorkingSetTimer();

  UINT_PTR id() const { return id_; }
  // What each tick does: SetProcessWorkingSetSize(current process, -1, -1) when kernel32 has it.
  static bool trim();

 private:
  UINT_PTR id_ = 0;
};

}  // namespace lumo
