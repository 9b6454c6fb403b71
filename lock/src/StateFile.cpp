// Reading and writing the hidden-items state file under a named mutex.
#include "StateFile.h"

#include "Module.h"

#include <string>

namespace lumolock {
namespace {

constexpr DWORD kMutexWaitMs = 2000;

std::wstring statePath() {
  const std::wstring folder = dataFolder();
  return folder.empty() ? std::wstring() : folder + L"\\hidden-items.txt";
}

unsigned long long startTime(HANDLE process) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

}  // namespace

StateFile::StateFile() {
  mutex_ = CreateMutexW(nullptr, FALSE, L"Local\\LumoLockState");
  if (mutex_) {
    const DWORD waited = WaitForSingleObject(mutex_, kMutexWaitMs);
    owned_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
  }
}

StateFile::~StateFile() {
  if (owned_) ReleaseMutex(mutex_);
  if (mutex_) CloseHandle(mutex_);
}

std::vector<HiddenRecord> StateFile::read() const {
  std::vector<HiddenRecord> records;
  const std::wstring path = statePath();
  if (path.empty()) return records;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return records;
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0 && text.size() < (1u << 20))
    text.append(buffer, got);
  CloseHandle(file);
  // Three decimal numbers a record, separated by white space; the first malformed number ends the
  // list, as a stream extraction would. Parsed by hand: a string stream alone drags the locale
  // machinery of the C++ library into this small DLL.
  const char* p = text.c_str();
  auto number = [&p](unsigned long long& out) {
    while (*p == ' ' || *p == '\n' || *p == '\r' || *p == '\t') ++p;
    if (*p < '0' || *p > '9') return false;
    out = 0;
    for (; *p >= '0' && *p <= '9'; ++p) out = out * 10 + static_cast<unsigned>(*p - '0');
    return true;
  };
  unsigned long long id = 0, start = 0, item = 0;
  while (number(id) && number(start) && number(item))
    records.push_back({static_cast<DWORD>(id), start, static_cast<UINT>(item)});
  return records;
}

bool StateFile::write(const std::vector<HiddenRecord>& records) const {
  const std::wstring path = statePath();
  if (path.empty()) return false;
  if (records.empty()) return DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
  std::string text;
  for (const HiddenRecord& r : records)
    text += std::to_string(r.processId) + " " + std::to_string(r.processStart) + " " + std::to_string(r.item) + "\n";
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                  written == text.size();
  CloseHandle(file);
  return ok;
}

HiddenRecord StateFile::thisProcess(UINT item) {
  return {GetCurrentProcessId(), startTime(GetCurrentProcess()), item};
}

bool StateFile::alive(const HiddenRecord& record) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, record.processId);
  if (!process) return false;
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT && startTime(process) == record.processStart;
  CloseHandle(process);
  return running;
}

}  // namespace lumolock
