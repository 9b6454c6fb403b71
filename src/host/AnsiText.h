// Text between the player's ANSI and wide forms (the system code page), shared by the
// control, its scripting messages, the stream interception and the import hooks.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

namespace lumo {

// ASCII letters compared without case, independent of the locale (import names, file names).
inline bool equalsIgnoringCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    const char x = (*a >= 'A' && *a <= 'Z') ? static_cast<char>(*a - 'A' + 'a') : *a;
    const char y = (*b >= 'A' && *b <= 'Z') ? static_cast<char>(*b - 'A' + 'a') : *b;
    if (x != y) return false;
    if (x == 0) return true;
  }
}

inline std::string toAnsi(std::wstring_view text) {
  if (text.empty()) return {};
  const int wide = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(length > 0 ? length : 0), '\0');
  if (length > 0) WideCharToMultiByte(CP_ACP, 0, text.data(), wide, out.data(), length, nullptr, nullptr);
  return out;
}

// A new BSTR of a zero-terminated ANSI text; null for a null text or a failed conversion.
inline BSTR ansiToBstr(const char* text) {
  if (!text) return nullptr;
  const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (length <= 0) return nullptr;
  BSTR out = SysAllocStringLen(nullptr, static_cast<UINT>(length - 1));
  if (out) MultiByteToWideChar(CP_ACP, 0, text, -1, out, length);
  return out;
}

inline std::wstring fromAnsi(const char* text) {
  BSTR converted = ansiToBstr(text);
  std::wstring out = converted ? std::wstring(converted, SysStringLen(converted)) : std::wstring();
  SysFreeString(converted);
  return out;
}

}  // namespace lumo
