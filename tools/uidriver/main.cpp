// uidriver: a console tool for tests that finds a top-level window by caption or class and
// reads, types into, clicks or closes it, printing what it saw. Exit 0 on success, 1 when
// no matching window appears before the timeout, 2 for a bad command line.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Options {
  std::wstring command;
  std::wstring title;
  std::wstring className;
  int control = -1;
  DWORD timeoutMs = 5000;
  std::wstring text;
};

struct Search {
  const Options* options;
  HWND found;
};

std::wstring windowText(HWND window) {
  // WM_GETTEXT crosses processes; GetWindowText would not read another process's edit box.
  wchar_t buffer[4096] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, &copied);
  return buffer;
}

std::wstring className(HWND window) {
  wchar_t buffer[256] = {};
  GetClassNameW(window, buffer, 256);
  return buffer;
}

BOOL CALLBACK matchTopLevel(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  const Options& o = *search->options;
  if (!o.title.empty() && windowText(window) != o.title) return TRUE;
  if (!o.className.empty() && className(window) != o.className) return TRUE;
  // With --control the window must hold that control: a closing dialog with the same
  // caption as the box that follows it is passed over.
  if (o.control >= 0 && !GetDlgItem(window, o.control)) return TRUE;
  search->found = window;
  return FALSE;
}

HWND waitForWindow(const Options& options) {
  const ULONGLONG deadline = GetTickCount64() + options.timeoutMs;
  for (;;) {
    Search search{&options, nullptr};
    EnumWindows(matchTopLevel, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    if (GetTickCount64() >= deadline) return nullptr;
    Sleep(50);
  }
}

void printLine(const std::wstring& line) {
  // UTF-8 on stdout, so that tests and shells read any caption.
  const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, utf8.data(), size, nullptr, nullptr);
  std::printf("%s\n", utf8.c_str());
  std::fflush(stdout);
}

BOOL CALLBACK printChild(HWND child, LPARAM) {
  printLine(L"child " + std::to_wstring(GetDlgCtrlID(child)) + L" " + className(child) + L" \"" +
            windowText(child) + L"\"");
  return TRUE;
}

int usage() {
  std::fputs(
      "usage: uidriver COMMAND (--title TEXT | --class NAME) [--control ID] [--timeout MS] [TEXT]\n"
      "  With --control, only a window holding that control matches.\n"
      "  wait   wait for the window\n"
      "  dump   print its caption and class, then a line per child: id, class, text\n"
      "  text   print the window's text, or the control's with --control\n"
      "  type   set the text of --control to TEXT\n"
      "  click  press the button --control (sends its WM_COMMAND to the window)\n"
      "  close  send WM_CLOSE to the window\n",
      stderr);
  return 2;
}

bool parse(int argc, wchar_t** argv, Options& o) {
  if (argc < 2) return false;
  o.command = argv[1];
  for (int i = 2; i < argc; ++i) {
    const std::wstring arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == L"--title" && hasValue) o.title = argv[++i];
    else if (arg == L"--class" && hasValue) o.className = argv[++i];
    else if (arg == L"--control" && hasValue) o.control = _wtoi(argv[++i]);
    else if (arg == L"--timeout" && hasValue) o.timeoutMs = static_cast<DWORD>(_wtoi(argv[++i]));
    else if (arg.rfind(L"--", 0) == 0) return false;
    else o.text = arg;
  }
  return !o.title.empty() || !o.className.empty();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options o;
  if (!parse(argc, argv, o)) return usage();

  HWND window = waitForWindow(o);
  if (!window) {
    std::fputs("window not found\n", stderr);
    return 1;
  }
  HWND target = o.control >= 0 ? GetDlgItem(window, o.control) : window;

  if (o.command == L"wait") {
    printLine(L"found \"" + windowText(window) + L"\" " + className(window));
  } else if (o.command == L"dump") {
    printLine(L"window \"" + windowText(window) + L"\" " + className(window));
    EnumChildWindows(window, printChild, 0);
  } else if (o.command == L"text") {
    printLine(windowText(target));
  } else if (o.command == L"type") {
    SendMessageTimeoutW(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(o.text.c_str()), SMTO_ABORTIFHUNG, 2000,
                        nullptr);
  } else if (o.command == L"click") {
    if (o.control < 0) return usage();
    // The owner learns of a click through WM_COMMAND; posting it needs no focus or
    // activation, which a desktop without a window manager does not give.
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(o.control, BN_CLICKED), reinterpret_cast<LPARAM>(target));
  } else if (o.command == L"close") {
    PostMessageW(window, WM_CLOSE, 0, 0);
  } else {
    return usage();
  }
  return 0;
}
