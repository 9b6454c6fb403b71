#include "Console.h"

#include <cstdio>

#ifdef _WIN32
#include "Utf.h"

#include <windows.h>
#endif

namespace lumo::builder {

namespace {

void write(std::FILE* stream, [[maybe_unused]] bool error, std::string_view utf8) {
#ifdef _WIN32
  HANDLE handle = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
    std::fflush(stream);
    const std::wstring text = record::fromUtf8(utf8);
    DWORD written = 0;
    WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
#endif
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
  std::fflush(stream);
}

}  // namespace

void writeOut(std::string_view utf8) { write(stdout, false, utf8); }
void writeErr(std::string_view utf8) { write(stderr, true, utf8); }

}  // namespace lumo::builder
