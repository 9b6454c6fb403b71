// Every separator and placeholder token of the movie protocol, as one named constant each.
// The runtime compares or inserts them unchanged.
#pragma once

#include <string_view>

namespace lumo::tokens {

// Command request, movie to runtime.
inline constexpr std::wstring_view kArgumentMarker = L"<{lumo}>";
inline constexpr std::wstring_view kArgumentMarkerXml = L"&lt;{lumo}&gt;";  // looked for first
inline constexpr std::wstring_view kArgumentSeparator = L",";

// Declaration string, initforms reply and event payload properties, outermost first.
inline constexpr std::wstring_view kClassNameEnd = L"<{!!z!!}>";  // level 1
inline constexpr std::wstring_view kClassEnd = L"<{!z!!}>";       // level 1
inline constexpr std::wstring_view kRecordEnd = L"<{!z!}>";       // level 2
inline constexpr std::wstring_view kFieldSeparator = L"<{z}>";    // level 3

// Event payload parts, and the separator of movie calls by variable and AS3 event callbacks.
inline constexpr std::wstring_view kEventPartSeparator = L"{}";
inline constexpr std::wstring_view kCallFieldSeparator = L"!}}v{}!";

// Separators that never occur, so a whole text stays one argument.
inline constexpr std::wstring_view kWholeTextSeparator = L"@{}@";  // onAppExit, onFormClose
inline constexpr std::wstring_view kDropSeparator = L"@:@{}@";     // onDragDrop
inline constexpr std::wstring_view kSplashSeparator = L":@:{}@:@{}";  // onSplashClosed
inline constexpr std::wstring_view kTimerSeparator = L"@~~@}{~@~@}{~";  // onAppTimer

inline constexpr std::wstring_view kListSeparator = L"|";

// Overwritten in the bridge movie file by the form id as six digits.
inline constexpr std::wstring_view kFormIdPlaceholder = L"!}id}!";

// The movie variable that carries calls to forms that are not EI-ready.
inline constexpr std::wstring_view kCallFunctionVariable = L"vor.__callFunction";
inline constexpr std::wstring_view kDispatchEventFunction = L"vor.__dispatchEvent";
inline constexpr std::wstring_view kEventCallbackFunction = L"VORAS3EVENTCALLBACK";

}  // namespace lumo::tokens
