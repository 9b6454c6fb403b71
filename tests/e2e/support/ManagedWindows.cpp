// Linked into a test program whose projectors run with managed windows (see WindowMode.h).
#include <gtest/gtest.h>

#include "WindowMode.h"

namespace {

class ManagedWindows : public ::testing::Environment {
 public:
  void SetUp() override { lumo::e2e::setProjectorWindowMode(lumo::e2e::WindowMode::managed); }
  // The test programs that run next start with the prefix's default.
  void TearDown() override { lumo::e2e::setProjectorWindowMode(lumo::e2e::WindowMode::unmanaged); }
};

[[maybe_unused]] ::testing::Environment* const registered = ::testing::AddGlobalTestEnvironment(new ManagedWindows);

}  // namespace
