// Control class registration: style CS_GLOBALCLASS | CS_DBLCLKS, the stub as procedure, the
// runtime's instance, background COLOR_WINDOW + 1; the wide class only where user32 has it.
#include "host/ControlClasses.h"

#include "host/ClassNameMap.h"

namespace lumo {

bool ControlClasses::registerClasses(const void* module, const void* procedure, std::string ansiName,
                                     std::wstring wideName, HINSTANCE instance) {
  stub_ = ExecutableStub::prependStub(module, procedure, 4);
  if (!stub_) return false;
  instance_ = instance;
  ansiName_ = ansiName.empty() ? generateClassName() : std::move(ansiName);
  WNDCLASSEXA ansi{};
  ansi.cbSize = sizeof ansi;
  ansi.style = CS_GLOBALCLASS | CS_DBLCLKS;
  ansi.lpfnWndProc = reinterpret_cast<WNDPROC>(stub_->entry());
  ansi.hInstance = instance;
  ansi.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  ansi.lpszClassName = ansiName_.c_str();
  ansiAtom_ = RegisterClassExA(&ansi);

  using RegisterWide = ATOM(WINAPI*)(const WNDCLASSEXW*);
  const auto registerWide =
      reinterpret_cast<RegisterWide>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "RegisterClassExW")));
  if (registerWide) {
    if (wideName.empty()) {
      const std::string generated = generateClassName();
      wideName = std::wstring(generated.begin(), generated.end());
    }
    wideName_ = std::move(wideName);
    WNDCLASSEXW wide{};
    wide.cbSize = sizeof wide;
    wide.style = CS_GLOBALCLASS | CS_DBLCLKS;
    wide.lpfnWndProc = reinterpret_cast<WNDPROC>(stub_->entry());
    wide.hInstance = instance;
    wide.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wide.lpszClassName = wideName_.c_str();
    wideAtom_ = registerWide(&wide);
  }
  return true;
}

ControlClasses::~ControlClasses() {
  if (ansiAtom_) UnregisterClassA(MAKEINTRESOURCEA(ansiAtom_), instance_);
  if (wideAtom_) UnregisterClassW(MAKEINTRESOURCEW(wideAtom_), instance_);
}

}  // namespace lumo
