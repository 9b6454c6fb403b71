// The menu state and its rebuild, read back from real menus: which records show, separators,
// check and enable states, names given twice, the main menu bar and the window around it, the
// application's tray and context records, and the item names of the click events.
#include "forms/FormMainMenu.h"
#include "forms/MenuClick.h"
#include "ui/ApplicationMenus.h"
#include "ui/MenuRecords.h"

#include <gtest/gtest.h>

#include <string>

namespace lumo {
namespace {

// A menu's items as text: names, "-" for a separator, "[grayed]" and "[checked]" marks.
std::wstring contents(HMENU menu) {
  std::wstring text;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    if (i) text += L"|";
    const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
    if (state & MF_SEPARATOR) {
      text += L"-";
      continue;
    }
    wchar_t name[128] = {};
    GetMenuStringW(menu, i, name, 128, MF_BYPOSITION);
    text += name;
    if (state & MF_GRAYED) text += L"[grayed]";
    if (state & MF_CHECKED) text += L"[checked]";
  }
  return text;
}

struct Popup {
  HMENU handle = CreatePopupMenu();
  ~Popup() { DestroyMenu(handle); }
};

TEST(MenuRecords, RebuildDropsLeadingSeparatorsForTheWholePassAndShowsOnlyVisibleKeptItems) {
  Popup first, second;
  MenuRecordTable table;
  UINT id = 0;
  auto item = [&](HMENU menu, const wchar_t* name) -> MenuItemRecord& {
    return table.add(id++, name, MenuKind::tray, menu, false);
  };
  auto separator = [&](HMENU menu) { table.add(id++, L"", MenuKind::tray, menu, true); };
  separator(first.handle);  // before any item: dropped
  item(first.handle, L"Hidden").visible = false;
  separator(first.handle);  // still no item appended: dropped
  item(first.handle, L"Open").enableValue = MF_ENABLED;
  separator(first.handle);
  separator(first.handle);  // two after an item: both shown
  item(first.handle, L"Gone").removed = true;
  separator(second.handle);  // an item was appended in this pass, in the first menu: shown
  item(second.handle, L"Quit");
  table.append();

  EXPECT_EQ(contents(first.handle), L"Open|-|-");
  EXPECT_EQ(contents(second.handle), L"-|Quit[grayed]") << "a new record starts grayed and unchecked";
}

TEST(MenuRecords, TheItemOperationsActOnTheNewerRecordOfANameAndBothStayShown) {
  Popup menu;
  MenuRecordTable table;
  table.add(0, L"Same", MenuKind::context, menu.handle, false);
  table.add(1, L"Same", MenuKind::context, menu.handle, false);
  EXPECT_TRUE(table.setChecked(L"Same", true));
  EXPECT_TRUE(table.setEnabled(L"Same", true));
  EXPECT_FALSE(table.setEnabled(L"Other", true)) << "an unknown name changes nothing";
  table.append();
  EXPECT_EQ(contents(menu.handle), L"Same[grayed]|Same[checked]");

  // The check mark goes again on the next rebuild, which empties the pop-up first.
  EXPECT_TRUE(table.setChecked(L"Same", false));
  EXPECT_TRUE(table.remove(L"Same"));
  clearPopup(menu.handle);
  table.append();
  EXPECT_EQ(contents(menu.handle), L"Same[grayed]");
  EXPECT_EQ(table.find(1)->removed, true);
  EXPECT_FALSE(table.find(2));
}

TEST(MenuRecords, APickPastSixteenBitIdsNamesTheShownRecordNotAnOldOneSharingItsLowBits) {
  Popup menu;
  MenuRecordTable table;
  table.add(5, L"Old", MenuKind::tray, menu.handle, false).removed = true;
  table.add(0x10005, L"New", MenuKind::tray, menu.handle, false);
  table.add(7, L"Alone", MenuKind::tray, menu.handle, false).visible = false;
  EXPECT_EQ(table.findPicked(5)->name, L"New");
  EXPECT_EQ(table.findPicked(7)->name, L"Alone") << "an id's only record, shown or not";
  EXPECT_FALSE(table.findPicked(6));
}

TEST(MenuClickNames, AreSanitizedForTheEventHandlerVariableAndLabel) {
  const struct {
    const wchar_t* name;
    const wchar_t* sanitized;
  } cases[] = {
      {L"a.b c", L"a_b_c"},
      {L"&&x", L"x"},
      {L"&Save As...", L"Save_As___"},
      {L"f(x,\"y\"){}", L"f_x__y____"},
      {L"_plain-name_", L"_plain-name_"},
  };
  for (const auto& c : cases) EXPECT_EQ(sanitizeMenuItemName(c.name), c.sanitized) << c.name;
}

// A top-level window with a caption, so a menu bar can be attached.
class MainMenuWindow : public testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExW(0, L"STATIC", L"menus", WS_OVERLAPPEDWINDOW, 100, 100, 300, 200, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override { DestroyWindow(window_); }

  SIZE client() const {
    RECT r{};
    GetClientRect(window_, &r);
    return {r.right, r.bottom};
  }
  int windowHeight() const {
    RECT r{};
    GetWindowRect(window_, &r);
    return r.bottom - r.top;
  }
  // The first top-level menu's items after the bar is opened.
  std::wstring opened(FormMainMenu& menu, int position = 0) {
    menu.rebuild(window_, GetMenu(window_));
    return contents(GetSubMenu(GetMenu(window_), position));
  }

  HWND window_ = nullptr;
};

TEST_F(MainMenuWindow, TheFirstMenuMakesTheBarAndTheWindowGrowsSoTheClientKeepsItsSize) {
  FormMainMenu menu;
  menu.addSeparator(window_, L"File");
  EXPECT_EQ(GetMenu(window_), nullptr) << "a separator needs a bar and a menu";
  const SIZE before = client();
  const int height = windowHeight();

  menu.addMenu(window_, L"File");
  ASSERT_NE(GetMenu(window_), nullptr);
  EXPECT_EQ(windowHeight(), height + GetSystemMetrics(SM_CYMENU));
  EXPECT_EQ(client().cx, before.cx);
  EXPECT_EQ(client().cy, before.cy);
  menu.addMenu(window_, L"Edit");
  EXPECT_EQ(windowHeight(), height + GetSystemMetrics(SM_CYMENU)) << "only the first menu makes the bar";

  menu.addItem(window_, L"File", L"Open");
  EXPECT_EQ(contents(GetSubMenu(GetMenu(window_), 0)), L"Open") << "a main-menu item is appended at once";
  menu.addItem(window_, L"Nowhere", L"Lost");
  menu.addSeparator(window_, L"File");
  menu.addItem(window_, L"File", L"Save");
  menu.addItem(window_, L"Edit", L"Copy");
  menu.setItemEnabled(window_, L"File", L"Open", true);
  menu.setItemChecked(window_, L"Edit", L"Save", true);  // any existing menu finds any item
  menu.setItemVisible(window_, L"Nowhere", L"Copy", false);  // an unknown menu: nothing
  EXPECT_EQ(opened(menu), L"Open|-|Save[grayed][checked]");
  EXPECT_EQ(opened(menu, 1), L"Copy[grayed]");

  menu.removeItem(window_, L"File", L"Save");
  EXPECT_EQ(opened(menu), L"Open|-");
  const auto open = menu.find(0);
  ASSERT_TRUE(open);
  EXPECT_EQ(open->name, L"Open");
  EXPECT_EQ(open->kind, MenuKind::main);
}

TEST_F(MainMenuWindow, RemovingTheLastMenuShrinksTheWindowButTheBarStays) {
  FormMainMenu menu;
  const int height = windowHeight();
  menu.addMenu(window_, L"File");
  menu.addItem(window_, L"File", L"Open");
  menu.addMenu(window_, L"Edit");
  menu.removeMenu(window_, L"File");
  EXPECT_EQ(windowHeight(), height + GetSystemMetrics(SM_CYMENU)) << "one menu is left";
  menu.removeMenu(window_, L"Edit");
  EXPECT_EQ(windowHeight(), height);
  EXPECT_NE(GetMenu(window_), nullptr);

  // A later menu neither grows the window again nor shows the records of the removed one.
  menu.addMenu(window_, L"View");
  EXPECT_EQ(windowHeight(), height);
  menu.addItem(window_, L"View", L"Zoom");
  menu.setItemEnabled(window_, L"View", L"Zoom", true);
  EXPECT_EQ(opened(menu), L"Zoom");
  menu.setItemEnabled(window_, L"File", L"Open", true);  // the menu is gone: nothing
  EXPECT_EQ(menu.find(0)->enableValue, static_cast<UINT>(MF_GRAYED));
}

TEST_F(MainMenuWindow, OnlyTheFormsOwnBarIsRebuilt) {
  FormMainMenu menu;
  menu.addMenu(window_, L"File");
  menu.addItem(window_, L"File", L"Open");
  menu.setItemVisible(window_, L"File", L"Open", false);
  Popup other;
  menu.rebuild(window_, other.handle);
  EXPECT_EQ(contents(GetSubMenu(GetMenu(window_), 0)), L"Open");
  EXPECT_EQ(opened(menu), L"");
}

class ApplicationMenusTest : public testing::Test {
 protected:
  void SetUp() override {
    menus_.attach(tray_.handle, context_.handle);
    menus_.takeCommandId = [this]() -> std::optional<UINT> { return counter_++; };
  }
  Popup tray_, context_;
  UINT counter_ = 10;  // the main form's counter, already used by its own items
  ApplicationMenus menus_;
};

TEST_F(ApplicationMenusTest, NewItemsStartEnabledAndTakeTheMainFormsIds) {
  menus_.addItem(MenuKind::tray, L"Show");
  menus_.addSeparator(MenuKind::context);
  menus_.addItem(MenuKind::context, L"Copy");
  menus_.setItemChecked(MenuKind::context, L"Copy", true);
  menus_.setItemEnabled(MenuKind::tray, L"Copy", false);  // the tray has no Copy
  EXPECT_EQ(counter_, 13u);
  ASSERT_TRUE(menus_.findCommand(10));
  EXPECT_EQ(menus_.findCommand(10)->kind, MenuKind::tray);
  EXPECT_EQ(menus_.findCommand(12)->kind, MenuKind::context);
  EXPECT_EQ(menus_.findCommand(12)->enableValue, static_cast<UINT>(MF_ENABLED));
  EXPECT_EQ(menus_.findCommand(12)->checkValue, static_cast<UINT>(MF_CHECKED));
  EXPECT_FALSE(menus_.findCommand(9)) << "the form's own ids are not these menus'";
}

TEST_F(ApplicationMenusTest, TheContextSwitchAndTheSettings) {
  EXPECT_EQ(menus_.setting(1), L"normal");
  EXPECT_EQ(menus_.setting(2), L"normal");
  menus_.setSetting(2, L"frame");
  EXPECT_EQ(menus_.setting(1), L"normal");
  EXPECT_EQ(menus_.setting(2), L"frame");

  menus_.addItem(MenuKind::context, L"Copy");
  EXPECT_FALSE(menus_.showContextMenu({0, 0})) << "no main form owns a menu: the click is not ours";
  menus_.mainWindow = [] { return GetDesktopWindow(); };
  menus_.setContextMenuEnabled(false);
  EXPECT_TRUE(menus_.showContextMenu({0, 0})) << "switched off, the click shows no menu and is kept";
  EXPECT_EQ(GetMenuItemCount(context_.handle), 0);
}

}  // namespace
}  // namespace lumo
