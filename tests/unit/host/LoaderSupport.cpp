// The test image is read once from the program's folder, where the build puts it.
#include "LoaderSupport.h"

#include <fstream>
#include <iterator>

namespace lumo::test {

std::wstring besideProgram(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\') + 1) + name;
}

std::vector<uint8_t> readFile(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

const std::vector<uint8_t>& testImage() {
  static const std::vector<uint8_t> bytes = readFile(besideProgram(L"hosttestimage.dll"));
  return bytes;
}

}  // namespace lumo::test
