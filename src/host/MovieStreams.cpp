#include "host/MovieStreams.h"

#include "host/AnsiText.h"
#include "host/MemoryMoviePath.h"
#include "util/FileSystem.h"
#include "host/PlayerMessages.h"
#include "host/WrappingMoniker.h"
#include "ComOwnership.h"

#include <algorithm>
#include <vector>

namespace lumo {

namespace {

using Microsoft::WRL::ComPtr;

UINT externalResourceMessage() {
  static const UINT message = RegisterWindowMessageA(kLoadExternalResourceMessage);
  return message;
}

}  // namespace

std::wstring movieBaseFolder(HWND control) {
  // Length first, then the text.
  TextAnswerRecord<wchar_t> length{nullptr, 0, E_FAIL};
  SendMessageW(control, msg::kGetBaseW, 0, reinterpret_cast<LPARAM>(&length));
  std::wstring base;
  if (SUCCEEDED(length.result) && length.count > 1) {
    std::vector<wchar_t> buffer(length.count + 1, L'\0');
    TextAnswerRecord<wchar_t> text{buffer.data(), static_cast<uint32_t>(buffer.size()), E_FAIL};
    SendMessageW(control, msg::kGetBaseW, 0, reinterpret_cast<LPARAM>(&text));
    if (SUCCEEDED(text.result)) base = buffer.data();
  }
  return base.empty() ? currentDirectory() : base;
}

std::optional<MovieStreams::StartedMovie> MovieStreams::startMovie(HWND control) {
  auto stream = MovieStream::create();
  if (!stream) return std::nullopt;
  int movieId;
  {
    std::lock_guard<std::mutex> held(moviesLock_);
    movieId = nextMovieId_++;
    movies_[movieId] = control;
  }
  StartedMovie started{memoryMoviePath(movieId), stream->writer()};
  std::lock_guard<std::mutex> held(registryLock_);
  registry_.emplace_back(started.path, std::move(stream));
  return started;
}

void MovieStreams::abandonMovie(const std::wstring& path) {
  takeRegistered(path);
  if (const auto request = parseMemoryMoviePath(path)) {
    std::lock_guard<std::mutex> held(moviesLock_);
    movies_.erase(request->movieId);
  }
}

void MovieStreams::forgetControl(HWND control) {
  std::vector<int> ids;
  {
    std::lock_guard<std::mutex> held(moviesLock_);
    for (auto it = movies_.begin(); it != movies_.end();) {
      if (it->second == control) {
        ids.push_back(it->first);
        it = movies_.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (int id : ids) takeRegistered(memoryMoviePath(id));
}

void MovieStreams::unregisterResourceHandler(int id) {
  std::lock_guard<std::mutex> held(handlersLock_);
  std::erase_if(handlers_, [id](const Handler& handler) { return handler.id == id; });
}

int MovieStreams::registerResourceHandler(ResourceHandlerA ansi, ResourceHandlerW wide, void* userData) {
  std::lock_guard<std::mutex> held(handlersLock_);
  const int id = nextHandlerId_++;
  handlers_.push_back(Handler{id, ansi, wide, userData});
  return id;
}

std::shared_ptr<MovieStream> MovieStreams::takeRegistered(const std::wstring& url) {
  std::lock_guard<std::mutex> held(registryLock_);
  const auto it = std::find_if(registry_.begin(), registry_.end(), [&](const auto& entry) { return entry.first == url; });
  if (it == registry_.end()) return nullptr;
  auto stream = std::move(it->second);
  registry_.erase(it);
  return stream;
}

HWND MovieStreams::controlOf(int movieId) {
  std::lock_guard<std::mutex> held(moviesLock_);
  const auto it = movies_.find(movieId);
  return it == movies_.end() ? nullptr : it->second;
}

bool MovieStreams::askHandlers(const std::wstring& url, MovieStream& stream) {
  // Handlers run under the list's lock: they must not register or remove handlers. Every
  // handler is offered the same writer; a handler that answers asynchronously keeps a
  // reference, and its last release completes the data.
  std::lock_guard<std::mutex> held(handlersLock_);
  const std::string ansiUrl = toAnsi(url);
  ComPtr<IStream> writer = stream.writer();
  for (const Handler& handler : handlers_) {
    IStream* answer = writer.Get();
    const HRESULT result = handler.wide ? handler.wide(url.c_str(), &answer, nullptr, handler.userData)
                           : handler.ansi ? handler.ansi(ansiUrl.c_str(), &answer, nullptr, handler.userData)
                                          : E_FAIL;
    if (answer && answer != writer.Get()) {
      // A stream of the handler's own (now ours to release) answers whatever the result says.
      stream.copyFrom(adoptReference(answer).Get());
      return true;
    }
    if (result == S_OK || result == MK_S_ASYNCHRONOUS) return true;
  }
  return false;
}

HRESULT MovieStreams::resolveBind(const std::wstring& url, ComPtr<IBindStatusCallback> callback,
                                  std::wstring& systemUrl) {
  if (url == kResetUrl) return MK_E_NOSTORAGE;
  if (auto registered = takeRegistered(url)) {
    registered->attach(std::move(callback));
    return MK_S_ASYNCHRONOUS;
  }
  auto fresh = MovieStream::create();
  if (!fresh) return E_OUTOFMEMORY;
  const auto request = parseMemoryMoviePath(url);
  if (!request) {
    if (!askHandlers(url, *fresh)) return S_FALSE;  // the system's moniker binds it
    fresh->attach(std::move(callback));
    return MK_S_ASYNCHRONOUS;
  }
  HWND control = controlOf(request->movieId);
  if (!control) return E_FAIL;

  // The control's owner may answer from its own resources.
  BSTR bstrUrl = SysAllocString(url.c_str());
  ComPtr<IStream> writer = fresh->writer();
  char ansi[MAX_PATH] = {};
  ExternalResourceRecord record{bstrUrl, ansi, MAX_PATH, writer.Get(), 0};
  SendMessageW(control, externalResourceMessage(), 0, reinterpret_cast<LPARAM>(&record));
  SysFreeString(bstrUrl);
  if (record.handled) {
    writer.Reset();  // the last writer reference completes the data
    fresh->attach(std::move(callback));
    return MK_S_ASYNCHRONOUS;
  }
  // Otherwise the resource is a file beside the movie.
  std::wstring base = movieBaseFolder(control);
  std::replace(base.begin(), base.end(), L'\\', L'/');
  if (!base.empty() && base.back() != L'/') base += L'/';
  systemUrl = base + request->name;
  return S_FALSE;
}

HRESULT MovieStreams::createUrlMoniker(CreateUrlMonikerFunction real, IMoniker* context, LPCWSTR url,
                                       IMoniker** moniker) {
  if (!moniker) return E_POINTER;
  ComPtr<IMoniker> inner;
  const HRESULT created = real(context, url, &inner);
  if (FAILED(created)) return created;
  *moniker = wrapUrlMoniker(*this, std::move(inner), url ? url : L"").Detach();
  return S_OK;
}

HANDLE MovieStreams::createFileA(CreateFileAFunction real, LPCSTR path, DWORD access, DWORD share,
                                 LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                                 HANDLE templateFile) {
  if (path) {
    const auto request = parseMemoryMoviePath(fromAnsi(path));
    HWND control = request ? controlOf(request->movieId) : nullptr;
    if (control) {
      char base[260] = {};
      TextAnswerRecord<char> answer{base, 260, E_FAIL};
      SendMessageA(control, msg::kGetBaseA, 0, reinterpret_cast<LPARAM>(&answer));
      std::string folder = SUCCEEDED(answer.result) ? base : "";
      if (folder.empty()) folder = toAnsi(currentDirectory());
      // Without a folder the name would be opened at the drive's root: left to the real call.
      if (folder.empty()) return real(path, access, share, security, disposition, flags, templateFile);
      std::string file = folder + "\\" + toAnsi(request->name);
      std::replace(file.begin(), file.end(), '/', '\\');
      HANDLE opened = real(file.c_str(), access, share, security, disposition, flags, templateFile);
      if (opened != INVALID_HANDLE_VALUE) return opened;
    }
  }
  return real(path, access, share, security, disposition, flags, templateFile);
}

}  // namespace lumo
