// The process's one notification-area icon, owned by the main form's window: the icon from the
// project picture, tooltip, balloons, minimize to the tray, and the icon's callback message.
#pragma once

#include "UniqueHandle.h"
#include "forms/TrayControls.h"

#include <windows.h>
#include <shellapi.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lumo {

class FormInterface;

// The version 2 layout of the record, the size that makes balloons work on this architecture
// (sizeof gives the full structure, which the shell reads differently).
inline constexpr DWORD kNotifyIconRecordSize = NOTIFYICONDATAW_V2_SIZE;
static_assert(kNotifyIconRecordSize == (sizeof(void*) == 8 ? 952 : 936));

class TrayIcon final : public TrayControls {
 public:
  static constexpr UINT kCallbackMessage = WM_USER + 1;
  static constexpr UINT kIconId = 1;

  // Where the icon comes from: the application instance (icon 107 and LoadImageW), the
  // project's picture and the private folder it is written to, and the main form's window.
  HINSTANCE instance = nullptr;
  std::function<std::optional<std::vector<std::uint8_t>>()> projectPicture;
  std::wstring privateFolder;
  HWND mainWindow = nullptr;
  std::function<void(POINT)> showTrayMenu;  // the tray menu at a screen point, when menus exist

  TrayIcon() = default;
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  void hideIcon() override;
  void setIcon(const std::wstring& iconPath) override;
  void showBalloon(const std::wstring& title, const std::wstring& text, const std::wstring& iconType,
                   const std::wstring& timeout, const std::wstring& clickFunction) override;
  void showIcon() override;
  void setHint(const std::wstring& text) override;

  // Adds (or, once an icon was loaded, modifies) the icon for minimizing to the tray, adding
  // it when a modify finds no icon shown; false when the shell refused it.
  bool addForMinimize();
  // The callback message at the main form.
  void handleCallback(FormInterface& mainForm, WPARAM iconId, LPARAM mouseMessage);
  // The record as last handed to the shell, for the shutdown's removal and for tests.
  const NOTIFYICONDATAW& record() const { return data_; }

 private:
  void fillForAdd();

  NOTIFYICONDATAW data_{};
  UniqueIcon icon_;
  std::wstring balloonClickFunction_;
};

}  // namespace lumo
