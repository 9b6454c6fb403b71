// A projector built with its owner's player control and icon: the second build of the
// stand-in player plays its movie, and the icon is the program's own.
#include "forms/FormsFixture.h"
#include "IconFixture.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace lumo::e2e {
namespace {

constexpr std::uint32_t kIconColour = 0xFF20C040;  // opaque green, as 0xAARRGGBB

std::string fileContent(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The middle pixel of the icon's colour image as 0xAARRGGBB; 0 when it cannot be read.
std::uint32_t middlePixel(HICON icon) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return 0;
  BITMAP bitmap{};
  GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = bitmap.bmWidth;
  format.bmiHeader.biHeight = -bitmap.bmHeight;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(bitmap.bmWidth) * bitmap.bmHeight);
  HDC dc = GetDC(nullptr);
  const int rows = GetDIBits(dc, info.hbmColor, 0, bitmap.bmHeight, pixels.data(), &format, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  if (rows != bitmap.bmHeight || pixels.empty()) return 0;
  return pixels[pixels.size() / 2 + static_cast<std::size_t>(bitmap.bmWidth) / 2] | 0xFF000000;
}

TEST(CarriedResources, ProjectorPlaysWithTheCarriedPlayerAndShowsItsIcon) {
  const std::string player = fileContent(binFolder() + L"\\lumoplayer-second.dll");
  ASSERT_FALSE(player.empty()) << "lumoplayer-second.dll is not built";
  FormsProjector projector({{L"main.swf", "log carried player plays\n"}},
                           R"({"title": "Carried", "player": "second.dll", "icon": "app.ico",
                               "versionInfo": {"fileVersion": "2.5"},
                               "forms": [{"name": "main", "movie": "main.swf", "width": 200, "height": 100,
                                          "visibleAtStart": true, "popupFrame": false, "systemMenu": true,
                                          "windowTitle": "Carried"}]})",
                           {{L"second.dll", player}, {L"app.ico", test::solidIcon({16, 32, 48}, kIconColour)}});
  ASSERT_TRUE(projector.built());

  // The file's own icon, as Explorer takes it.
  HICON fileIcon = ExtractIconW(GetModuleHandleW(nullptr), projector.folder().file(L"app.exe").c_str(), 0);
  ASSERT_NE(fileIcon, nullptr);
  EXPECT_EQ(middlePixel(fileIcon), kIconColour);
  DestroyIcon(fileIcon);

  ASSERT_TRUE(projector.start());
  EXPECT_TRUE(projector.waitFor("player second build"));
  EXPECT_TRUE(projector.waitFor("carried player plays"));
  EXPECT_NE(projector.formWindow(L"Carried"), nullptr);
}

// Forms and the tray load icon 107 from the projector's own module: the same call on the built
// file gives the new icon. (A form's class icon cannot be read from another process under Wine.)
TEST(CarriedResources, TheIconFormsLoadIsTheCarriedOne) {
  ProjectFolder folder;
  folder.write(L"movie.swf", minimalMovie());
  folder.write(L"app.ico", test::solidIcon({16, 32, 48}, kIconColour));
  ASSERT_EQ(folder.build(R"({"icon": "app.ico", "forms": [{"name": "main", "movie": "movie.swf"}]})", L"app.exe"), 0);
  HMODULE module = LoadLibraryExW(folder.file(L"app.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  HICON icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(107), IMAGE_ICON, 32, 32, 0));
  EXPECT_EQ(middlePixel(icon), kIconColour);
  DestroyIcon(icon);
  FreeLibrary(module);
}

}  // namespace
}  // namespace lumo::e2e
