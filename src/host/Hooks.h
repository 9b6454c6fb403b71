// The replacements named by the hook table. Each is called as replacement(real function,
// player module, the API's own arguments) and removes all of them on return.
#pragma once

#include <windows.h>
#include <mmsystem.h>
#include <urlmon.h>

namespace lumo {

class PlayerModule;

namespace hooks {

// Window classes (ClassHooks.cpp).
HWND WINAPI createWindowExA(decltype(&CreateWindowExA) real, PlayerModule* module, DWORD exStyle, LPCSTR className,
                            LPCSTR windowName, DWORD style, int x, int y, int width, int height, HWND parent,
                            HMENU menu, HINSTANCE instance, LPVOID parameter);
ATOM WINAPI registerClassExA(decltype(&RegisterClassExA) real, PlayerModule* module, const WNDCLASSEXA* description);
ATOM WINAPI registerClassA(decltype(&RegisterClassA) real, PlayerModule* module, const WNDCLASSA* description);
BOOL WINAPI unregisterClassA(decltype(&UnregisterClassA) real, PlayerModule* module, LPCSTR className,
                             HINSTANCE instance);
BOOL WINAPI getClassInfoExA(decltype(&GetClassInfoExA) real, PlayerModule* module, HINSTANCE instance,
                            LPCSTR className, LPWNDCLASSEXA description);

// Resources of the image (ResourceHooks.cpp).
HCURSOR WINAPI loadCursorA(decltype(&LoadCursorA) real, PlayerModule* module, HINSTANCE instance, LPCSTR name);
HMENU WINAPI loadMenuA(decltype(&LoadMenuA) real, PlayerModule* module, HINSTANCE instance, LPCSTR name);

// Sound (SoundHooks.cpp).
MMRESULT WINAPI waveOutOpen(decltype(&::waveOutOpen) real, PlayerModule* module, LPHWAVEOUT handle, UINT device,
                            LPCWAVEFORMATEX format, DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
MMRESULT WINAPI waveOutWrite(decltype(&::waveOutWrite) real, PlayerModule* module, HWAVEOUT handle, LPWAVEHDR header,
                             UINT headerSize);
MMRESULT WINAPI waveOutClose(decltype(&::waveOutClose) real, PlayerModule* module, HWAVEOUT handle);

// Process and memory (SystemHooks.cpp).
HMODULE WINAPI loadLibraryA(decltype(&LoadLibraryA) real, PlayerModule* module, LPCSTR path);
LPVOID WINAPI virtualAlloc(decltype(&VirtualAlloc) real, PlayerModule* module, LPVOID address, SIZE_T size,
                           DWORD allocationType, DWORD protection);
BOOL WINAPI flushInstructionCache(decltype(&FlushInstructionCache) real, PlayerModule* module, HANDLE process,
                                  LPCVOID address, SIZE_T size);
// "\\swsupport.dll" or "\\swsupport" ends the path at one of its backslashes (any case).
bool isRefusedSupportLibrary(const char* path);

// Lookups the system cannot answer for a mapped image (LookupHooks.cpp): functions found at run
// time meet the hook table too, and the image's own base and function table are known.
FARPROC WINAPI getProcAddress(decltype(&GetProcAddress) real, PlayerModule* module, HMODULE library, LPCSTR name);
PVOID WINAPI rtlPcToFileHeader(PVOID(WINAPI* real)(PVOID, PVOID*), PlayerModule* module, PVOID pc, PVOID* base);
#ifdef _WIN64
PRUNTIME_FUNCTION WINAPI rtlLookupFunctionEntry(PRUNTIME_FUNCTION(WINAPI* real)(DWORD64, PDWORD64, PVOID),
                                                PlayerModule* module, DWORD64 pc, PDWORD64 base, PVOID history);
#endif

// Movie streams: handed to the module's StreamInterception (StreamHooks.cpp).
HRESULT WINAPI createUrlMoniker(HRESULT(WINAPI* real)(IMoniker*, LPCWSTR, IMoniker**), PlayerModule* module,
                                IMoniker* context, LPCWSTR url, IMoniker** moniker);
HANDLE WINAPI createFileA(decltype(&CreateFileA) real, PlayerModule* module, LPCSTR path, DWORD access, DWORD share,
                          LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags, HANDLE templateFile);
HANDLE WINAPI createFileW(decltype(&CreateFileW) real, PlayerModule* module, LPCWSTR path, DWORD access,
                          DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                          HANDLE templateFile);

}  // namespace hooks
}  // namespace lumo
