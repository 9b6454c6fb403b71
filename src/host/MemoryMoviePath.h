// Memory movie paths: the names under which movies held in memory are offered to the player,
// and the parsing of a URL or file path back into a movie id and a requested name.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumo {

inline constexpr wchar_t kResetUrl[] = L"file://AGKJGSAKLHASKLASKLSAKLKLSAKLAKLL.swf";

// "Z:\FromMemory\<marker>\<id>\<movie file name>".
std::wstring memoryMoviePath(int movieId);

struct MemoryMovieRequest {
  int movieId = 0;
  std::wstring name;  // the movie's own file name, or a resource's relative path
};

// The movie id and requested name of a memory path (backslashes read as slashes), or nullopt.
std::optional<MemoryMovieRequest> parseMemoryMoviePath(std::wstring_view pathOrUrl);

}  // namespace lumo
