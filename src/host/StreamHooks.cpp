// URL-moniker and file-open hooks: handed to the module's stream interception, which serves
// movies and their resources from memory (or passes the call through).
#include "host/Hooks.h"

#include "CallBoundary.h"
#include "host/PlayerModule.h"

namespace lumo::hooks {

HRESULT WINAPI createUrlMoniker(HRESULT(WINAPI* real)(IMoniker*, LPCWSTR, IMoniker**), PlayerModule* module,
                                IMoniker* context, LPCWSTR url, IMoniker** moniker) {
  return atBoundary("CreateURLMoniker hook", HRESULT{E_OUTOFMEMORY}, [&]() -> HRESULT {
    return module->streams().createUrlMoniker(real, context, url, moniker);
  });
}

HANDLE WINAPI createFileA(decltype(&CreateFileA) real, PlayerModule* module, LPCSTR path, DWORD access, DWORD share,
                          LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags, HANDLE templateFile) {
  return atBoundary("CreateFileA hook", INVALID_HANDLE_VALUE, [&]() -> HANDLE {
    return module->streams().createFileA(real, path, access, share, security, disposition, flags, templateFile);
  });
}

HANDLE WINAPI createFileW(decltype(&CreateFileW) real, PlayerModule* module, LPCWSTR path, DWORD access,
                          DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                          HANDLE templateFile) {
  return atBoundary("CreateFileW hook", INVALID_HANDLE_VALUE, [&]() -> HANDLE {
    return module->streams().createFileW(real, path, access, share, security, disposition, flags, templateFile);
  });
}

}  // namespace lumo::hooks
