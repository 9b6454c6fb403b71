// Resources of the mapped image: cursors made once, the menu built by LoadMenuA, and the
// language order of resource lookup.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "LoaderSupport.h"

namespace lumo::test {
namespace {

using LoaderResources = LoadedTestImage;

TEST_F(LoaderResources, CursorsAreMadeOncePerIdOrName) {
  auto loadCursor = exported<HCURSOR (*)(const char*)>("loadOwnCursor");
  HCURSOR byId = loadCursor(MAKEINTRESOURCEA(7));
  ASSERT_NE(byId, nullptr);
  EXPECT_EQ(loadCursor(MAKEINTRESOURCEA(7)), byId);
  HCURSOR byName = loadCursor("POINTER");
  ASSERT_NE(byName, nullptr);
  EXPECT_EQ(loadCursor("POINTER"), byName);
  EXPECT_EQ(module_->cursors().size(), 2u);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(byId, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 3u);
  EXPECT_EQ(info.yHotspot, 2u);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  EXPECT_EQ(loadCursor(MAKEINTRESOURCEA(99)), nullptr);
  EXPECT_EQ(module_->cursors().size(), 2u);
  // Other instances go to the system.
  EXPECT_EQ(exported<HCURSOR (*)()>("loadSystemCursor")(), LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(LoaderResources, LoadMenuBuildsTheImagesMenu) {
  auto loadMenu = exported<HMENU (*)(const char*)>("loadOwnMenu");
  HMENU menu = loadMenu(MAKEINTRESOURCEA(20));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(GetMenuItemCount(menu), 1);
  HMENU file = GetSubMenu(menu, 0);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(GetMenuItemCount(file), 2);
  char text[32] = {};
  GetMenuStringA(file, 101, text, sizeof text, MF_BYCOMMAND);
  EXPECT_STREQ(text, "&Open");
  DestroyMenu(menu);
  EXPECT_EQ(loadMenu(MAKEINTRESOURCEA(21)), nullptr);
}

std::string greeting(PlayerModule& module, const char* name) {
  const auto resource = module.findResource("TEXTDATA", name);
  if (!resource) return "<none>";
  return std::string(static_cast<const char*>(resource->data));
}

TEST_F(LoaderResources, LanguagesAreTriedInOrder) {
  const LCID original = GetThreadLocale();
  const LCID french = MAKELCID(MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), SORT_DEFAULT);
  const LCID german = MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT);
  ASSERT_NE(LANGIDFROMLCID(GetSystemDefaultLCID()), 0x040C);
  ASSERT_NE(LANGIDFROMLCID(GetUserDefaultLCID()), 0x040C);

  ASSERT_TRUE(SetThreadLocale(french));
  EXPECT_EQ(greeting(*module_, "GREETING"), "fr");  // the thread locale first
  ASSERT_TRUE(SetThreadLocale(german));
  EXPECT_EQ(greeting(*module_, "GREETING"), "neutral");  // then system, user, neutral
  // Only a language outside the order: taken rather than reported missing.
  EXPECT_EQ(greeting(*module_, "ONLYITALIAN"), "it");
  SetThreadLocale(original);

  EXPECT_EQ(greeting(*module_, "greeting"), "<none>");  // names compare exactly
  EXPECT_EQ(greeting(*module_, "MISSING"), "<none>");
  EXPECT_FALSE(module_->findResource("NOTYPE", "GREETING"));
  const auto menu = module_->findResource(MAKEINTRESOURCEA(4), MAKEINTRESOURCEA(20));
  ASSERT_TRUE(menu);
  EXPECT_TRUE(module_->image()->contains(menu->data));
  EXPECT_GT(menu->size, 8u);
}

}  // namespace
}  // namespace lumo::test
