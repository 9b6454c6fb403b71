// Byte-level generators for the hook thunks and window-procedure stubs of both architectures;
// pure functions so both can be checked on any build.
#include "host/ThunkCode.h"

#include <initializer_list>
#include <stdexcept>

namespace lumo {
namespace {

void append(std::vector<uint8_t>& code, std::initializer_list<uint8_t> bytes) {
  for (uint8_t byte : bytes) code.push_back(byte);
}
void put32(std::vector<uint8_t>& code, uint32_t value) {
  for (int i = 0; i < 4; ++i) code.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
void put64(std::vector<uint8_t>& code, uint64_t value) {
  for (int i = 0; i < 8; ++i) code.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// x86_64 registers of the first four arguments: rcx, rdx, r8, r9 (number, needs REX extension).
struct ArgumentRegister {
  uint8_t number;
  bool extended;
};
constexpr ArgumentRegister kArgumentRegisters[4] = {{1, false}, {2, false}, {0, true}, {1, true}};

// mov qword [rsp+offset], reg
void storeToStack(std::vector<uint8_t>& code, ArgumentRegister reg, uint32_t offset) {
  code.push_back(reg.extended ? 0x4C : 0x48);
  code.push_back(0x89);
  code.push_back(static_cast<uint8_t>(0x84 | (reg.number << 3)));
  code.push_back(0x24);
  put32(code, offset);
}
// mov dst, src (64-bit)
void moveRegister(std::vector<uint8_t>& code, ArgumentRegister dst, ArgumentRegister src) {
  code.push_back(static_cast<uint8_t>(0x48 | (src.extended ? 4 : 0) | (dst.extended ? 1 : 0)));
  code.push_back(0x89);
  code.push_back(static_cast<uint8_t>(0xC0 | (src.number << 3) | dst.number));
}
// mov reg, imm64
void loadImmediate(std::vector<uint8_t>& code, ArgumentRegister reg, uint64_t value) {
  code.push_back(reg.extended ? 0x49 : 0x48);
  code.push_back(static_cast<uint8_t>(0xB8 + reg.number));
  put64(code, value);
}

}  // namespace

std::vector<uint8_t> x86HookThunk(uint32_t real, uint32_t context, uint32_t replacement) {
  std::vector<uint8_t> code{0x58};  // pop eax
  code.push_back(0x68);             // push context
  put32(code, context);
  code.push_back(0x68);             // push real
  put32(code, real);
  code.push_back(0x50);             // push eax
  code.push_back(0x68);             // push replacement
  put32(code, replacement);
  code.push_back(0xC3);             // ret
  return code;
}

std::vector<uint8_t> x86PrependStub(uint32_t context, uint32_t procedure) {
  std::vector<uint8_t> code{0x58};  // pop eax
  code.push_back(0x68);             // push context
  put32(code, context);
  code.push_back(0x50);             // push eax
  code.push_back(0x68);             // push procedure
  put32(code, procedure);
  code.push_back(0xC3);             // ret
  return code;
}

X64Adapter x64PrependAdapter(const std::vector<uint64_t>& extra, unsigned argumentCount, uint64_t target) {
  const unsigned shift = static_cast<unsigned>(extra.size());
  if (shift == 0 || shift > 4) throw std::invalid_argument("x64PrependAdapter: one to four extra words");
  const unsigned total = argumentCount + shift;
  // Home space for at least four arguments, 16-byte aligned at the call (entry rsp is 8 off).
  const uint32_t slots = total < 4 ? 4 : total;
  X64Adapter adapter;
  adapter.frameSize = ((slots * 8 + 15) & ~15u) + 8;
  std::vector<uint8_t>& code = adapter.code;

  append(code, {0x48, 0x81, 0xEC});  // sub rsp, frame
  put32(code, adapter.frameSize);
  adapter.prologSize = static_cast<uint32_t>(code.size());

  // Stack arguments of the caller (5th and later) move `shift` slots up in the new frame.
  for (unsigned k = 5; k <= argumentCount; ++k) {
    append(code, {0x48, 0x8B, 0x84, 0x24});  // mov rax, [rsp+from]
    put32(code, adapter.frameSize + 8 * k);
    append(code, {0x48, 0x89, 0x84, 0x24});  // mov [rsp+to], rax
    put32(code, 8 * (k + shift - 1));
  }
  // Register arguments, highest first so no source is overwritten before it is read.
  for (unsigned k = argumentCount < 4 ? argumentCount : 4; k >= 1; --k) {
    const unsigned j = k + shift;
    if (j <= 4)
      moveRegister(code, kArgumentRegisters[j - 1], kArgumentRegisters[k - 1]);
    else
      storeToStack(code, kArgumentRegisters[k - 1], 8 * (j - 1));
  }
  for (unsigned i = 0; i < shift; ++i) loadImmediate(code, kArgumentRegisters[i], extra[i]);

  append(code, {0x48, 0xB8});  // mov rax, target
  put64(code, target);
  append(code, {0xFF, 0xD0});  // call rax
  append(code, {0x48, 0x81, 0xC4});  // add rsp, frame
  put32(code, adapter.frameSize);
  code.push_back(0xC3);  // ret
  return adapter;
}

std::vector<uint8_t> x64AdapterUnwindInfo(const X64Adapter& adapter) {
  // UNWIND_INFO: version 1, no flags, prolog size, code count, no frame register.
  std::vector<uint8_t> info{0x01, static_cast<uint8_t>(adapter.prologSize), 0, 0};
  const uint8_t offset = static_cast<uint8_t>(adapter.prologSize);
  if (adapter.frameSize <= 128) {
    // UWOP_ALLOC_SMALL (2): size = info * 8 + 8.
    append(info, {offset, static_cast<uint8_t>(0x02 | (((adapter.frameSize - 8) / 8) << 4))});
    info[2] = 1;
    append(info, {0, 0});  // the code array has an even number of slots
  } else {
    // UWOP_ALLOC_LARGE (1) with info 0: the next slot holds size / 8.
    const uint32_t scaled = adapter.frameSize / 8;
    append(info, {offset, 0x01, static_cast<uint8_t>(scaled), static_cast<uint8_t>(scaled >> 8)});
    info[2] = 2;
  }
  return info;
}

}  // namespace lumo
