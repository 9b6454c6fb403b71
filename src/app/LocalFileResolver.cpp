#include "LocalFileResolver.h"

#include "UniqueHandle.h"
#include "util/FileSystem.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <vector>

namespace lumo {

namespace {

// True when any segment of the path is "..". Counting depth is not enough: "file://" glues its
// first segment onto the working directory's own name, so "file://q/../x" climbs out from a
// depth that looks like one.
bool holdsParentSegment(std::wstring_view path) {
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find_first_of(L"/\\", start);
    if (end == std::wstring_view::npos) end = path.size();
    if (path.substr(start, end - start) == L"..") return true;
    start = end + 1;
  }
  return false;
}

// True when the path names a drive ("\C|\dir", "/C:/dir"): a file URL of the player's own
// form, such as the one the bridge movie builds from its _url, which the player opens itself.
bool namesDrive(std::wstring_view path) {
  const std::size_t at = path.find_first_not_of(L"/\\");
  return at != std::wstring_view::npos && at + 1 < path.size() && std::iswalpha(path[at]) &&
         (path[at + 1] == L'|' || path[at + 1] == L':');
}

}  // namespace

std::optional<std::wstring> resolveMovieUrl(std::wstring_view url, std::wstring_view workingDirectory) {
  std::wstring path;
  std::wstring_view rest;
  if (url.substr(0, kLocalFilePrefix.size()) == kLocalFilePrefix) {
    rest = url.substr(kLocalFilePrefix.size());
    path.assign(workingDirectory);
    if (path.empty() || path.back() != L'\\') path += L'\\';
    path += rest;  // slashes stay: Windows accepts them
  } else if (url.substr(0, 7) == L"file://") {
    rest = url.substr(7);
    if (namesDrive(rest)) return std::nullopt;
    path.assign(workingDirectory);
    path += rest;
    std::replace(path.begin(), path.end(), L'/', L'\\');
  } else {
    return std::nullopt;
  }
  if (holdsParentSegment(rest)) return std::nullopt;
  return path;
}

HRESULT openMovieResource(std::wstring_view url, Microsoft::WRL::ComPtr<IStream>& stream) {
  const auto path = resolveMovieUrl(url, currentDirectory());
  if (!path) return E_FAIL;
  UniqueFileHandle file(CreateFileW(path->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return E_FAIL;
  Microsoft::WRL::ComPtr<IStream> memory;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &memory))) return E_FAIL;
  std::vector<char> piece(1 << 20);
  DWORD read = 0;
  while (ReadFile(file.get(), piece.data(), static_cast<DWORD>(piece.size()), &read, nullptr) && read > 0) {
    if (FAILED(memory->Write(piece.data(), read, nullptr))) return E_FAIL;
  }
  const LARGE_INTEGER start{};
  memory->Seek(start, STREAM_SEEK_SET, nullptr);
  stream = std::move(memory);
  return S_OK;
}

}  // namespace lumo
