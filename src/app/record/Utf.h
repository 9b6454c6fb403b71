// UTF-8 and UTF-16 conversions that behave alike on Windows and on the builder's host:
// invalid input becomes U+FFFD, as MultiByteToWideChar does without flags.
#pragma once

#include <string>
#include <string_view>

namespace lumo::record {

// On Windows a wstring holds UTF-16 code units; on the host it holds code points.
std::wstring fromUtf8(std::string_view utf8);
std::string toUtf8(std::wstring_view text);
std::u16string toUtf16(std::wstring_view text);
std::wstring fromUtf16(std::u16string_view utf16);

}  // namespace lumo::record
