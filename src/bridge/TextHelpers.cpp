// Split, join and replace-all over UTF-16 text.
#include "bridge/TextHelpers.h"

namespace lumo {

std::vector<std::wstring> split(std::wstring_view text, std::wstring_view separator) {
  if (separator.empty()) return {std::wstring(text)};
  std::vector<std::wstring> items;
  size_t start = 0;
  for (;;) {
    const size_t match = text.find(separator, start);
    items.emplace_back(text.substr(start, match == std::wstring_view::npos ? std::wstring_view::npos
                                                                           : match - start));
    if (match == std::wstring_view::npos) return items;
    start = match + separator.size();
  }
}

std::wstring join(const std::vector<std::wstring>& items, std::wstring_view separator) {
  std::wstring text;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text.append(separator);
    text.append(items[i]);
  }
  return text;
}

void replaceAll(std::wstring& text, std::wstring_view find, std::wstring_view replacement) {
  if (find.empty()) return;  // would match everywhere without moving on
  size_t position = 0;
  while ((position = text.find(find, position)) != std::wstring::npos) {
    text.replace(position, find.size(), replacement);
    position += replacement.size();
  }
}

}  // namespace lumo
