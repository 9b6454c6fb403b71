// Linked into a test program whose projectors run with unmanaged windows (see WindowMode.h).
#include <gtest/gtest.h>

#include "WindowMode.h"

namespace {

class UnmanagedWindows : public ::testing::Environment {
 public:
  void SetUp() override { lumo::e2e::setProjectorWindowMode(lumo::e2e::WindowMode::unmanaged); }
};

[[maybe_unused]] ::testing::Environment* const registered = ::testing::AddGlobalTestEnvironment(new UnmanagedWindows);

}  // namespace
