// Movie call shapes. Names and items are escaped as XML entities inside the XML shapes: the
// player decodes them, so the movie receives exactly the text meant, even with "<" or "&".
#include "bridge/MovieCall.h"

#include "bridge/TextHelpers.h"
#include "bridge/Tokens.h"

namespace lumo {

std::wstring xmlEscape(std::wstring_view text) {
  std::wstring escaped;
  escaped.reserve(text.size());
  for (wchar_t c : text) {
    switch (c) {
      case L'&': escaped += L"&amp;"; break;
      case L'<': escaped += L"&lt;"; break;
      case L'>': escaped += L"&gt;"; break;
      case L'"': escaped += L"&quot;"; break;
      case L'\'': escaped += L"&apos;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

std::wstring buildXmlMovieCall(std::wstring_view function, std::wstring_view arguments,
                               std::wstring_view separator) {
  std::wstring call = L"<invoke name=\"";
  call += xmlEscape(function);
  call += L"\" returntype=\"xml\"><arguments>";
  for (const std::wstring& item : split(arguments, separator)) {
    call += L"<string>";
    call += xmlEscape(item);
    call += L"</string>";
  }
  call += L"</arguments></invoke>";
  return call;
}

std::wstring buildVariableMovieCall(std::wstring_view function, std::wstring_view arguments,
                                    std::wstring_view separator) {
  std::wstring value(function);
  value += tokens::kCallFieldSeparator;
  value += join(split(arguments, separator), tokens::kCallFieldSeparator);
  return value;
}

std::wstring buildEventCallback(std::wstring_view function, std::wstring_view arguments,
                                std::wstring_view separator) {
  std::wstring call = L"<invoke name=\"";
  call += tokens::kEventCallbackFunction;
  call += L"\"><arguments><string>";
  call += xmlEscape(buildVariableMovieCall(function, arguments, separator));
  call += L"</string></arguments></invoke>";
  return call;
}

}  // namespace lumo
