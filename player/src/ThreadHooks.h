// Hooks on every thread of the process: what one thread's window procedures are sent, seen
// wherever it happens (a form's menu or tray icon may live on another form's thread).
#pragma once

#include <windows.h>

#include <vector>

#include "UniqueHandle.h"

// A WH_CALLWNDPROC hook with `proc` on each thread of the process that has a message queue.
std::vector<lumo::UniqueHook> hookSentMessagesOfEveryThread(HOOKPROC proc);
