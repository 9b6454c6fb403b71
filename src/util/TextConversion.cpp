// The "C" locale conversions written out: the runtime never changes the locale, and doing the
// byte mapping here keeps it independent of whatever locale the C runtime has been given.
#include "util/TextConversion.h"

namespace lumo {

std::optional<std::string> wideToMultibyte(std::wstring_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (wchar_t unit : text) {
    if (unit == L'\0') break;
    if (static_cast<unsigned>(unit) > 0xFF) return std::nullopt;
    bytes.push_back(static_cast<char>(unit));
  }
  return bytes;
}

std::optional<std::wstring> multibyteToWide(std::string_view text) {
  std::wstring wide;
  wide.reserve(text.size());
  for (char byte : text) {
    if (byte == '\0') break;
    wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(byte)));
  }
  return wide;
}

}  // namespace lumo
