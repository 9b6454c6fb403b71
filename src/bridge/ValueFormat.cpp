// Value formatters: quoting, array literals and decimal integers.
#include "bridge/ValueFormat.h"

#include <cwchar>

#include "bridge/TextHelpers.h"

namespace lumo {
namespace {
bool isQuoted(std::wstring_view text) {
  return text.size() >= 2 && text.front() == L'"' && text.back() == L'"';
}
}  // namespace

std::wstring unquote(std::wstring_view text) {
  if (isQuoted(text)) return std::wstring(text.substr(1, text.size() - 2));
  return std::wstring(text);
}

std::wstring quoteEscape(std::wstring_view text) {
  std::wstring result(text);
  if (isQuoted(text)) replaceAll(result, L"\"", L"@q@");
  return result;
}

std::wstring arrayLiteral(std::wstring_view text, std::wstring_view separator) {
  if (text.empty()) return L"[]";
  if (isQuoted(text)) text = text.substr(1, text.size() - 2);
  std::vector<std::wstring> items = split(text, separator);
  for (std::wstring& item : items) {
    replaceAll(item, L"\"", L"@q@");
    item = L"\"" + item + L"\"";
  }
  return L"[" + join(items, L",") + L"]";
}

long toInteger(std::wstring_view text) {
  const std::wstring terminated(text);
  return std::wcstol(terminated.c_str(), nullptr, 10);
}

std::wstring formatInteger(long value) {
  wchar_t buffer[24];
  std::swprintf(buffer, 24, L"%ld", value);
  return buffer;
}

}  // namespace lumo
