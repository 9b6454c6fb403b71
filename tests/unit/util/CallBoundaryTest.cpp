// Exceptions stop at the boundary where the system calls us, as that call's failure.
#include "CallBoundary.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace lumo {
namespace {

TEST(CallBoundary, AnEscapingExceptionBecomesTheCallsFailureValue) {
  EXPECT_EQ(atBoundary("test", HRESULT{E_FAIL}, [] { return HRESULT{S_OK}; }), S_OK);
  EXPECT_EQ(atBoundary("test", HRESULT{E_FAIL}, []() -> HRESULT { throw std::bad_alloc(); }), E_FAIL);
  EXPECT_EQ(atBoundary("test", INVALID_HANDLE_VALUE, []() -> HANDLE { throw std::invalid_argument("stoi"); }),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(atBoundary("test", LRESULT{0}, []() -> LRESULT { throw 42; }), 0) << "not a std::exception";
  bool ran = false;
  atBoundary("test", [&] {
    ran = true;
    throw std::runtime_error("thread body");
  });
  EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace lumo
