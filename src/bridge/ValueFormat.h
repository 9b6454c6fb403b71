// The value formatters commands use to read integers and to write strings, booleans and
// arrays into result texts.
#pragma once

#include <string>
#include <string_view>

namespace lumo {

// A text of at least two characters that begins and ends with a double quote counts as quoted.
std::wstring unquote(std::wstring_view text);
std::wstring quoteEscape(std::wstring_view text);
std::wstring arrayLiteral(std::wstring_view text, std::wstring_view separator);

// Leading white space, optional sign, digits up to the first other character; none gives 0.
long toInteger(std::wstring_view text);
std::wstring formatInteger(long value);

}  // namespace lumo
