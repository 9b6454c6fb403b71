// The declaration string answering "vor.initialise": every API class with its properties,
// built anew on each request with the values read at that moment.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

namespace lumo {

// What the string takes from the running system.
struct DeclarationValues {
  std::wstring executablePath;       // full path, however long
  std::wstring executablePathShort;  // the same: a path cut at 260 characters names no file
  int screenWidth = 0;
  int screenHeight = 0;
  std::wstring tempPath;                 // as the system returns it
  std::array<std::wstring, 20> folders;  // indexed by SpecialFolder

  static DeclarationValues fromSystem(HMODULE executable = nullptr);
};

// moduleNames: the modules table's names in its (name) order.
std::wstring buildDeclarationString(const std::vector<std::wstring>& moduleNames,
                                    const DeclarationValues& values);

// The run-time values as declared.
std::wstring declaredApplicationPath(const std::wstring& executablePath);
std::wstring declaredApplicationFilename(const std::wstring& executablePath);

}  // namespace lumo
