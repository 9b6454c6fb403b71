// Text conversions at the player's boundaries: UTF-8 script and transcript, UTF-16 BSTRs, ANSI
// paths for the A functions the player calls.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

std::wstring utf8ToWide(std::string_view text);
std::string wideToUtf8(std::wstring_view text);
std::string wideToAnsi(std::wstring_view text);

// A BSTR as a wstring (a null BSTR is the empty text).
inline std::wstring fromBstr(BSTR b) { return b ? std::wstring(b, SysStringLen(b)) : std::wstring(); }

// Allocates the caller-owned BSTR for an out parameter.
HRESULT toBstr(std::wstring_view text, BSTR* out);

// Case-insensitive compare of ASCII names (property values like "Transparent").
bool equalsNoCase(std::wstring_view a, std::wstring_view b);
