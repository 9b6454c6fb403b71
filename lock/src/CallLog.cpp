// Appends one line per call to the file LUMO_LOCK_CALL_LOG names, opened per line so that a
// log shared by several processes keeps whole lines.
#include "CallLog.h"

#include "LumoLock.h"

namespace lumolock {

void logCallText(const char* name, const std::string& arguments) {
  wchar_t path[MAX_PATH * 2];
  const DWORD length = GetEnvironmentVariableW(WL_CALL_LOG_VARIABLE, path, MAX_PATH * 2);
  if (length == 0 || length >= MAX_PATH * 2) return;
  HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  std::string line = name;
  if (!arguments.empty()) line += " " + arguments;
  line += "\n";
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

void logCall(const char* name, std::initializer_list<unsigned long long> arguments) {
  std::string text;
  for (unsigned long long argument : arguments) {
    if (!text.empty()) text += ' ';
    text += std::to_string(argument);
  }
  logCallText(name, text);
}

}  // namespace lumolock
