// read-file.exe PATH: reads a file whole into memory and exits: the baseline of loading a
// projector's record.
#include <windows.h>

#include <vector>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  HANDLE file = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  LARGE_INTEGER size{};
  GetFileSizeEx(file, &size);
  std::vector<char> bytes(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  size_t done = 0;
  while (done < bytes.size() && ReadFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &read,
                                         nullptr) && read > 0) {
    done += read;
  }
  CloseHandle(file);
  return done == bytes.size() ? 0 : 1;
}
