#include "MenuMethod.h"

#include <cwctype>

namespace lumo::menus {

std::optional<bool> parseFlag(const std::wstring& text) {
  std::wstring lower;
  for (wchar_t c : text) lower += static_cast<wchar_t>(std::towlower(c));
  if (lower == L"true" || lower == L"1") return true;
  if (lower == L"false" || lower == L"0") return false;
  return std::nullopt;
}

const std::wstring& MenuMethod::invoke(FormInterface* form, const Arguments& arguments) {
  result_ = form && arguments.size() >= spec_.minimumArguments ? spec_.run(*form, arguments) : kRefused;
  return result_;
}

}  // namespace lumo::menus
