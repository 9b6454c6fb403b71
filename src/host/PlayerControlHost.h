// What a player control takes from whoever registered its window class: the player's
// class-object entry and, where movies are served from memory, the way to start one.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <string>

namespace lumo {

using ClassObjectEntry = HRESULT(STDAPICALLTYPE*)(REFCLSID clsid, REFIID riid, void** out);

// Registers a movie for `control` that will be written into *writer, and answers the memory
// path the player is to load it from; the caller owns the stream's reference, and releasing it
// completes the data.
using MemoryMovieStarter = HRESULT (*)(void* context, HWND control, std::wstring* path, IStream** writer);

// Forgets a started movie the player did not take (`path`), or, with an empty path, every
// movie of a control being destroyed.
using MemoryMovieForgetter = void (*)(void* context, HWND control, const std::wstring& path);

struct PlayerControlHost {
  ClassObjectEntry classObjectEntry = nullptr;  // null: controls stay empty
  MemoryMovieStarter startMemoryMovie = nullptr;  // null: movies from memory answer E_NOTIMPL
  MemoryMovieForgetter forgetMemoryMovies = nullptr;
  void* context = nullptr;
};

}  // namespace lumo
