// The seam through which the player's URL binds and file opens reach the movie streams: the
// CreateURLMoniker, CreateFileA and CreateFileW hooks call it; by default it passes through.
#pragma once

#include <windows.h>
#include <urlmon.h>

namespace lumo {

class StreamInterception {
 public:
  using CreateUrlMonikerFunction = HRESULT(WINAPI*)(IMoniker* context, LPCWSTR url, IMoniker** moniker);
  using CreateFileAFunction = HANDLE(WINAPI*)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
  using CreateFileWFunction = HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);

  virtual ~StreamInterception() = default;
  // Each receives the real function the image imported and the API's own arguments.
  virtual HRESULT createUrlMoniker(CreateUrlMonikerFunction real, IMoniker* context, LPCWSTR url,
                                   IMoniker** moniker) {
    return real(context, url, moniker);
  }
  virtual HANDLE createFileA(CreateFileAFunction real, LPCSTR path, DWORD access, DWORD share,
                             LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags, HANDLE templateFile) {
    return real(path, access, share, security, disposition, flags, templateFile);
  }
  virtual HANDLE createFileW(CreateFileWFunction real, LPCWSTR path, DWORD access, DWORD share,
                             LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags, HANDLE templateFile) {
    return real(path, access, share, security, disposition, flags, templateFile);
  }
};

}  // namespace lumo
