// dbwin-listen.exe FILE: a system-wide listener of the debugger output (the DBWIN protocol).
// Every text any process writes with OutputDebugString is appended to FILE, one a line, until the
// listener is killed. It writes "ready" to the standard output once it listens.
#include <windows.h>

#include <cstdio>
#include <cstring>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fputs("usage: dbwin-listen FILE\n", stderr);
    return 2;
  }
  FILE* out = _wfopen(argv[1], L"ab");
  if (!out) return 1;
  HANDLE bufferReady = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY");
  HANDLE dataReady = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY");
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, L"DBWIN_BUFFER");
  auto* buffer = mapping ? static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 4096)) : nullptr;
  if (!bufferReady || !dataReady || !buffer) return 1;
  std::puts("ready");
  std::fflush(stdout);
  for (;;) {
    SetEvent(bufferReady);
    if (WaitForSingleObject(dataReady, INFINITE) != WAIT_OBJECT_0) return 1;
    // { DWORD process id; char text[] }, the text ANSI and terminated within the buffer.
    const char* text = buffer + sizeof(DWORD);
    const size_t length = strnlen(text, 4096 - sizeof(DWORD));
    size_t end = length;
    while (end > 0 && (text[end - 1] == '\n' || text[end - 1] == '\r')) --end;
    std::fwrite(text, 1, end, out);
    std::fputc('\n', out);
    std::fflush(out);
  }
}
