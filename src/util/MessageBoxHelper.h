// The runtime's message box: its own flag values (icon in the low byte, buttons in the high
// byte) and answer bits, with Abort/Ignore made by relabelling an OK/Cancel box.
#pragma once

#include <windows.h>

#include <string>

#include "UniqueHandle.h"

namespace lumo {

namespace MessageBoxFlag {
inline constexpr unsigned kQuestion = 0x0001;
inline constexpr unsigned kError = 0x0002;
inline constexpr unsigned kInformation = 0x0004;
inline constexpr unsigned kWarning = 0x0008;
inline constexpr unsigned kOk = 0x0100;
inline constexpr unsigned kOkCancel = 0x0200;
inline constexpr unsigned kRetryCancel = 0x0400;
inline constexpr unsigned kYesNo = 0x0800;
inline constexpr unsigned kYesNoCancel = 0x1000;
inline constexpr unsigned kAbortIgnore = 0x2000;
}  // namespace MessageBoxFlag

namespace MessageBoxAnswer {
inline constexpr int kAbort = 1;
inline constexpr int kCancel = 2;
inline constexpr int kIgnore = 4;
inline constexpr int kNo = 8;
inline constexpr int kOk = 16;
inline constexpr int kRetry = 32;
inline constexpr int kYes = 64;
inline constexpr int kOther = 128;
}  // namespace MessageBoxAnswer

// Same shape as MessageBoxW; unit tests put a recorder in its place so no modal box opens.
using MessageBoxRoutine = int(WINAPI*)(HWND, LPCWSTR, LPCWSTR, UINT);

class MessageBoxHelper {
 public:
  static MessageBoxHelper& instance();

  // Shows the box (owner: the desktop window when none is given) and returns an answer code.
  int show(const std::wstring& text, const std::wstring& caption, unsigned flags, HWND owner = nullptr);

  static UINT styleForFlags(unsigned flags);
  static int answerFor(int buttonId, unsigned flags);

  // Returns the routine it replaces; nullptr restores MessageBoxW.
  MessageBoxRoutine setRoutine(MessageBoxRoutine routine);

 private:
  MessageBoxHelper() = default;
  static LRESULT CALLBACK relabelHook(int code, WPARAM wParam, LPARAM lParam);

  UniqueHook hook_;  // only while an Abort/Ignore box is open
  MessageBoxRoutine routine_ = &MessageBoxW;
};

}  // namespace lumo
