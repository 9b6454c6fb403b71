// The player control's test bed: window classes for controls and their parent, the recording
// of notifications by parent and listener, movie files and the player's transcript.
#include "ControlFixture.h"

#include <shellapi.h>

#include <fstream>
#include <sstream>

#include "SwfMovie.h"

namespace hostcontrol_test {

lumo::PlayerControlHost HostControlTest::host_;

namespace {

const wchar_t kControlClass[] = L"HostControlTestControl";
const wchar_t kParentClass[] = L"HostControlTestParent";

// The window procedures reach the running test through these.
lumo::PlayerControlHost* currentHost = nullptr;
std::vector<Seen>* seenLog = nullptr;
std::wstring* answer = nullptr;

std::wstring text(const wchar_t* value) { return value ? value : L"(null)"; }
std::wstring text(const char* value) { return value ? widen(value) : L"(null)"; }

Seen decode(const std::string& who, const NMHDR* header) {
  Seen s;
  s.who = who;
  s.code = header->code;
  s.from = header->hwndFrom;
  s.id = header->idFrom;
  switch (header->code) {
    case lumo::notify::kFSCommandW: {
      auto* n = reinterpret_cast<const lumo::FSCommandNotification<wchar_t>*>(header);
      s.text = text(n->command);
      s.second = text(n->arguments);
      break;
    }
    case lumo::notify::kFSCommandA: {
      auto* n = reinterpret_cast<const lumo::FSCommandNotification<char>*>(header);
      s.text = text(n->command);
      s.second = text(n->arguments);
      break;
    }
    case lumo::notify::kProgress:
    case lumo::notify::kReadyStateChange:
      s.number = reinterpret_cast<const lumo::NumberNotification*>(header)->value;
      break;
    case lumo::notify::kInvalidate: {
      auto* n = reinterpret_cast<const lumo::InvalidateNotification*>(header);
      s.text = std::to_wstring(n->left) + L"," + std::to_wstring(n->top) + L"," + std::to_wstring(n->right) + L"," +
               std::to_wstring(n->bottom);
      break;
    }
    case lumo::notify::kDrawStage:
      s.number = reinterpret_cast<const lumo::DrawStageNotification*>(header)->stage;
      break;
    case lumo::notify::kFrameReady:
      s.number = reinterpret_cast<const lumo::FrameReadyNotification*>(header)->pixels != nullptr;
      break;
    case lumo::notify::kFlashCallW:
      s.text = text(reinterpret_cast<const lumo::FlashCallNotification<wchar_t>*>(header)->request);
      break;
    case lumo::notify::kFlashCallA:
      s.text = text(reinterpret_cast<const lumo::FlashCallNotification<char>*>(header)->request);
      break;
    case lumo::notify::kResourceW:
    case lumo::notify::kResourceAnswerableW: {
      auto* n = reinterpret_cast<const lumo::ResourceNotification<wchar_t>*>(header);
      s.text = text(n->url);
      s.number = header->code == lumo::notify::kResourceAnswerableW ? n->handled : -1;
      break;
    }
    case lumo::notify::kResourceA:
    case lumo::notify::kResourceAnswerableA: {
      auto* n = reinterpret_cast<const lumo::ResourceNotification<char>*>(header);
      s.text = text(n->url);
      s.number = header->code == lumo::notify::kResourceAnswerableA ? n->handled : -1;
      break;
    }
    default:
      break;
  }
  return s;
}

LRESULT CALLBACK controlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return lumo::PlayerControl::windowProcedure(*currentHost, window, message, wParam, lParam);
}

LRESULT CALLBACK parentProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    Seen s = decode("parent", header);
    s.id = static_cast<UINT_PTR>(wParam);
    seenLog->push_back(s);
    if (header->code == lumo::notify::kFlashCallW && !answer->empty()) {
      lumo::ReturnValueRecord<wchar_t> record{answer->c_str(), E_FAIL};
      SendMessageW(header->hwndFrom, lumo::msg::kSetReturnValueW, 0, reinterpret_cast<LPARAM>(&record));
    }
    if (header->code == lumo::notify::kResourceAnswerableA) {
      reinterpret_cast<lumo::ResourceNotification<char>*>(header)->handled = TRUE;
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void CALLBACK recordListener(HWND, void* userData, NMHDR* header) {
  static_cast<std::vector<Seen>*>(userData)->push_back(decode("listener", header));
}

}  // namespace

std::wstring widen(const std::string& value) {
  int n = MultiByteToWideChar(CP_ACP, 0, value.c_str(), static_cast<int>(value.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, value.c_str(), static_cast<int>(value.size()), out.data(), n);
  return out;
}

std::vector<Seen>& HostControlTest::seen() {
  static std::vector<Seen> log;
  return log;
}

std::wstring& HostControlTest::flashCallAnswer() {
  static std::wstring value;
  return value;
}

void HostControlTest::SetUp() {
  OleInitialize(nullptr);
  seen().clear();
  flashCallAnswer().clear();
  seenLog = &seen();
  answer = &flashCallAnswer();

  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring dll(exe);
  dll = dll.substr(0, dll.find_last_of(L'\\') + 1) + L"lumoplayer.dll";
  library_ = LoadLibraryW(dll.c_str());
  ASSERT_NE(library_, nullptr) << "lumoplayer.dll does not load";
  host_ = {};
  host_.classObjectEntry = reinterpret_cast<lumo::ClassObjectEntry>(
      reinterpret_cast<void*>(GetProcAddress(library_, "DllGetClassObject")));
  currentHost = &host_;

  WNDCLASSEXW control{};
  control.cbSize = sizeof control;
  control.style = CS_GLOBALCLASS | CS_DBLCLKS;
  control.lpfnWndProc = controlProcedure;
  control.hInstance = GetModuleHandleW(nullptr);
  control.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  control.lpszClassName = kControlClass;
  RegisterClassExW(&control);
  WNDCLASSEXW parent = control;
  parent.lpfnWndProc = parentProcedure;
  parent.lpszClassName = kParentClass;
  RegisterClassExW(&parent);

  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  static int counter = 0;
  folder_ = std::wstring(temp) + L"lumo-hostcontrol-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
  CreateDirectoryW(folder_.c_str(), nullptr);
  transcriptPath_ = folder_ + L"\\transcript.txt";
  SetEnvironmentVariableW(L"LUMO_PLAYER_TRANSCRIPT", transcriptPath_.c_str());
}

void HostControlTest::TearDown() {
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
    if (IsWindow(*it)) DestroyWindow(*it);
  windows_.clear();
  pumpFor(20);
  SetEnvironmentVariableW(L"LUMO_PLAYER_TRANSCRIPT", nullptr);
  std::wstring from = folder_ + L'\0';
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
  SHFileOperationW(&op);
  UnregisterClassW(kControlClass, GetModuleHandleW(nullptr));
  UnregisterClassW(kParentClass, GetModuleHandleW(nullptr));
  if (library_ && playerCanUnload()) FreeLibrary(library_);
  library_ = nullptr;
  OleUninitialize();
}

bool HostControlTest::playerCanUnload() const {
  using CanUnload = HRESULT(STDAPICALLTYPE*)();
  auto canUnload = reinterpret_cast<CanUnload>(reinterpret_cast<void*>(GetProcAddress(library_, "DllCanUnloadNow")));
  return canUnload && canUnload() == S_OK;
}

HWND HostControlTest::createParent() {
  HWND parent = CreateWindowExW(0, kParentClass, L"parent", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                                420, 340, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  windows_.push_back(parent);
  return parent;
}

HWND HostControlTest::createControl(DWORD style, DWORD exStyle, HWND parent, int id) {
  HMENU menu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : nullptr;
  HWND control = CreateWindowExW(exStyle, kControlClass, nullptr, style, 0, 0, 320, 240, parent, menu,
                                 GetModuleHandleW(nullptr), nullptr);
  windows_.push_back(control);
  return control;
}

std::wstring HostControlTest::writeMovie(const std::string& name, const std::string& script) {
  movie::SwfMovie m;
  m.xMax = 320 * 20;
  m.yMax = 240 * 20;
  m.background = 0x336699;
  m.script = script;
  m.hasScript = !script.empty();
  std::vector<uint8_t> bytes = movie::writeSwf(m);
  std::wstring path = folder_ + L"\\" + widen(name);
  std::ofstream out(path.c_str(), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

bool HostControlTest::loadMovie(HWND control, const std::wstring& path) {
  const size_t before = seen().size();
  lumo::TextRecord<wchar_t> record{path.c_str(), E_FAIL};
  if (send(control, lumo::msg::kPutMovieW, record) != 1 || record.result != S_OK) return false;
  return pumpUntil([&] {
    for (size_t i = before; i < seen().size(); ++i)
      if (seen()[i].code == lumo::notify::kReadyStateChange && seen()[i].number == 4) return true;
    return false;
  });
}

std::vector<std::string> HostControlTest::transcript() const {
  std::ifstream in(transcriptPath_.c_str());
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool HostControlTest::transcriptHas(const std::string& prefix) const {
  for (const std::string& line : transcript())
    if (line.rfind(prefix, 0) == 0) return true;
  return false;
}

bool HostControlTest::waitTranscript(const std::string& prefix, DWORD ms) const {
  return pumpUntil([&] { return transcriptHas(prefix); }, ms);
}

void HostControlTest::listen(HWND control) {
  lumo::EventListenerRecord record{&recordListener, &seen()};
  SendMessageW(control, RegisterWindowMessageA(lumo::kSetEventListenerMessage), 0, reinterpret_cast<LPARAM>(&record));
}

std::wstring getText(HWND control, UINT message) {
  lumo::TextAnswerRecord<wchar_t> size{nullptr, 0, E_FAIL};
  send(control, message, size);
  if (FAILED(size.result) || size.count == 0) return L"(failed)";
  std::wstring buffer(size.count, L'\0');
  lumo::TextAnswerRecord<wchar_t> full{buffer.data(), size.count, E_FAIL};
  send(control, message, full);
  if (FAILED(full.result)) return L"(failed)";
  buffer.resize(full.count - 1);
  return buffer;
}

std::string getTextA(HWND control, UINT message) {
  lumo::TextAnswerRecord<char> size{nullptr, 0, E_FAIL};
  send(control, message, size);
  if (FAILED(size.result) || size.count == 0) return "(failed)";
  std::string buffer(size.count, '\0');
  lumo::TextAnswerRecord<char> full{buffer.data(), size.count, E_FAIL};
  send(control, message, full);
  if (FAILED(full.result)) return "(failed)";
  buffer.resize(full.count - 1);
  return buffer;
}

}  // namespace hostcontrol_test

namespace hostcontrol_test {

std::vector<std::wstring>& HostControlTest::openedMenuItems() {
  static std::vector<std::wstring> items;
  return items;
}

namespace {
BOOL CALLBACK readOpenMenu(HWND window, LPARAM) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (wcscmp(name, L"#32768") != 0 || !IsWindowVisible(window) || process != GetCurrentProcessId()) return TRUE;
  auto menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
  for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
    HostControlTest::openedMenuItems().push_back(text);
  }
  return FALSE;
}

void CALLBACK endMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  EnumWindows(readOpenMenu, 0);
  EndMenu();
}
}  // namespace

void HostControlTest::closeMenuSoon() {
  openedMenuItems().clear();
  SetTimer(nullptr, 0, 300, endMenu);
}

}  // namespace hostcontrol_test
