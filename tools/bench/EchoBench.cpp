// echo-bench.exe N: the bare echo. A player control hosts the stand-in player, whose movie makes
// N ExternalInterface calls; the control's parent answers each FlashCall notification with the
// set-return-value message and nothing else. Prints the calls per second, the baseline of a
// projector's full command path.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <fstream>
#include <string>

#include "SwfMovie.h"
#include "host/PlayerControl.h"
#include "host/PlayerMessages.h"

namespace {

lumo::PlayerControlHost host;
long answered = 0;
bool done = false;

LRESULT CALLBACK controlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return lumo::PlayerControl::windowProcedure(host, window, message, wParam, lParam);
}

LRESULT CALLBACK parentProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code == lumo::notify::kFlashCallW) {
      const wchar_t* request = reinterpret_cast<lumo::FlashCallNotification<wchar_t>*>(header)->request;
      if (std::wcsstr(request, L"name=\"done\"")) done = true;
      lumo::ReturnValueRecord<wchar_t> record{L"<string>[&quot;main&quot;]</string>", E_FAIL};
      SendMessageW(header->hwndFrom, lumo::msg::kSetReturnValueW, 0, reinterpret_cast<LPARAM>(&record));
      ++answered;
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const long calls = argc > 1 ? std::wcstol(argv[1], nullptr, 10) : 20000;
  OleInitialize(nullptr);
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring folder(exe);
  folder = folder.substr(0, folder.find_last_of(L'\\') + 1);
  HMODULE player = LoadLibraryW((folder + L"lumoplayer.dll").c_str());
  if (!player) return 1;
  host.classObjectEntry = reinterpret_cast<lumo::ClassObjectEntry>(
      reinterpret_cast<void*>(GetProcAddress(player, "DllGetClassObject")));

  WNDCLASSW wc{};
  wc.lpfnWndProc = controlProcedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"EchoControl";
  RegisterClassW(&wc);
  wc.lpfnWndProc = parentProcedure;
  wc.lpszClassName = L"EchoParent";
  RegisterClassW(&wc);
  HWND parent = CreateWindowExW(0, L"EchoParent", L"echo", WS_OVERLAPPEDWINDOW, 0, 0, 320, 240, nullptr, nullptr,
                                wc.hInstance, nullptr);
  HWND control = CreateWindowExW(0, L"EchoControl", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 320, 240, parent,
                                 reinterpret_cast<HMENU>(1), wc.hInstance, nullptr);

  // The same calls a projector's movie makes, then one that says the run is over.
  std::string script;
  for (long i = 0; i < calls; ++i) script += "call vor.Application.getFormNames 0 \"<{lumo}>\"\n";
  script += "call done 0\n";
  movie::SwfMovie movie;
  movie.script = script;
  movie.hasScript = true;
  const std::vector<uint8_t> bytes = movie::writeSwf(movie);
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring path = std::wstring(temp) + L"lumo-echo-bench.swf";
  {
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  const auto start = std::chrono::steady_clock::now();
  lumo::TextRecord<wchar_t> load{path.c_str(), E_FAIL};
  SendMessageW(control, lumo::msg::kPutMovieW, 0, reinterpret_cast<LPARAM>(&load));
  MSG message;
  while (!done && GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%.0f\n", static_cast<double>(answered) / seconds);
  DestroyWindow(parent);
  DeleteFileW(path.c_str());
  OleUninitialize();
  return answered >= calls ? 0 : 1;
}
