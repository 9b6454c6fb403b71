// Serves the files a movie asks for from under the working directory: URLs that begin with
// the local-file prefix ("http://lumo/") or with "file://".
#pragma once

#include <objidl.h>
#include <wrl/client.h>

#include <optional>
#include <string>
#include <string_view>

namespace lumo {

inline constexpr std::wstring_view kLocalFilePrefix = L"http://lumo/";

// The file path a movie URL names under `workingDirectory`, or nullopt when the URL is not
// local, its path holds a ".." segment (which could climb out of the working directory) or it
// names a drive (an absolute file URL, which the player loads itself).
std::optional<std::wstring> resolveMovieUrl(std::wstring_view url, std::wstring_view workingDirectory);

// The whole file named by `url` in a memory stream positioned at its start; E_FAIL (not
// handled: the player loads the URL itself) when it names no readable local file.
HRESULT openMovieResource(std::wstring_view url, Microsoft::WRL::ComPtr<IStream>& stream);

}  // namespace lumo
