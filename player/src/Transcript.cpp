// The transcript file: opened for appending per line, so lines from several players and
// processes never interleave inside a line and are on disk as soon as they are written.
#include "Transcript.h"

#include <windows.h>

#include "ScriptText.h"
#include "Text.h"
#include "UniqueHandle.h"

namespace transcript {

void write(std::wstring_view line) {
  wchar_t path[MAX_PATH * 2];
  DWORD n = GetEnvironmentVariableW(L"LUMO_PLAYER_TRANSCRIPT", path, MAX_PATH * 2);
  if (n == 0 || n >= MAX_PATH * 2) return;
  lumo::UniqueFileHandle file(CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  std::string bytes = wideToUtf8(line);
  bytes += '\n';
  DWORD written = 0;
  WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring quote(std::wstring_view text) { return utf8ToWide(movie::quoteToken(wideToUtf8(text))); }

}  // namespace transcript
