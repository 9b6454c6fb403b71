// The player control's private messages as the forms use them: one small function per player
// member, each building the message's record and returning its result code.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace lumo::player {

HRESULT putText(HWND control, UINT message, const std::wstring& text);
HRESULT putNumber(HWND control, UINT message, int32_t value);
HRESULT noArgument(HWND control, UINT message);
HRESULT setVariable(HWND control, const std::wstring& name, const std::wstring& value);
// The variable's value; empty when the player has none or refuses.
std::wstring getVariable(HWND control, const std::wstring& name);
HRESULT gotoLabel(HWND control, const std::wstring& target, const std::wstring& label);
HRESULT loadMovie(HWND control, int32_t layer, const std::wstring& url);
HRESULT putMovieFromMemory(HWND control, const void* data, size_t size);
HRESULT setContextMenu(HWND control, uint16_t flag);
HRESULT setAlpha(HWND control, uint8_t alpha);
// The constant alpha of a transparent control, or -1.
int getAlpha(HWND control);

}  // namespace lumo::player
