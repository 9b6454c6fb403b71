#include "host/MemoryMoviePath.h"

#include <algorithm>

namespace lumo {

namespace {
constexpr std::wstring_view kMarker = L"D7BAED74924D435D84DB8A1E89E7AE3A";
constexpr std::wstring_view kMovieFileName = L"4BC37A1F293B47169DBC8019C50075F5.swf";
}  // namespace

std::wstring memoryMoviePath(int movieId) {
  return L"Z:\\FromMemory\\" + std::wstring(kMarker) + L"\\" + std::to_wstring(movieId) + L"\\" +
         std::wstring(kMovieFileName);
}

std::optional<MemoryMovieRequest> parseMemoryMoviePath(std::wstring_view pathOrUrl) {
  std::wstring text(pathOrUrl);
  std::replace(text.begin(), text.end(), L'\\', L'/');
  const std::size_t marker = text.find(kMarker);
  if (marker == std::wstring::npos) return std::nullopt;
  std::size_t idStart = marker + kMarker.size();
  if (idStart >= text.size() || text[idStart] != L'/') return std::nullopt;
  ++idStart;
  const std::size_t idEnd = text.find(L'/', idStart);
  if (idEnd == std::wstring::npos || idEnd == idStart) return std::nullopt;
  // ASCII digits only: the C library also counts other scripts' digits (U+0BE7, U+FF11) as
  // digits, which no id holds. Nine of them cannot overflow an int.
  if (idEnd - idStart > 9) return std::nullopt;
  int id = 0;
  for (std::size_t i = idStart; i < idEnd; ++i) {
    if (text[i] < L'0' || text[i] > L'9') return std::nullopt;
    id = id * 10 + (text[i] - L'0');
  }
  return MemoryMovieRequest{id, text.substr(idEnd + 1)};
}

}  // namespace lumo
