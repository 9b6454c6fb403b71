// Machine code of the small call adapters the player module generates: the hook thunk that
// hands a replacement the real function and the module, and the window-procedure stub.
#pragma once

#include <cstdint>
#include <vector>

namespace lumo {

// x86 (stdcall): pop the return address, push the extra words, push the return address back,
// continue in the target. The callee sees the extra words before the caller's arguments and
// removes them with its own.
// 18 bytes: pop eax; push context; push real; push eax; push replacement; ret.
std::vector<uint8_t> x86HookThunk(uint32_t real, uint32_t context, uint32_t replacement);
// 13 bytes: pop eax; push context; push eax; push procedure; ret.
std::vector<uint8_t> x86PrependStub(uint32_t context, uint32_t procedure);

// x86_64: the arguments travel in registers and the caller owns the stack, so the adapter
// builds a fresh frame: it shifts the caller's `argumentCount` arguments right by the number
// of extra words, loads the extra words into the first argument registers, calls the target
// and returns its result. The frame needs an unwind record (see X64Adapter).
struct X64Adapter {
  std::vector<uint8_t> code;
  uint32_t frameSize = 0;    // bytes reserved by the one prologue instruction
  uint32_t prologSize = 0;   // length of that instruction
};
// extra: one or two 64-bit words that become the first arguments, in order.
X64Adapter x64PrependAdapter(const std::vector<uint64_t>& extra, unsigned argumentCount, uint64_t target);
// The UNWIND_INFO bytes describing an adapter's single stack allocation.
std::vector<uint8_t> x64AdapterUnwindInfo(const X64Adapter& adapter);

}  // namespace lumo
