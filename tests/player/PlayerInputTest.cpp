// A person's actions from the movie script (`user ...`): real input through SendInput, seen by a
// low-level hook and the key state as well as by the player, and the window manager's own
// messages for the rest. These act on the whole display, so this program runs alone.
#include <gtest/gtest.h>

#include <algorithm>

#include "PlayerHarness.h"

using namespace player_test;

namespace {

std::string errorLine(int number) {
  std::string line = "error line ";
  line += std::to_string(number);
  return line + ":";
}

std::vector<DWORD>& hookedKeys() {
  static std::vector<DWORD> keys;
  return keys;
}

LRESULT CALLBACK keyboardHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == WM_KEYDOWN)
    hookedKeys().push_back(reinterpret_cast<KBDLLHOOKSTRUCT*>(lParam)->vkCode);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

class PlayerInput : public ScriptedPlayerTest {
 protected:
  std::string dropScript() {
    std::string script = "user drop \"";
    script += narrow(folder.file(L"dropped.txt"));
    script += "\" \"C:/other.txt\"\nwait 100\n";
    std::replace(script.begin(), script.end(), '\\', '/');
    return script;
  }
  bool sawMessage(UINT message) const {
    auto& messages = TestSite::windowMessages();
    return std::find(messages.begin(), messages.end(), message) != messages.end();
  }
};

TEST_F(PlayerInput, KeysGoThroughTheSystemSoHooksAndThePlayerSeeThem) {
  HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, keyboardHook, GetModuleHandleW(nullptr), 0);
  ASSERT_NE(nullptr, hook);
  hookedKeys().clear();
  run("user key 65\nuser type \"hi\"\nwait 300\n");
  UnhookWindowsHookEx(hook);
  EXPECT_NE(hookedKeys().end(), std::find(hookedKeys().begin(), hookedKeys().end(), 65u));
  EXPECT_TRUE(transcript->has("key down 65")) << dump();
  EXPECT_TRUE(transcript->has("key up 65")) << dump();
  EXPECT_TRUE(transcript->has("char 104")) << dump();
  EXPECT_TRUE(transcript->has("char 105")) << dump();
  EXPECT_TRUE(transcript->has("user type hi"));
}

TEST_F(PlayerInput, AltF4AsksTheTopLevelWindowToClose) {
  run("user altf4\nwait 300\n");
  pumpFor(100);
  EXPECT_TRUE(sawMessage(WM_SYSCOMMAND)) << dump();
  EXPECT_EQ(0, GetAsyncKeyState(VK_MENU) & 0x8000) << "Alt is released again";
}

TEST_F(PlayerInput, ThePointerMovesClicksAndTurnsTheWheelWhereThePlayerSaysAsAPersonsWould) {
  run("user mousemove 30 40\nuser click left 5 6\nuser click right 7 8\nuser wheel -120 10 10\nwait 300\n");
  RECT r;
  GetWindowRect(site.window(), &r);
  POINT at;
  GetCursorPos(&at);
  EXPECT_EQ(r.left + 10, at.x);
  EXPECT_EQ(r.top + 10, at.y);
  EXPECT_TRUE(transcript->has("mouse left down 5 6")) << dump();
  EXPECT_TRUE(transcript->has("mouse left up 5 6")) << dump();
  EXPECT_TRUE(transcript->has("mouse right up 7 8")) << dump();
  EXPECT_TRUE(transcript->has("wheel -120")) << dump();
  EXPECT_TRUE(transcript->has("user mousemove 30 40"));
}

TEST_F(PlayerInput, BadInputArgumentsAreScriptErrors) {
  run("user mousemove 1\nuser wheel up\nuser type\nuser click left 1\nlog after\n");
  for (int line = 1; line <= 4; ++line)
    EXPECT_TRUE(transcript->has(errorLine(line) + " user ")) << dump();
  EXPECT_TRUE(transcript->has("log \"after\""));
}

TEST_F(PlayerInput, WindowActionsReachTheTopLevelWindow) {
  run("user resize 300 200\nuser move 20 30\nuser maximize\nuser close\nwait 100\n");
  pumpFor(200);
  RECT r;
  GetWindowRect(site.window(), &r);
  EXPECT_EQ(300, r.right - r.left);
  EXPECT_EQ(200, r.bottom - r.top);
  EXPECT_EQ(20, r.left);
  EXPECT_EQ(30, r.top);
  EXPECT_TRUE(sawMessage(WM_SYSCOMMAND));
  EXPECT_TRUE(transcript->has("user close"));
  EXPECT_TRUE(transcript->has("user resize 300 200"));
}

// The shell drops only onto a window that registered for files (WS_EX_ACCEPTFILES).
TEST_F(PlayerInput, FilesDropOntoAWindowThatAcceptsThem) {
  SetWindowLongPtrW(site.window(), GWL_EXSTYLE, GetWindowLongPtrW(site.window(), GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
  run(dropScript());
  pumpFor(100);
  EXPECT_TRUE(sawMessage(WM_DROPFILES)) << dump();
  EXPECT_EQ(2, static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(site.window(), L"dropped"))));
  RemovePropW(site.window(), L"dropped");
}

TEST_F(PlayerInput, NoFilesDropOntoAWindowThatDoesNotAcceptThem) {
  run(dropScript());
  pumpFor(100);
  EXPECT_TRUE(transcript->has("error line 1: user drop: the window does not accept files")) << dump();
  EXPECT_FALSE(sawMessage(WM_DROPFILES));
}

}  // namespace
