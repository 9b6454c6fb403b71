// Movies and resources served from memory: the movie ids and memory paths, the registry of
// streams waiting for the player's bind, the movie table, the owner's resource handlers, and
// the interception of the player's URL binds and file opens that resolves them.
#pragma once

#include "host/MovieStream.h"
#include "host/StreamInterception.h"

#include <windows.h>

#include <map>
#include <optional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace lumo {

// callback(url, address of the stream pointer, reserved, user data): S_OK or
// MK_S_ASYNCHRONOUS after writing into the stream, or a stream of its own put in its place
// (handed over with its reference; the stream it replaces must not be released).
using ResourceHandlerW = HRESULT(CALLBACK*)(const wchar_t* url, IStream** stream, void* reserved, void* userData);
using ResourceHandlerA = HRESULT(CALLBACK*)(const char* url, IStream** stream, void* reserved, void* userData);

class MovieStreams final : public StreamInterception {
 public:
  // A movie the player is about to bind: its memory path and the writer side of its stream.
  struct StartedMovie {
    std::wstring path;
    Microsoft::WRL::ComPtr<IStream> writer;
  };
  // Makes the stream pair and the next memory path, registered for `control`; nullopt when no
  // stream can be made.
  std::optional<StartedMovie> startMovie(HWND control);

  // Forgets a movie the player did not take (its load failed): its stream and its control.
  void abandonMovie(const std::wstring& path);
  // Forgets every movie of a control being destroyed, so a later window with the same handle
  // is never asked for their resources.
  void forgetControl(HWND control);

  int registerResourceHandler(ResourceHandlerA ansi, ResourceHandlerW wide, void* userData);
  void unregisterResourceHandler(int id);

  HRESULT createUrlMoniker(CreateUrlMonikerFunction real, IMoniker* context, LPCWSTR url,
                           IMoniker** moniker) override;
  HANDLE createFileA(CreateFileAFunction real, LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                     DWORD disposition, DWORD flags, HANDLE templateFile) override;

  // How a bind of `url` is answered: the moniker calls this with the player's callback.
  // S_FALSE means "bind through the system's own moniker" with `systemUrl` (the url itself
  // when empty).
  HRESULT resolveBind(const std::wstring& url, Microsoft::WRL::ComPtr<IBindStatusCallback> callback,
                      std::wstring& systemUrl);

 private:
  std::shared_ptr<MovieStream> takeRegistered(const std::wstring& url);
  HWND controlOf(int movieId);
  bool askHandlers(const std::wstring& url, MovieStream& stream);

  std::mutex registryLock_;
  std::vector<std::pair<std::wstring, std::shared_ptr<MovieStream>>> registry_;
  std::mutex moviesLock_;
  int nextMovieId_ = 100;
  std::map<int, HWND> movies_;
  struct Handler {
    int id;
    ResourceHandlerA ansi;
    ResourceHandlerW wide;
    void* userData;
  };
  std::mutex handlersLock_;
  std::vector<Handler> handlers_;
  int nextHandlerId_ = 1;
};

// The movie's base folder for a relative name: the control's Base, else the current directory.
std::wstring movieBaseFolder(HWND control);

}  // namespace lumo
