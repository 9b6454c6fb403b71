#include "ui/TrayIcon.h"

#include "forms/FormEvents.h"
#include "app/resource.h"

#include <algorithm>
#include <cstdio>

namespace lumo {
namespace {

constexpr wchar_t kIconFile[] = L"vori.i";

// Copies at most `limit` code units of `text` into `target`, always terminated.
template <size_t N>
void copyText(wchar_t (&target)[N], const std::wstring& text, size_t limit) {
  const size_t length = std::min({text.size(), limit, N - 1});
  std::copy_n(text.data(), length, target);
  target[length] = L'\0';
}

DWORD balloonIconFlags(const std::wstring& type) {
  if (type == L"info") return NIIF_INFO;
  if (type == L"error") return NIIF_ERROR;
  if (type == L"warning") return NIIF_WARNING;
  return NIIF_NONE;
}

}  // namespace

void TrayIcon::hideIcon() { Shell_NotifyIconW(NIM_DELETE, &data_); }

void TrayIcon::setIcon(const std::wstring& iconPath) {
  icon_.reset(static_cast<HICON>(LoadImageW(nullptr, iconPath.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE)));
  data_.hIcon = icon_.get();
  Shell_NotifyIconW(NIM_MODIFY, &data_);
}

void TrayIcon::showBalloon(const std::wstring& title, const std::wstring& text, const std::wstring& iconType,
                           const std::wstring& timeout, const std::wstring& clickFunction) {
  balloonClickFunction_ = clickFunction;
  data_.uFlags = NIF_INFO;
  data_.dwInfoFlags = balloonIconFlags(iconType);
  data_.uTimeout = static_cast<UINT>(std::wcstoul(timeout.c_str(), nullptr, 10));
  copyText(data_.szInfoTitle, title, 63);
  copyText(data_.szInfo, text, 255);
  Shell_NotifyIconW(NIM_MODIFY, &data_);
}

void TrayIcon::showIcon() {
  if (!icon_) {
    const auto picture = projectPicture ? projectPicture() : std::nullopt;
    if (picture) {
      // The shell loads icons from files only: the picture lives on disk just long enough.
      const std::wstring path = privateFolder + L"\\" + kIconFile;
      if (std::FILE* file = _wfopen(path.c_str(), L"wb+")) {
        const bool whole = std::fwrite(picture->data(), 1, picture->size(), file) == picture->size();
        std::fclose(file);
        if (whole) setIcon(path);
      }
      DeleteFileW(path.c_str());
    } else {
      icon_.reset(LoadIconW(instance, MAKEINTRESOURCEW(IDI_LUMO)));
    }
  }
  fillForAdd();
  Shell_NotifyIconW(NIM_ADD, &data_);
}

void TrayIcon::setHint(const std::wstring& text) {
  copyText(data_.szTip, text, 128);
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  Shell_NotifyIconW(NIM_MODIFY, &data_);
}

void TrayIcon::fillForAdd() {
  data_.cbSize = kNotifyIconRecordSize;
  data_.hWnd = mainWindow;
  data_.uID = kIconId;
  data_.uFlags = NIF_MESSAGE | NIF_ICON;
  data_.uCallbackMessage = kCallbackMessage;
  data_.hIcon = icon_.get();
}

bool TrayIcon::addForMinimize() {
  // Whether the icon is added or modified follows only from an icon having been loaded.
  const DWORD action = icon_ ? NIM_MODIFY : NIM_ADD;
  if (!icon_) icon_.reset(LoadIconW(instance, MAKEINTRESOURCEW(IDI_LUMO)));
  fillForAdd();
  if (Shell_NotifyIconW(action, &data_)) return true;
  // An icon hidden since it was loaded has nothing left to modify: it is added again.
  return action == NIM_MODIFY && Shell_NotifyIconW(NIM_ADD, &data_);
}

void TrayIcon::handleCallback(FormInterface& mainForm, WPARAM iconId, LPARAM mouseMessage) {
  if (iconId != kIconId) return;
  switch (static_cast<UINT>(mouseMessage)) {
    case WM_LBUTTONDBLCLK:
      SendMessageW(mainWindow, WM_SYSCOMMAND, SC_RESTORE, 0);
      break;
    case WM_RBUTTONDOWN:
    case WM_CONTEXTMENU: {
      POINT cursor{};
      GetCursorPos(&cursor);
      if (showTrayMenu) showTrayMenu(cursor);
      break;
    }
    default:
      break;
  }
  // A balloon shown without a click function calls nothing.
  if (static_cast<UINT>(mouseMessage) == NIN_BALLOONUSERCLICK && !balloonClickFunction_.empty())
    sendEvent(mainForm, balloonClickFunction_, L"", L"");
}

}  // namespace lumo
