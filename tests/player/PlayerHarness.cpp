// Test container for the player DLL: loading, siting, event recording, movies and transcripts.
#include "PlayerHarness.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <fstream>
#include <sstream>

namespace player_test {

TempFolder::TempFolder() {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  static int counter = 0;
  path_ = std::wstring(base) + L"lumo-player-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(++counter);
  CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
  std::wstring from = path_ + L'\0';
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
  SHFileOperationW(&op);
}

movie::SwfMovie makeMovie(int width, int height, uint32_t background, const std::string& script) {
  movie::SwfMovie m;
  m.xMax = width * 20;
  m.yMax = height * 20;
  m.background = background;
  m.script = script;
  m.hasScript = !script.empty();
  return m;
}

std::wstring writeMovie(const std::wstring& path, const movie::SwfMovie& m) {
  std::vector<uint8_t> bytes = movie::writeSwf(m);
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(f);
  return path;
}

std::wstring fileUrl(const std::wstring& path) {
  std::wstring url = L"file:///" + path;
  for (wchar_t& c : url)
    if (c == L'\\') c = L'/';
  return url;
}

std::string narrow(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

BSTR bstr(const wchar_t* text) { return SysAllocString(text); }

Transcript::Transcript(const TempFolder& folder) : path_(folder.file(L"transcript.txt")) {
  SetEnvironmentVariableW(L"LUMO_PLAYER_TRANSCRIPT", path_.c_str());
}

Transcript::~Transcript() { SetEnvironmentVariableW(L"LUMO_PLAYER_TRANSCRIPT", nullptr); }

std::vector<std::string> Transcript::lines() const {
  std::vector<std::string> out;
  HANDLE f = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return out;
  std::string all;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got > 0) all.append(buffer, got);
  CloseHandle(f);
  std::istringstream in(all);
  std::string line;
  while (std::getline(in, line)) out.push_back(line);
  return out;
}

bool Transcript::has(const std::string& prefix) const {
  for (const std::string& l : lines())
    if (l.rfind(prefix, 0) == 0) return true;
  return false;
}

bool Transcript::waitFor(const std::string& prefix, DWORD ms) const {
  return pumpUntil([&] { return has(prefix); }, ms);
}

// --- EventSink --------------------------------------------------------------------------------

int EventSink::count(DISPID id) const {
  int n = 0;
  for (const Event& e : events) n += e.id == id;
  return n;
}

HRESULT STDMETHODCALLTYPE EventSink::QueryInterface(REFIID riid, void** out) {
  if (riid == IID_IUnknown || riid == IID_IDispatch || riid == flash::DIID_IShockwaveFlashEvents) {
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE EventSink::Release() {
  ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT STDMETHODCALLTYPE EventSink::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE EventSink::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                            UINT*) {
  Event e{id, {}};
  for (UINT i = 0; params && i < params->cArgs; ++i) {
    VARIANT text;
    VariantInit(&text);
    if (SUCCEEDED(VariantChangeType(&text, &params->rgvarg[i], 0, VT_BSTR)))
      e.args.emplace_back(text.bstrVal, SysStringLen(text.bstrVal));
    VariantClear(&text);
  }
  events.push_back(e);
  std::optional<std::wstring> reply = answer;
  if (id == flash::kDispFlashCall && !answers.empty()) {
    reply = answers.front();
    answers.erase(answers.begin());
  }
  if (id == flash::kDispFlashCall && reply && player) {
    BSTR value = SysAllocString(reply->c_str());
    player->SetReturnValue(value);
    SysFreeString(value);
  }
  return S_OK;
}

// --- TestSite ---------------------------------------------------------------------------------

static LRESULT CALLBACK containerProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  TestSite::windowMessages().push_back(m);
  if (m == WM_COMMAND) SetPropW(w, L"command", reinterpret_cast<HANDLE>(static_cast<INT_PTR>(LOWORD(wp))));
  if (m == WM_DROPFILES) {
    // Read the names back as a form would, and record the first.
    wchar_t name[MAX_PATH] = {};
    DragQueryFileW(reinterpret_cast<HDROP>(wp), 0, name, MAX_PATH);
    SetPropW(w, L"dropped", reinterpret_cast<HANDLE>(static_cast<INT_PTR>(DragQueryFileW(reinterpret_cast<HDROP>(wp), 0xFFFFFFFF, nullptr, 0))));
    DragFinish(reinterpret_cast<HDROP>(wp));
    return 0;
  }
  if (m == WM_SYSCOMMAND && (wp & 0xFFF0) == SC_CLOSE) return 0;  // the test decides when it closes
  return DefWindowProcW(w, m, wp, lp);
}

std::vector<UINT>& TestSite::windowMessages() {
  static std::vector<UINT> messages;
  return messages;
}

TestSite::TestSite(bool allowWindowless, int width, int height) : allowWindowless_(allowWindowless) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = containerProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"PlayerTestContainer";
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  RegisterClassW(&wc);
  // A popup without a frame: Wine without a window manager takes seconds to withdraw a framed
  // top-level window, and the client area is then the whole window.
  window_ = CreateWindowExW(0, L"PlayerTestContainer", L"container", WS_POPUP | WS_CLIPCHILDREN, 50, 50, width,
                            height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ShowWindow(window_, SW_SHOWNORMAL);
  UpdateWindow(window_);
  windowMessages().clear();
}

TestSite::~TestSite() { DestroyWindow(window_); }

bool TestSite::called(const std::string& name) const {
  for (const std::string& c : calls)
    if (c == name) return true;
  return false;
}

HRESULT STDMETHODCALLTYPE TestSite::QueryInterface(REFIID riid, void** out) {
  *out = nullptr;
  if (riid == IID_IUnknown || riid == IID_IOleClientSite)
    *out = static_cast<IOleClientSite*>(this);
  else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite)
    *out = static_cast<IOleInPlaceSite*>(static_cast<IOleInPlaceSiteWindowless*>(this));
  else if (allowWindowless_ && (riid == IID_IOleInPlaceSiteEx || riid == IID_IOleInPlaceSiteWindowless))
    *out = static_cast<IOleInPlaceSiteWindowless*>(this);
  else if (riid == IID_IOleInPlaceFrame || riid == IID_IOleInPlaceUIWindow)
    *out = static_cast<IOleInPlaceFrame*>(this);
  if (!*out) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TestSite::GetWindow(HWND* w) {
  *w = window_;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE TestSite::CanInPlaceActivate() {
  calls.push_back("CanInPlaceActivate");
  return S_OK;
}
HRESULT STDMETHODCALLTYPE TestSite::OnInPlaceActivate() {
  calls.push_back("OnInPlaceActivate");
  return S_OK;
}
HRESULT STDMETHODCALLTYPE TestSite::OnUIActivate() {
  calls.push_back("OnUIActivate");
  return S_OK;
}
HRESULT STDMETHODCALLTYPE TestSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                                     LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
  calls.push_back("GetWindowContext");
  if (!frame || !doc || !pos || !clip || !info) return E_POINTER;
  *frame = this;
  AddRef();
  *doc = nullptr;
  GetClientRect(window_, pos);
  *clip = *pos;
  info->fMDIApp = FALSE;
  info->hwndFrame = window_;
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE TestSite::OnUIDeactivate(BOOL) {
  calls.push_back("OnUIDeactivate");
  return S_OK;
}
HRESULT STDMETHODCALLTYPE TestSite::OnInPlaceDeactivate() {
  calls.push_back("OnInPlaceDeactivate");
  return S_OK;
}
HRESULT STDMETHODCALLTYPE TestSite::OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) {
  calls.push_back(flags & ACTIVATE_WINDOWLESS ? "OnInPlaceActivateEx windowless" : "OnInPlaceActivateEx");
  if (noRedraw) *noRedraw = FALSE;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE TestSite::OnInPlaceDeactivateEx(BOOL) {
  calls.push_back("OnInPlaceDeactivateEx");
  return S_OK;
}
HRESULT STDMETHODCALLTYPE TestSite::CanWindowlessActivate() {
  calls.push_back("CanWindowlessActivate");
  return allowWindowless_ ? S_OK : S_FALSE;
}
HRESULT STDMETHODCALLTYPE TestSite::SetCapture(BOOL on) {
  calls.push_back(on ? "SetCapture on" : "SetCapture off");
  capture = on != FALSE;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE TestSite::SetFocus(BOOL on) {
  calls.push_back(on ? "SetFocus on" : "SetFocus off");
  focus = on != FALSE;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE TestSite::GetDC(LPCRECT, DWORD, HDC* dc) {
  calls.push_back("GetDC");
  if (!dc) return E_POINTER;
  if (handedOut_) return E_FAIL;
  handedOut_ = ::GetDC(window_);
  *dc = handedOut_;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE TestSite::ReleaseDC(HDC dc) {
  calls.push_back("ReleaseDC");
  ::ReleaseDC(window_, dc);
  handedOut_ = nullptr;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE TestSite::InvalidateRect(LPCRECT r, BOOL erase) {
  calls.push_back("InvalidateRect");
  RECT area{};
  GetClientRect(window_, &area);
  invalidated.push_back(r ? *r : area);
  ::InvalidateRect(window_, r, erase);
  return S_OK;
}
HRESULT STDMETHODCALLTYPE TestSite::InvalidateRgn(HRGN rgn, BOOL erase) {
  calls.push_back("InvalidateRgn");
  ::InvalidateRgn(window_, rgn, erase);
  return S_OK;
}
HRESULT STDMETHODCALLTYPE TestSite::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
  calls.push_back(object ? "SetActiveObject" : "SetActiveObject null");
  activeObject = object;
  return S_OK;
}

// --- fixture ----------------------------------------------------------------------------------

PlayerFixtureBase::PlayerFixtureBase() {
  OleInitialize(nullptr);
  transcript.emplace(folder);
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring dll = exe;
  dll = dll.substr(0, dll.find_last_of(L'\\') + 1) + L"lumoplayer.dll";
  library = LoadLibraryW(dll.c_str());
  if (!library) {
    ADD_FAILURE() << "lumoplayer.dll does not load: " << GetLastError();
    return;
  }
  using GetClassObject = HRESULT(STDMETHODCALLTYPE*)(REFCLSID, REFIID, void**);
  auto get = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(library, "DllGetClassObject")));
  ComPtr<IClassFactory> factory;
  if (!get || FAILED(get(flash::CLSID_ShockwaveFlash, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf())))) {
    ADD_FAILURE() << "no class factory";
    return;
  }
  ComPtr<IUnknown> object;
  if (FAILED(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(object.GetAddressOf())))) {
    ADD_FAILURE() << "CreateInstance failed";
    return;
  }
  object->QueryInterface(flash::IID_IShockwaveFlash, reinterpret_cast<void**>(player.GetAddressOf()));
  ComPtr<IConnectionPointContainer> container;
  object.As(&container);
  if (container) container->FindConnectionPoint(flash::DIID_IShockwaveFlashEvents, &connection);
  sink = new EventSink();
  sink->player = player.Get();
  if (connection) connection->Advise(sink, &cookie);
}

PlayerFixtureBase::~PlayerFixtureBase() {
  closePlayer();
  sites_.clear();
  if (sink) sink->Release();
  if (library) FreeLibrary(library);
}

TestSite& PlayerFixtureBase::makeSite(bool allowWindowless, int width, int height) {
  sites_.push_back(std::make_unique<TestSite>(allowWindowless, width, height));
  return *sites_.back();
}

void PlayerFixtureBase::closePlayer() {
  if (!player) return;
  if (connection && cookie) connection->Unadvise(cookie);
  connection.Reset();
  ComPtr<IOleObject> ole;
  player.As(&ole);
  if (ole) {
    ole->Close(OLECLOSE_NOSAVE);
    ole->SetClientSite(nullptr);
  }
  ole.Reset();
  player.Reset();
  pumpFor(50);
}

HRESULT PlayerFixtureBase::activate(TestSite& site, LONG verb) {
  sited = &site;
  ComPtr<IOleObject> ole;
  player.As(&ole);
  HRESULT hr = ole->SetClientSite(&site);
  if (FAILED(hr)) return hr;
  RECT client;
  GetClientRect(site.window(), &client);
  return ole->DoVerb(verb, nullptr, &site, 0, site.window(), &client);
}

bool PlayerFixtureBase::loadMovie(const std::wstring& url) {
  BSTR b = SysAllocString(url.c_str());
  HRESULT hr = player->put_Movie(b);
  SysFreeString(b);
  if (FAILED(hr)) return false;
  return pumpUntil([&] {
    long state = 0;
    player->get_ReadyState(&state);
    return state == 4 && (transcript->has("movie ") || transcript->has("movie-failed"));
  }) && transcript->has("movie ");
}

std::vector<uint32_t> renderPixels(int w, int h, uint32_t fill, const std::function<void(HDC)>& draw) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  HDC screen = ::GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  ::ReleaseDC(nullptr, screen);
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bmp);
  auto* px = static_cast<uint32_t*>(bits);
  for (int i = 0; i < w * h; ++i) px[i] = fill;
  draw(dc);
  GdiFlush();
  std::vector<uint32_t> out(px, px + w * h);
  for (uint32_t& p : out) p &= 0xFFFFFF;
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  return out;
}

}  // namespace player_test
