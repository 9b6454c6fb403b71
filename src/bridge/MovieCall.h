// Building calls from the runtime into a movie: the XML call for EI-ready forms, the value of
// the call variable for others, and the AS3 event callback.
#pragma once

#include <string>
#include <string_view>

namespace lumo {

// The request for the player's CallFunction; name and items are XML-escaped.
std::wstring buildXmlMovieCall(std::wstring_view function, std::wstring_view arguments,
                               std::wstring_view separator);

// The value to set into the movie variable "vor.__callFunction".
std::wstring buildVariableMovieCall(std::wstring_view function, std::wstring_view arguments,
                                    std::wstring_view separator);

// One CallFunction of VORAS3EVENTCALLBACK whose only argument carries the function name and
// its arguments joined by the call field separator.
std::wstring buildEventCallback(std::wstring_view function, std::wstring_view arguments,
                                std::wstring_view separator);

// "&", "<", ">", and both quotes as XML entities.
std::wstring xmlEscape(std::wstring_view text);

}  // namespace lumo
