// Shared pieces of the loader tests: the test image's bytes, a module with it mapped, and
// typed access to the image's exports.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "host/PlayerModule.h"

namespace lumo::test {

// A file next to the test program.
std::wstring besideProgram(const wchar_t* name);
std::vector<uint8_t> readFile(const std::wstring& path);
// hosttestimage.dll as bytes.
const std::vector<uint8_t>& testImage();

// A module with the test image mapped from memory.
class LoadedTestImage : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = PlayerModule::loadFromMemory(testImage().data(), testImage().size(), options());
    ASSERT_NE(module_, nullptr);
  }
  virtual PlayerModuleOptions options() { return {}; }

  template <typename Function>
  Function exported(const char* name) {
    FARPROC address = module_->exportAddress(name);
    EXPECT_NE(address, nullptr) << name;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
  }

  std::unique_ptr<PlayerModule> module_;
};

}  // namespace lumo::test
