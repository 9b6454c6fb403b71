// Text conversion between UTF-16 and the multibyte form of the default "C" locale: one byte
// per code unit below 256, nothing else converts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumo {

// None when a code unit is 256 or above. Conversion stops at the first zero, as the C
// conversions do.
std::optional<std::string> wideToMultibyte(std::wstring_view text);
std::optional<std::wstring> multibyteToWide(std::string_view text);

}  // namespace lumo
