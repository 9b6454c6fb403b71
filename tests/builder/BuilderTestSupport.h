// Shared by the builder tests: runs lumo.exe from the test program's own folder and gives
// each test a fresh temporary folder with helpers to write project files into it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace lumo::builder::test {

using Bytes = std::vector<std::uint8_t>;

struct RunResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// The folder of the test program, where lumo.exe and the fixtures are.
std::filesystem::path binFolder();
std::filesystem::path everyFieldProject();

// Runs lumo.exe with the arguments and waits for it (60 s at most).
RunResult runLumo(const std::vector<std::wstring>& args);

Bytes readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const Bytes& bytes);
void writeText(const std::filesystem::path& path, std::string_view text);

// Small valid files of each kind a project names.
Bytes swfFile(std::uint8_t version = 9);
Bytes bmpFile(int width, int height, int bitsPerPixel);
Bytes icoFile();
Bytes dllFile();
// A small program that passes for the runtime: PE for `machine`, with the runtime's "BIN"
// resources (player, bridge movie, lock library) except `missing` (0: none missing); each holds
// the bytes of standInResource(), no DLL.
Bytes runtimeStandIn(std::uint16_t machine = 0x8664, std::uint16_t missing = 0);
Bytes standInResource();

// A test with a fresh temporary folder, removed afterwards.
class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::filesystem::path dir;
};

}  // namespace lumo::builder::test
