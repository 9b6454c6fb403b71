// The checks `lumo build --player` makes of a carried control: the loader's own tables read the
// same way, a missing class-object export refused, libraries Windows does not have warned about.
#include <cstring>
#include <functional>

#include "BuilderTestSupport.h"
#include "pe/ControlImage.h"

namespace lumo::builder::test {
namespace {

// A control built as other compilers build them (TLS, delay-load table, unwind data).
Bytes nativeControl() { return readBytes(binFolder() / "hostnativetls.dll"); }

pe::ControlImageReport check(const Bytes& bytes) {
  std::string why;
  const auto image = pe::PeImage::parse(bytes, why);
  EXPECT_TRUE(image) << why;
  return image ? pe::checkControlImage(*image) : pe::ControlImageReport{};
}

// The file offset of a directory's first bytes.
size_t directoryOffset(const Bytes& bytes, size_t index) {
  std::string why;
  const auto image = pe::PeImage::parse(bytes, why);
  const pe::DirectoryEntry entry = image->directory(index);
  const pe::Section* section = image->sectionAt(entry.rva);
  EXPECT_NE(section, nullptr) << index;
  return section ? section->rawPointer + (entry.rva - section->virtualAddress) : 0;
}

void put32(Bytes& bytes, size_t at, uint32_t value) { std::memcpy(bytes.data() + at, &value, 4); }
void put64(Bytes& bytes, size_t at, uint64_t value) { std::memcpy(bytes.data() + at, &value, 8); }

TEST(BuilderControlCheck, AControlTheLoaderServesPasses) {
  const Bytes control = nativeControl();
  if (control.empty()) GTEST_SKIP() << "the clang-built control is not built";
  const pe::ControlImageReport report = check(control);
  EXPECT_TRUE(report.refusals.empty()) << report.refusals.front();
  EXPECT_TRUE(report.warnings.empty()) << report.warnings.front();
}

TEST(BuilderControlCheck, DamagedTablesAndMissingExportsAreRefused) {
  if (nativeControl().empty()) GTEST_SKIP() << "the clang-built control is not built";
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
    const char* message;
  };
  const Case cases[] = {
      {"no DllGetClassObject",
       [](Bytes& b) {
         const char name[] = "DllGetClassObject";
         auto at = std::search(b.begin(), b.end(), name, name + sizeof name);
         ASSERT_NE(at, b.end());
         *at = 'X';
       },
       "exports no DllGetClassObject"},
      {"import without an address table", [](Bytes& b) { put32(b, directoryOffset(b, 1) + 16, 0); },
       "have no address table"},
      {"import name outside the data", [](Bytes& b) { put32(b, directoryOffset(b, 1) + 12, 0x7FFFFFF0); },
       "name lies outside the image's data"},
      {"TLS index outside the image", [](Bytes& b) { put64(b, directoryOffset(b, 9) + 16, 0x10); },
       "TLS directory points outside the image"},
      {"unwind data outside the image", [](Bytes& b) { put32(b, directoryOffset(b, 3) + 8, 0x7FFFFFF0); },
       "unwind data lies outside the image"},
      {"delay-loaded library name outside the data",
       [](Bytes& b) { put32(b, directoryOffset(b, 13) + 4, 0x7FFFFFF0); }, "delay-loaded library's name"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes control = nativeControl();
    c.damage(control);
    const pe::ControlImageReport report = check(control);
    ASSERT_EQ(report.refusals.size(), 1u);
    EXPECT_NE(report.refusals[0].find(c.message), std::string::npos) << report.refusals[0];
  }
}

TEST(BuilderControlCheck, LibrariesWindowsDoesNotHaveAreWarnedAbout) {
  const Bytes image = readBytes(binFolder() / "hosttestimage.dll");  // imports hostordinal.dll
  if (image.empty()) GTEST_SKIP() << "the test image is not built";
  const pe::ControlImageReport report = check(image);
  ASSERT_EQ(report.warnings.size(), 1u);
  EXPECT_NE(report.warnings[0].find("hostordinal.dll"), std::string::npos) << report.warnings[0];
  for (const char* system : {"KERNEL32.dll", "user32", "api-ms-win-core-synch-l1-2-0.dll", "WINSPOOL.DRV"})
    EXPECT_TRUE(pe::isSystemLibrary(system)) << system;
  for (const char* foreign : {"msvcp140.dll", "hostordinal.dll", "kernel32x.dll"})
    EXPECT_FALSE(pe::isSystemLibrary(foreign)) << foreign;
}

}  // namespace
}  // namespace lumo::builder::test
