// The text helpers every command and message builder uses: split, join and replace-all,
// comparing code units exactly.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumo {

// Never empty: an empty text gives one empty item, an empty separator the whole text.
std::vector<std::wstring> split(std::wstring_view text, std::wstring_view separator);
std::wstring join(const std::vector<std::wstring>& items, std::wstring_view separator);
// Replacements are never searched again. An empty search text changes nothing.
void replaceAll(std::wstring& text, std::wstring_view find, std::wstring_view replacement);

}  // namespace lumo
