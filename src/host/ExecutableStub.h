// One generated call adapter in executable memory: a hook thunk or the window-procedure stub,
// made for the architecture being built, with its unwind record on x86_64.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace lumo {

class ExecutableStub {
 public:
  // A hook thunk: calls replacement(real, context, the API's `argumentCount` arguments...).
  static std::unique_ptr<ExecutableStub> hookThunk(const void* real, const void* context, const void* replacement,
                                                   unsigned argumentCount);
  // A stub that calls procedure(context, the caller's `argumentCount` arguments...).
  static std::unique_ptr<ExecutableStub> prependStub(const void* context, const void* procedure,
                                                     unsigned argumentCount);

  ExecutableStub(const ExecutableStub&) = delete;
  ExecutableStub& operator=(const ExecutableStub&) = delete;
  ~ExecutableStub();

  void* entry() const { return memory_; }
  size_t codeSize() const { return codeSize_; }

 private:
  ExecutableStub() = default;
  static std::unique_ptr<ExecutableStub> place(const std::vector<uint8_t>& code, const std::vector<uint8_t>& unwind,
                                               uint32_t prologSize);

  void* memory_ = nullptr;
  size_t codeSize_ = 0;
  void* functionTable_ = nullptr;  // registered RUNTIME_FUNCTION (x86_64), else null
};

}  // namespace lumo
