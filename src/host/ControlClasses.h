// The two window classes of player controls (ANSI and wide registration), whose procedure is
// reached through a stub that passes the player module as first argument.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "host/ExecutableStub.h"

namespace lumo {

class ControlClasses {
 public:
  ControlClasses() = default;
  ControlClasses(const ControlClasses&) = delete;
  ControlClasses& operator=(const ControlClasses&) = delete;
  ~ControlClasses();

  // Makes the stub and registers both classes (empty names are generated). False when the
  // stub cannot be made; a failed registration leaves its atom 0.
  bool registerClasses(const void* module, const void* procedure, std::string ansiName, std::wstring wideName,
                       HINSTANCE instance);

  ATOM ansiAtom() const { return ansiAtom_; }
  ATOM wideAtom() const { return wideAtom_; }
  const std::string& ansiName() const { return ansiName_; }
  const std::wstring& wideName() const { return wideName_; }
  const void* stub() const { return stub_ ? stub_->entry() : nullptr; }

 private:
  std::unique_ptr<ExecutableStub> stub_;
  HINSTANCE instance_ = nullptr;
  ATOM ansiAtom_ = 0;
  ATOM wideAtom_ = 0;
  std::string ansiName_;
  std::wstring wideName_;
};

}  // namespace lumo
