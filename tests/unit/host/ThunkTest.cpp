// The generated call adapters: the x86 byte layouts, and on this build the native adapters
// called for real, with many arguments and with an exception unwinding through them.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "host/ExecutableStub.h"
#include "host/ThunkCode.h"

namespace lumo {
namespace {

TEST(LoaderThunkCode, X86HookThunkIsEighteenBytes) {
  const std::vector<uint8_t> expected{0x58,                          // pop eax
                                      0x68, 0x44, 0x33, 0x22, 0x11,  // push context
                                      0x68, 0x04, 0x03, 0x02, 0x01,  // push real
                                      0x50,                          // push eax
                                      0x68, 0xDD, 0xCC, 0xBB, 0xAA,  // push replacement
                                      0xC3};                         // ret
  EXPECT_EQ(x86HookThunk(0x01020304, 0x11223344, 0xAABBCCDD), expected);
}

TEST(LoaderThunkCode, X86WindowProcedureStubIsThirteenBytes) {
  const std::vector<uint8_t> expected{0x58, 0x68, 0x44, 0x33, 0x22, 0x11, 0x50, 0x68, 0xDD, 0xCC, 0xBB, 0xAA, 0xC3};
  EXPECT_EQ(x86PrependStub(0x11223344, 0xAABBCCDD), expected);
}

TEST(LoaderThunkCode, X64WindowProcedureStubReservesHomeSpaceForFiveArguments) {
  const X64Adapter adapter = x64PrependAdapter({0x1234}, 4, 0x5678);
  EXPECT_EQ(adapter.frameSize, 0x38u);
  EXPECT_EQ(adapter.prologSize, 7u);
  const std::vector<uint8_t> unwind = x64AdapterUnwindInfo(adapter);
  EXPECT_EQ(unwind, (std::vector<uint8_t>{0x01, 7, 1, 0, 7, 0x62, 0, 0}));  // UWOP_ALLOC_SMALL 0x38
  const X64Adapter large = x64PrependAdapter({1, 2}, 40, 3);
  EXPECT_EQ(x64AdapterUnwindInfo(large)[2], 2);  // UWOP_ALLOC_LARGE takes two slots
}

using Twelve = uintptr_t(WINAPI*)(uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t,
                                  uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t);

uintptr_t WINAPI realTwelve(uintptr_t a, uintptr_t b, uintptr_t c, uintptr_t d, uintptr_t e, uintptr_t f, uintptr_t g,
                            uintptr_t h, uintptr_t i, uintptr_t j, uintptr_t k, uintptr_t l) {
  return a + 2 * b + 3 * c + 4 * d + 5 * e + 6 * f + 7 * g + 8 * h + 9 * i + 10 * j + 11 * k + 12 * l;
}

uintptr_t WINAPI replacementTwelve(Twelve real, void* context, uintptr_t a, uintptr_t b, uintptr_t c, uintptr_t d,
                                   uintptr_t e, uintptr_t f, uintptr_t g, uintptr_t h, uintptr_t i, uintptr_t j,
                                   uintptr_t k, uintptr_t l) {
  const uintptr_t marker = *static_cast<uintptr_t*>(context);
  return marker * 100000 + real(a, b, c, d, e, f, g, h, i, j, k, l);
}

TEST(LoaderThunks, HookThunkHandsTheReplacementTheRealFunctionAndContext) {
  uintptr_t marker = 7;
  auto thunk = ExecutableStub::hookThunk(reinterpret_cast<const void*>(&realTwelve), &marker,
                                         reinterpret_cast<const void*>(&replacementTwelve), 12);
  ASSERT_NE(thunk, nullptr);
  const auto call = reinterpret_cast<Twelve>(thunk->entry());
  const uintptr_t expected = 7 * 100000 + realTwelve(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12);
  EXPECT_EQ(call(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12), expected);
}

using One = int(WINAPI*)(int);
int WINAPI realOne(int value) { return value + 1; }
int WINAPI throwingReplacement(One real, void*, int value) {
  if (value < 0) throw std::runtime_error("through the thunk");
  return real(value);
}

TEST(LoaderThunks, ExceptionsUnwindThroughAThunk) {
  auto thunk = ExecutableStub::hookThunk(reinterpret_cast<const void*>(&realOne), nullptr,
                                         reinterpret_cast<const void*>(&throwingReplacement), 1);
  ASSERT_NE(thunk, nullptr);
  const auto call = reinterpret_cast<One>(thunk->entry());
  EXPECT_EQ(call(41), 42);
  EXPECT_THROW(call(-1), std::runtime_error);
}

}  // namespace
}  // namespace lumo
