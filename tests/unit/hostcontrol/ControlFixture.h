// Test bed for the player control: the stand-in player DLL loaded by the system behind the
// class-object seam, a parent window that records notifications, movies and the transcript.
#pragma once

#include <windows.h>
#include <wrl/client.h>

#include <functional>

#include "MessagePump.h"
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/PlayerControl.h"
#include "host/PlayerMessages.h"

namespace hostcontrol_test {

using Microsoft::WRL::ComPtr;

// One notification as the parent or the listener saw it.
struct Seen {
  std::string who;  // "parent" or "listener"
  UINT code = 0;
  HWND from = nullptr;
  UINT_PTR id = 0;
  std::wstring text;  // the first text field (wide, or ANSI widened)
  std::wstring second;
  int32_t number = 0;
};

// Runs the thread's messages until `done` or `ms` pass.
using lumo::test::pumpFor;
using lumo::test::pumpUntil;

std::wstring widen(const std::string& text);

class HostControlTest : public ::testing::Test {
 public:
  static std::vector<Seen>& seen();
  // What the parent answers a FlashCall with (through 0x140F); empty: no answer.
  static std::wstring& flashCallAnswer();
  // The player's context menu runs modally on this thread: a thread timer ends it soon after
  // it opens, first reading its items' texts into `openedMenuItems()`.
  static void closeMenuSoon();
  static std::vector<std::wstring>& openedMenuItems();

 protected:
  void SetUp() override;
  void TearDown() override;

  // A control window of the test class; `parent` may be null.
  HWND createControl(DWORD style, DWORD exStyle = 0, HWND parent = nullptr, int id = 7);
  HWND createParent();
  // A movie file with `script` in the test folder; answers its path.
  std::wstring writeMovie(const std::string& name, const std::string& script);
  // put Movie W with a path, then waits for the ready state 4 notification.
  bool loadMovie(HWND control, const std::wstring& path);

  std::vector<std::string> transcript() const;
  bool transcriptHas(const std::string& prefix) const;
  bool waitTranscript(const std::string& prefix, DWORD ms = 5000) const;

  bool playerCanUnload() const;

  // Installs the recording listener on `control`.
  void listen(HWND control);

  HMODULE library_ = nullptr;
  std::wstring folder_;
  std::wstring transcriptPath_;
  std::vector<HWND> windows_;
  static lumo::PlayerControlHost host_;
};

// Sends a scripting or control message with `record`; answers SendMessage's result.
template <typename Record>
LRESULT send(HWND control, UINT message, Record& record) {
  return SendMessageW(control, message, 0, reinterpret_cast<LPARAM>(&record));
}

// A text property read through a text-answer message: length first, then the text.
std::wstring getText(HWND control, UINT message);
std::string getTextA(HWND control, UINT message);

}  // namespace hostcontrol_test
