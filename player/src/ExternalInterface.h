// The ExternalInterface XML that crosses FlashCall, CallFunction and SetReturnValue: invoke
// requests with string arguments, and the value forms <string>, <number>, <true/> and friends.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace external {

// &, <, >, " and ' as entities.
std::wstring escapeXml(std::wstring_view text);
// Named entities and &#N; / &#xN; references decoded; unknown ones are kept as written.
std::wstring unescapeXml(std::wstring_view text);

// Whether `xml` is one well-formed element (tags balanced, attribute values quoted, every "&" an
// entity or character reference, no bare "<"), as the player's parser requires.
bool wellFormed(std::wstring_view xml);

// <invoke name="NAME" returntype="xml"><arguments><string>..</string>...</arguments></invoke>
std::wstring buildInvoke(std::wstring_view name, const std::vector<std::wstring>& args);

// The same with each argument already a value element (<number>5</number>, <true/>, ...).
std::wstring buildInvokeOfValues(std::wstring_view name, const std::vector<std::wstring>& values);

struct Invoke {
  std::wstring name;
  std::vector<std::wstring> args;  // each argument's value as text
};
// Parses an invoke request; none when it has no invoke element with a name.
std::optional<Invoke> parseInvoke(std::wstring_view xml);

// The value of one value element as the movie sees it: <string> text decoded, <number> its
// digits, <true/> "true", <false/> "false", <null/> "null", <undefined/> "undefined". Text that
// is no value element is taken as it stands.
std::wstring parseValue(std::wstring_view xml);

// <string>TEXT</string> with TEXT escaped.
std::wstring stringValue(std::wstring_view text);

}  // namespace external
