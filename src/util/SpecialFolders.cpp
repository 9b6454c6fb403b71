// Special folder paths through the shell's item-id lists; any failure gives the empty text.
#include "util/SpecialFolders.h"

#include <windows.h>
#include <shlobj.h>
#include <wrl/client.h>

namespace lumo {
namespace {

struct FolderId {
  SpecialFolder folder;
  int csidl;
};
constexpr FolderId kFolders[] = {
    {SpecialFolder::Programs, CSIDL_PROGRAMS},                  // 2
    {SpecialFolder::ProgramFiles, CSIDL_PROGRAM_FILES},         // 38
    {SpecialFolder::Windows, CSIDL_WINDOWS},                    // 36
    {SpecialFolder::System, CSIDL_SYSTEM},                      // 37
    {SpecialFolder::Desktop, CSIDL_DESKTOP},                    // 0
    {SpecialFolder::Personal, CSIDL_PERSONAL},                  // 5
    {SpecialFolder::Favorites, CSIDL_FAVORITES},                // 6
    {SpecialFolder::Startup, CSIDL_STARTUP},                    // 7
    {SpecialFolder::Recent, CSIDL_RECENT},                      // 8
    {SpecialFolder::Fonts, CSIDL_FONTS},                        // 20
    {SpecialFolder::History, CSIDL_HISTORY},                    // 34
    {SpecialFolder::Cookies, CSIDL_COOKIES},                    // 33
    {SpecialFolder::NetHood, CSIDL_NETHOOD},                    // 19
    {SpecialFolder::StartMenu, CSIDL_STARTMENU},                // 11
    {SpecialFolder::AppData, CSIDL_APPDATA},                    // 26
    {SpecialFolder::CommonAdminTools, CSIDL_COMMON_ADMINTOOLS}, // 47
    {SpecialFolder::CommonAppData, CSIDL_COMMON_APPDATA},       // 35
    {SpecialFolder::CommonPrograms, CSIDL_COMMON_PROGRAMS},     // 23
    {SpecialFolder::CommonStartMenu, CSIDL_COMMON_STARTMENU},   // 22
    {SpecialFolder::CommonStartup, CSIDL_COMMON_STARTUP},       // 24
};

}  // namespace

int csidlOf(SpecialFolder folder) {
  for (const FolderId& entry : kFolders)
    if (entry.folder == folder) return entry.csidl;
  return -1;
}

std::wstring specialFolderPath(int csidl) {
  LPITEMIDLIST items = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(GetDesktopWindow(), csidl, &items)) || !items) return {};
  wchar_t path[MAX_PATH] = {};
  const bool found = SHGetPathFromIDListW(items, path);
  Microsoft::WRL::ComPtr<IMalloc> shellAllocator;
  if (SUCCEEDED(SHGetMalloc(&shellAllocator))) shellAllocator->Free(items);
  return found ? std::wstring(path) : std::wstring();
}

std::wstring specialFolderPath(SpecialFolder folder) { return specialFolderPath(csidlOf(folder)); }

}  // namespace lumo
