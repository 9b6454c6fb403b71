#include "BuilderTestSupport.h"

#include "StartProcess.h"
#include "TestImage.h"

#include <windows.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <memory>

namespace lumo::builder::test {

namespace fs = std::filesystem;

namespace {

struct HandleCloser {
  void operator()(HANDLE h) const {
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
using Handle = std::unique_ptr<void, HandleCloser>;

std::wstring quote(const std::wstring& arg) { return L"\"" + arg + L"\""; }

Handle inheritableFile(const fs::path& path) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return Handle(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::string readText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void appendLe(Bytes& out, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

fs::path binFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return fs::path(std::wstring(path, n)).parent_path();
}

fs::path everyFieldProject() { return binFolder() / "builder-fixtures" / "everyfield" / "project.json"; }

RunResult runLumo(const std::vector<std::wstring>& args) {
  static std::atomic<int> counter{0};
  const fs::path base = fs::temp_directory_path() /
                        ("lumo-run-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++));
  const fs::path outPath = base.string() + ".out", errPath = base.string() + ".err";
  RunResult result;
  {
    Handle out = inheritableFile(outPath), err = inheritableFile(errPath);
    std::wstring command = quote((binFolder() / "lumo.exe").wstring());
    for (const auto& a : args) command += L" " + quote(a);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out.get();
    si.hStdError = err.get();
    PROCESS_INFORMATION pi{};
    if (!lumo::test::startProcess(nullptr, command.data(), TRUE, CREATE_NO_WINDOW, nullptr, &si, &pi)) {
      ADD_FAILURE() << "cannot start lumo.exe: error " << GetLastError();
      return result;
    }
    Handle process(pi.hProcess), thread(pi.hThread);
    if (WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) {
      TerminateProcess(pi.hProcess, 124);
      ADD_FAILURE() << "lumo.exe did not finish in 60 s";
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    result.exitCode = static_cast<int>(code);
  }
  result.out = readText(outPath);
  result.err = readText(errPath);
  std::error_code ignored;
  fs::remove(outPath, ignored);
  fs::remove(errPath, ignored);
  return result;
}

Bytes readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const fs::path& path, const Bytes& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void writeText(const fs::path& path, std::string_view text) { writeBytes(path, Bytes(text.begin(), text.end())); }

Bytes swfFile(std::uint8_t version) {
  // Header, a 0x0 stage rectangle (5 bits of size 0), 24 fps, 1 frame, ShowFrame, End.
  Bytes body = {0x00, 0x00, 0x18, 0x01, 0x00, 0x40, 0x00, 0x00, 0x00};
  Bytes swf = {'F', 'W', 'S', version};
  appendLe(swf, static_cast<std::uint32_t>(8 + body.size()), 4);
  swf.insert(swf.end(), body.begin(), body.end());
  return swf;
}

Bytes bmpFile(int width, int height, int bitsPerPixel) {
  const std::uint32_t paletteSize = bitsPerPixel <= 8 ? 4u << bitsPerPixel : 0;
  const std::uint32_t stride = static_cast<std::uint32_t>((width * bitsPerPixel + 31) / 32 * 4);
  const std::uint32_t pixels = stride * static_cast<std::uint32_t>(height);
  const std::uint32_t offset = 14 + 40 + paletteSize;
  Bytes bmp = {'B', 'M'};
  appendLe(bmp, offset + pixels, 4);
  appendLe(bmp, 0, 4);
  appendLe(bmp, offset, 4);
  for (std::uint32_t v : {40u, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)}) appendLe(bmp, v, 4);
  appendLe(bmp, 1, 2);
  appendLe(bmp, static_cast<std::uint32_t>(bitsPerPixel), 2);
  for (int i = 0; i < 6; ++i) appendLe(bmp, 0, 4);
  bmp.resize(bmp.size() + paletteSize + pixels, 0x7F);
  return bmp;
}

Bytes icoFile() {
  Bytes image;
  for (std::uint32_t v : {40u, 16u, 32u}) appendLe(image, v, 4);
  appendLe(image, 1, 2);
  appendLe(image, 32, 2);
  for (int i = 0; i < 6; ++i) appendLe(image, 0, 4);
  image.resize(image.size() + 16 * 16 * 4 + 16 * 4, 0x40);
  Bytes ico;
  for (std::uint32_t v : {0u, 1u, 1u}) appendLe(ico, v, 2);
  ico.insert(ico.end(), {16, 16, 0, 0});
  appendLe(ico, 1, 2);
  appendLe(ico, 32, 2);
  appendLe(ico, static_cast<std::uint32_t>(image.size()), 4);
  appendLe(ico, 22, 4);
  ico.insert(ico.end(), image.begin(), image.end());
  return ico;
}

Bytes dllFile() {
  Bytes dll(128, 0);
  dll[0] = 'M';
  dll[1] = 'Z';
  return dll;
}

Bytes standInResource() { return Bytes(16, 0x42); }

Bytes runtimeStandIn(std::uint16_t machine, std::uint16_t missing) {
  pe::ResourceTree tree;
  pe::NameMap& bin = tree[pe::ResourceKey(std::u16string(u"BIN"))];
  for (const std::uint16_t id : {135, 137, 140}) {
    if (id != missing) bin[pe::ResourceKey(id)][0x0409] = {standInResource(), 0};
  }
  pe::test::TestImageShape shape;
  shape.pe32Plus = machine == pe::kMachineAmd64;
  Bytes image = pe::test::makeTestImage(shape, tree);
  image[0x80 + 4] = static_cast<std::uint8_t>(machine);
  image[0x80 + 5] = static_cast<std::uint8_t>(machine >> 8);
  return image;
}

void TempFolderTest::SetUp() {
  static std::atomic<int> counter{0};
  dir = fs::temp_directory_path() /
        ("lumo-builder-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++));
  fs::remove_all(dir);
  fs::create_directories(dir);
}

void TempFolderTest::TearDown() {
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

}  // namespace lumo::builder::test
