// The player object's life, its windows and messages, movie loading and the effects of the
// movie script (calls, callbacks, drawing, variables, resources).
#include "FlashPlayer.h"
#include "PlayerBoundary.h"

#include <olectl.h>
#include <windowsx.h>

#include <optional>

#include "ActionScriptMovie.h"
#include "DeviceContext.h"
#include "ExternalInterface.h"
#include "Module.h"
#include "MovieDownload.h"
#include "ScriptRunner.h"
#include "Text.h"
#include "Transcript.h"
#include "UniqueHandle.h"

using Microsoft::WRL::ComPtr;

namespace {

std::atomic<bool> g_classRegistered{false};

bool hasScheme(const std::wstring& url) {
  size_t colon = url.find(L':');
  if (colon == std::wstring::npos || colon < 2) return false;  // "C:" is a drive, not a scheme
  for (size_t i = 0; i < colon; ++i) {
    wchar_t c = url[i];
    if (!(iswalnum(c) || c == L'+' || c == L'-' || c == L'.')) return false;
  }
  return true;
}

bool isLocalPath(const std::wstring& url) {
  return (url.size() >= 3 && iswalpha(url[0]) && url[1] == L':' && (url[2] == L'\\' || url[2] == L'/')) ||
         (url.size() >= 2 && url[0] == L'\\' && url[1] == L'\\');
}

std::wstring lastComponent(const std::wstring& url) {
  size_t cut = url.find_last_of(L"/\\");
  std::wstring name = cut == std::wstring::npos ? url : url.substr(cut + 1);
  size_t query = name.find_first_of(L"?#");
  return query == std::wstring::npos ? name : name.substr(0, query);
}

std::wstring urlDecode(const std::wstring& text) {
  std::string bytes;
  std::string utf8 = wideToUtf8(text);
  for (size_t i = 0; i < utf8.size(); ++i) {
    char c = utf8[i];
    if (c == '+') {
      bytes += ' ';
    } else if (c == '%' && i + 2 < utf8.size() && isxdigit(static_cast<unsigned char>(utf8[i + 1])) &&
               isxdigit(static_cast<unsigned char>(utf8[i + 2]))) {
      bytes += static_cast<char>(std::stoi(utf8.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      bytes += c;
    }
  }
  return utf8ToWide(bytes);
}

// Reads a plain local file the way the player opens paths: CreateFileA.
bool readLocalFile(const std::wstring& path, std::vector<uint8_t>& out) {
  lumo::UniqueFileHandle file(CreateFileA(wideToAnsi(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 256ll * 1024 * 1024) return false;
  out.resize(static_cast<size_t>(size.QuadPart));
  DWORD got = 0;
  return out.empty() || (ReadFile(file.get(), out.data(), static_cast<DWORD>(out.size()), &got, nullptr) &&
                         got == out.size());
}

std::wstring hex(HRESULT hr) {
  wchar_t text[16];
  wsprintfW(text, L"0x%08X", static_cast<unsigned>(hr));
  return text;
}

}  // namespace

FlashPlayer::FlashPlayer() : events_(this, flash::DIID_IShockwaveFlashEvents) {
#ifdef LUMO_PLAYER_SECOND_BUILD
  // The second build tells the tests that a projector carries it instead of its own player.
  transcript::write(L"player second build");
#endif
  module::addObject();
  CreateOleAdviseHolder(&oleAdvise_);
  movieView_.setMixer(&mixer_);
}

FlashPlayer::~FlashPlayer() {
  if (script_) script_->stop();
  actionScript_.reset();
  for (auto& tone : tones_) {
    waveOutReset(tone.first);
    waveOutUnprepareHeader(tone.first, &tone.second->header, sizeof(WAVEHDR));
    waveOutClose(tone.first);
  }
  // The windows must not reach a half-destroyed object (nor take a reference to it).
  for (HWND w : {stageWindow_, messageWindow_}) {
    if (!w) continue;
    SetWindowLongPtrA(w, GWLP_USERDATA, 0);
    DestroyWindow(w);
  }
  module::removeObject();
}

// --- IUnknown ---------------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE FlashPlayer::QueryInterface(REFIID riid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (riid == IID_IUnknown || riid == IID_IDispatch || riid == flash::IID_IShockwaveFlash)
    *out = static_cast<IShockwaveFlash*>(this);
  else if (riid == IID_IConnectionPointContainer)
    *out = static_cast<IConnectionPointContainer*>(this);
  else if (riid == IID_IOleObject)
    *out = static_cast<IOleObject*>(this);
  else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceObject || riid == IID_IOleInPlaceObjectWindowless)
    *out = static_cast<IOleInPlaceObjectWindowless*>(this);
  else if (riid == IID_IOleInPlaceActiveObject)
    *out = static_cast<IOleInPlaceActiveObject*>(this);
  else if (riid == IID_IViewObject || riid == IID_IViewObject2 || riid == IID_IViewObjectEx)
    *out = static_cast<IViewObjectEx*>(this);
  else if (riid == IID_IObjectWithSite)
    *out = static_cast<IObjectWithSite*>(this);
  if (!*out) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE FlashPlayer::AddRef() { return ++refs_; }

ULONG STDMETHODCALLTYPE FlashPlayer::Release() {
  ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

// --- IConnectionPointContainer -------------------------------------------------------------

HRESULT STDMETHODCALLTYPE FlashPlayer::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (points) *points = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE FlashPlayer::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  if (riid != flash::DIID_IShockwaveFlashEvents) return CONNECT_E_NOCONNECTION;
  *point = &events_;
  events_.AddRef();
  return S_OK;
}

void FlashPlayer::fire(DISPID id, std::vector<VARIANT>& args) {
  ComPtr<FlashPlayer> keepAlive(this);
  events_.fire(id, args.data(), static_cast<UINT>(args.size()));
  for (VARIANT& v : args) VariantClear(&v);
}

// --- windows --------------------------------------------------------------------------------

bool FlashPlayer::registerWindowClass() {
  if (g_classRegistered) return true;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &FlashPlayer::windowProc;
  wc.hInstance = module::instance();
  wc.hCursor = LoadCursorA(module::instance(), MAKEINTRESOURCEA(module::kCursorId));
  wc.lpszClassName = module::kWindowClass;
  if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  g_classRegistered = true;
  return true;
}

void FlashPlayer::unregisterWindowClass() {
  if (g_classRegistered.exchange(false)) UnregisterClassA(module::kWindowClass, module::instance());
}

bool FlashPlayer::ensureMessageWindow() {
  if (messageWindow_) return true;
  if (!registerWindowClass()) return false;
  messageWindow_ = CreateWindowExA(0, module::kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   module::instance(), this);
  return messageWindow_ != nullptr;
}

LRESULT CALLBACK FlashPlayer::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* player = reinterpret_cast<FlashPlayer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!player) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    if (player->stageWindow_ == window) player->stageWindow_ = nullptr;
    if (player->messageWindow_ == window) player->messageWindow_ = nullptr;
    return DefWindowProcA(window, message, wParam, lParam);
  }
  // The container may release the player from inside anything we do here.
  ComPtr<FlashPlayer> keepAlive(player);
  return guardedCall("player window procedure", LRESULT{0},
                     [&] { return player->handleMessage(window, message, wParam, lParam); });
}

LRESULT FlashPlayer::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case module::kLoadDone:
      finishLoad(wParam);
      return 0;
    case module::kLoadProgress:
      if (wParam == mainLoadId_ && static_cast<long>(lParam) > percentLoaded_ && lParam < 100) {
        percentLoaded_ = static_cast<long>(lParam);
        std::vector<VARIANT> args(1);
        args[0].vt = VT_I4;
        args[0].lVal = percentLoaded_;
        fire(flash::kDispOnProgress, args);
      }
      return 0;
    case module::kRunScript:
      if (auto runner = script_) runner->resume();
      return 0;
    case module::kMenuOpened:
      if (auto runner = script_) runner->menuOpened();
      return 0;
    case WM_TIMER:
      if (wParam == module::kScriptTimer) {
        KillTimer(window, wParam);
        if (auto runner = script_) runner->waitOver();
      } else if (wParam == module::kFrameTimer) {
        advanceWithSound();
      }
      return 0;
    case MM_WOM_DONE:
      waveDone(reinterpret_cast<HWAVEOUT>(wParam), reinterpret_cast<WAVEHDR*>(lParam));
      return 0;
    case WM_ERASEBKGND:
      if (window == stageWindow_) return 1;
      break;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      if (window == stageWindow_) {
        // A container that wants a frame of its own sends WM_PAINT with its DC in wParam.
        if (wParam)
          paintStage(window, reinterpret_cast<HDC>(wParam));
        else
          paintStage(window, nullptr);
        return 0;
      }
      break;
    case WM_SETCURSOR:
      if (window == stageWindow_ && LOWORD(lParam) == HTCLIENT) {
        if (setMovieCursor()) return TRUE;
        SetCursor(LoadCursorA(module::instance(), MAKEINTRESOURCEA(module::kCursorId)));
        return TRUE;
      }
      break;
    case WM_SETFOCUS:
      if (window == stageWindow_ && !uiActive_) activateUi();
      break;
    default:
      if (window == stageWindow_) {
        bool handled = false;
        LRESULT result = stageInput(message, wParam, lParam, &handled);
        if (handled) return result;
      }
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void FlashPlayer::paintStage(HWND window, HDC target) {
  std::optional<lumo::PaintDc> paint;
  if (!target) paint.emplace(window);
  HDC dc = target ? target : paint->get();
  if (!dc) return;
  RECT client;
  GetClientRect(window, &client);
  // Double-buffered so the stage never flickers through its background.
  lumo::UniqueDc memory(CreateCompatibleDC(dc));
  lumo::UniqueGdiObject bitmap(CreateCompatibleBitmap(dc, std::max<LONG>(1, client.right), std::max<LONG>(1, client.bottom)));
  if (memory && bitmap) {
    lumo::ScopedSelect select(memory.get(), bitmap.get());
    StageLayout l = layout();
    l.transparent = false;  // a window of its own has nothing behind it to show
    drawStage(memory.get(), client, l);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
  }
}

// The context menu comes from the DLL's resources through LoadMenuA, so a host that maps the
// DLL itself serves it as it serves the cursor. It runs modally, as any pop-up menu does: its
// loop dispatches the thread's other messages (the script's timers, a container's own), and the
// player's deactivation ends it.
void FlashPlayer::showContextMenu(POINT client) {
  if (contextMenuOpen_) return;
  HWND owner = stageWindow_ ? stageWindow_ : parentWindow_;
  HMENU bar = owner ? LoadMenuA(module::instance(), MAKEINTRESOURCEA(module::kContextMenuId)) : nullptr;
  HMENU popup = bar ? GetSubMenu(bar, 0) : nullptr;
  if (!popup) {
    transcript::write(L"menu-failed " + std::to_wstring(GetLastError()));
    if (bar) DestroyMenu(bar);
    return;
  }
  CheckMenuItem(popup, module::kMenuPlay, MF_BYCOMMAND | (playing_ ? MF_CHECKED : MF_UNCHECKED));
  CheckMenuItem(popup, module::kMenuLoop, MF_BYCOMMAND | (loop_ ? MF_CHECKED : MF_UNCHECKED));
  POINT screen = client;
  ClientToScreen(owner, &screen);
  contextMenuOpen_ = true;
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, owner, nullptr));
  contextMenuOpen_ = false;
  wchar_t text[64] = {};
  if (chosen) GetMenuStringW(popup, chosen, text, 64, MF_BYCOMMAND);
  DestroyMenu(bar);
  if (!chosen) {
    transcript::write(L"menu-dismissed");
    return;
  }
  transcript::write(L"menu-chosen " + transcript::quote(text));
  switch (chosen) {
    case module::kMenuPlay: put_Playing(playing_ ? VARIANT_FALSE : VARIANT_TRUE); break;
    case module::kMenuLoop: loop_ = !loop_; break;
    case module::kMenuRewind: Rewind(); break;
    case module::kMenuForward: Forward(); break;
    case module::kMenuBack: Back(); break;
    default: break;
  }
}

LRESULT FlashPlayer::stageInput(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
  static constexpr struct {
    UINT down, up;
    const wchar_t* name;
  } kButtons[] = {
      {WM_LBUTTONDOWN, WM_LBUTTONUP, L"left"},
      {WM_RBUTTONDOWN, WM_RBUTTONUP, L"right"},
      {WM_MBUTTONDOWN, WM_MBUTTONUP, L"middle"},
  };
  *handled = false;
  // Windowless messages come in the container's coordinates; report the player's own.
  int x = GET_X_LPARAM(lParam) - (windowless_ ? position_.left : 0);
  int y = GET_Y_LPARAM(lParam) - (windowless_ ? position_.top : 0);
  movieInput(message, wParam, POINT{x, y});
  for (const auto& b : kButtons) {
    if (message != b.down && message != b.up) continue;
    bool down = message == b.down;
    transcript::write(std::wstring(L"mouse ") + b.name + (down ? L" down " : L" up ") + std::to_wstring(x) + L" " +
                      std::to_wstring(y));
    if (down) {
      if (!uiActive_) activateUi();
      if (windowless_ && windowlessSite_) {
        windowlessSite_->SetFocus(TRUE);
        if (windowlessSite_->SetCapture(TRUE) == S_OK) captured_ = true;
      } else if (stageWindow_) {
        SetFocus(stageWindow_);
        SetCapture(stageWindow_);
        captured_ = true;
      }
    } else {
      if (captured_) {
        captured_ = false;
        if (windowless_ && windowlessSite_)
          windowlessSite_->SetCapture(FALSE);
        else
          ReleaseCapture();
      }
      if (message == WM_RBUTTONUP && menu_) {
        transcript::write(L"menu " + std::to_wstring(x) + L" " + std::to_wstring(y));
        showContextMenu(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      }
    }
    *handled = true;
    return 0;
  }
  if (message == WM_KEYDOWN || message == WM_KEYUP) {
    transcript::write(std::wstring(L"key ") + (message == WM_KEYDOWN ? L"down " : L"up ") +
                      std::to_wstring(static_cast<unsigned>(wParam)));
    *handled = true;
    return 0;
  }
  if (message == WM_CHAR) {
    transcript::write(L"char " + std::to_wstring(static_cast<unsigned>(wParam)));
    *handled = true;
    return 0;
  }
  if (message == WM_MOUSEWHEEL) {
    transcript::write(L"wheel " + std::to_wstring(GET_WHEEL_DELTA_WPARAM(wParam)));
    *handled = true;
    return 0;
  }
  if (message == WM_SETCURSOR && windowless_) {
    if (setMovieCursor()) {
      *handled = true;
      return TRUE;
    }
    SetCursor(LoadCursorA(module::instance(), MAKEINTRESOURCEA(module::kCursorId)));
    *handled = true;
    return TRUE;
  }
  return 0;
}

HWND FlashPlayer::inputWindow() const {
  if (stageWindow_) return stageWindow_;
  return parentWindow_;
}

POINT FlashPlayer::playerOrigin() const {
  return stageWindow_ ? POINT{0, 0} : POINT{position_.left, position_.top};
}

HWND FlashPlayer::topLevelWindow() const {
  HWND own = inputWindow();
  if (!own) return nullptr;
  HWND root = GetAncestor(own, GA_ROOT);
  // A popup that only shadows its owner (same place, same size) stands for the owner.
  HWND owner = root ? ::GetWindow(root, GW_OWNER) : nullptr;
  if (owner) {
    RECT a, b;
    GetWindowRect(root, &a);
    GetWindowRect(owner, &b);
    if (EqualRect(&a, &b)) return owner;
  }
  return root;
}

// --- loading ----------------------------------------------------------------------------------

std::wstring FlashPlayer::resolveUrl(const std::wstring& url, bool resource) const {
  if (url.empty() || hasScheme(url) || isLocalPath(url) || url[0] == L'\\' || url[0] == L'/') return url;
  std::wstring base = base_;
  if (base.empty() && resource) {
    size_t cut = movieFullUrl_.find_last_of(L"/\\");
    if (cut != std::wstring::npos) base = movieFullUrl_.substr(0, cut + 1);
  }
  if (base.empty() || base == L".") return url;
  wchar_t last = base.back();
  if (last != L'/' && last != L'\\') base += (hasScheme(base) ? L'/' : L'\\');
  return base + url;
}

WPARAM FlashPlayer::startLoad(int layer, const std::wstring& url, bool fromMovie) {
  if (!ensureMessageWindow()) return 0;
  // A movie's own loads, like its resources, resolve against the movie when there is no Base.
  std::wstring full = resolveUrl(url, layer < 0 || fromMovie);
  WPARAM id = nextLoadId_++;
  if (layer == 0) {
    mainLoadId_ = id;
    percentLoaded_ = 0;
    setReadyState(0);
  }
  // The new object's first reference is taken over as it is: MinGW's ComPtr::Attach would
  // add a second one that nothing releases.
  ComPtr<MovieDownload> download;
  *download.GetAddressOf() = new MovieDownload(messageWindow_, module::kLoadDone, module::kLoadProgress, id);
  loads_[id] = Load{layer, full, download, fromMovie};
  download->start(full);
  return id;
}

void FlashPlayer::startSoundLoad(int sound, const std::string& url) {
  // The download's end always arrives as a posted message, after this.
  if (const WPARAM id = startLoad(-1, utf8ToWide(url), true)) loads_[id].sound = sound;
  else scriptSounds_.loaded(sound, std::nullopt);
}

void FlashPlayer::startClipLoad(const std::string& url, std::function<void(std::optional<std::vector<uint8_t>>)> done) {
  if (const WPARAM id = startLoad(-1, utf8ToWide(url), true)) loads_[id].clipLoaded = std::move(done);
  else done(std::nullopt);
}

void FlashPlayer::finishLoad(WPARAM id) {
  auto it = loads_.find(id);
  if (it == loads_.end()) return;
  Load load = std::move(it->second);
  loads_.erase(it);
  if (load.layer == 0 && id != mainLoadId_) return;  // replaced by a later movie
  HRESULT hr = load.download->result();
  std::vector<uint8_t> bytes = load.download->takeData();
  if (FAILED(hr) || bytes.empty()) {
    // Local files the moniker did not bind: the player opens them itself, also when a movie
    // names them by a "file:" URL (as the path its own _url gives).
    std::optional<std::wstring> path = isLocalPath(load.url) ? std::optional(load.url) : localPathOfFileUrl(load.url);
    if (path && readLocalFile(*path, bytes)) hr = S_OK;
  }
  if (load.sound) {
    transcript::write(FAILED(hr) ? L"sound-load-failed " + load.url + L" " + hex(hr)
                                 : L"sound-load " + load.url + L" bytes " + std::to_wstring(bytes.size()));
    scriptSounds_.loaded(load.sound, FAILED(hr) ? std::nullopt : std::optional(std::move(bytes)));
    return;
  }
  if (load.clipLoaded) {
    transcript::write(FAILED(hr) ? L"clip-load-failed " + load.url + L" " + hex(hr)
                                 : L"clip-load " + load.url + L" bytes " + std::to_wstring(bytes.size()));
    load.clipLoaded(FAILED(hr) ? std::nullopt : std::optional(std::move(bytes)));
    return;
  }
  if (load.layer < 0) {
    transcript::write(FAILED(hr) ? L"resource-failed " + load.url + L" " + hex(hr)
                                 : L"resource " + load.url + L" bytes " + std::to_wstring(bytes.size()));
    return;
  }
  if (FAILED(hr) || bytes.empty()) {
    transcript::write(L"movie-failed " + load.url + L" " + hex(FAILED(hr) ? hr : E_FAIL));
    return;
  }
  movieReady(load, bytes);
}

void FlashPlayer::movieReady(const Load& load, const std::vector<uint8_t>& bytes) {
  const int layer = load.layer;
  const std::wstring& url = load.url;
  std::string error;
  std::optional<movie::SwfMovie> parsed = movie::parseSwf(bytes.data(), bytes.size(), &error);
  if (!parsed) {
    transcript::write(L"movie-failed " + url + L" " + utf8ToWide(error));
    return;
  }
  std::wstring version = std::to_wstring(parsed->version);
  if (layer != 0) {
    transcript::write(L"movie " + url + L" version " + version + L" layer " + std::to_wstring(layer));
    return;
  }
  if (script_) script_->stop();
  script_.reset();
  movie_ = std::move(parsed);
  movieFullUrl_ = url;
  movieName_ = lastComponent(url);
  frame_ = 0;
  stage_.reset(movie_->widthPixels(), movie_->heightPixels(), movie_->background.value_or(0xFFFFFF), movieName_);
  movieView_.load(bytes);
  const std::map<std::wstring, std::wstring> flashVars = applyFlashVars();
  if (windowless_ && windowlessSite_) {
    // Lay the caption out with the container's own device context.
    HDC dc = nullptr;
    if (SUCCEEDED(windowlessSite_->GetDC(nullptr, OLEDC_NODRAW, &dc)) && dc) {
      SIZE size;
      GetTextExtentPoint32W(dc, movieName_.c_str(), static_cast<int>(movieName_.size()), &size);
      windowlessSite_->ReleaseDC(dc);
    }
  }
  transcript::write(L"movie " + url + L" version " + version);
  percentLoaded_ = 100;
  std::vector<VARIANT> progress(1);
  progress[0].vt = VT_I4;
  progress[0].lVal = 100;
  fire(flash::kDispOnProgress, progress);
  setReadyState(3);
  invalidateStage();
  refreshMovie();  // the first picture, so later frames repaint only what they change
  setReadyState(4);
  playing_ = true;
  startActionScript(load.fromMovie, flashVars);
  updatePlayTimer();
  if (movie_ && movie_->hasScript) {
    script_ = std::make_shared<ScriptRunner>(*this, movie_->script);
    PostMessageW(messageWindow_, module::kRunScript, 0, 0);
  }
  // The first frame's code runs as soon as the movie is there.
  if (auto actionScript = actionScript_) actionScript->enterFrame();
}

void FlashPlayer::startActionScript(bool keepMachine, const std::map<std::wstring, std::wstring>& flashVars) {
  if (movie_->actionScript3) {
    actionScript_.reset();
    return;
  }
  if (!keepMachine || !actionScript_) actionScript_ = std::make_shared<ActionScriptMovie>(*this, movie_->version);
  actionScript_->setSoundBridge(&scriptSounds_);
  scriptSounds_.setRequest([this](int sound, const std::string& url) { startSoundLoad(sound, url); });
  actionScript_->play(*movie_, movieFullUrl_, flashVars, movieView_.player());
  bindStageLayout();
  bindFocus();
  movieView_.setLevels([movie = std::weak_ptr<ActionScriptMovie>(actionScript_)](render::Renderer& renderer, const swf::Matrix& view) {
    if (auto actionScript = movie.lock()) actionScript->renderLevels(renderer, view);
  });
}

void FlashPlayer::loadFromMovie(int level, const std::wstring& url) {
  if (level == 0) movieUrl_ = url;
  startLoad(level, url, true);
}

void FlashPlayer::setReadyState(long state) {
  readyState_ = state;
  std::vector<VARIANT> args(1);
  args[0].vt = VT_I4;
  args[0].lVal = state;
  fire(flash::kDispOnReadyStateChange, args);
}

std::map<std::wstring, std::wstring> FlashPlayer::applyFlashVars() {
  std::map<std::wstring, std::wstring> vars;
  size_t start = 0;
  while (start < flashVars_.size()) {
    size_t end = flashVars_.find(L'&', start);
    if (end == std::wstring::npos) end = flashVars_.size();
    std::wstring pair = flashVars_.substr(start, end - start);
    size_t eq = pair.find(L'=');
    if (!pair.empty())
      vars[urlDecode(pair.substr(0, eq))] = eq == std::wstring::npos ? L"" : urlDecode(pair.substr(eq + 1));
    start = end + 1;
  }
  for (const auto& [name, value] : vars) variables_[name] = value;
  return vars;
}

void FlashPlayer::updatePlayTimer() {
  if (!messageWindow_) return;
  // ActionScript needs every frame, also in a stopped or one-frame movie (onEnterFrame).
  const bool timeline = playing_ && movie_ && movie_->frameCount > 1;
  const bool script = actionScript_ && actionScript_->needsFrames();
  // A movie that draws has sprites playing on their own timelines even while the main one stops.
  if (movie_ && movie_->frameRate > 0 && (timeline || script || movieView_.loaded()))
    SetTimer(messageWindow_, module::kFrameTimer, std::max(1u, static_cast<UINT>(1000.0 / movie_->frameRate)), nullptr);
  else
    KillTimer(messageWindow_, module::kFrameTimer);
}

void FlashPlayer::advanceFrame() {
  if (!movie_) return;
  // The display list moves first, then the frame's actions run, as in the original player.
  // A movie that does not loop stops on its last frame instead of going round.
  // A movie with ActionScript advances its display list in the script's frame loop, where
  // its own play and stop rule the main timeline.
  const bool scripted = actionScript_ && actionScript_->drivesDisplay();
  if (!scripted) movieView_.advance(playing_ && (loop_ || frame_ + 1 < movie_->frameCount));
  if (playing_ && movie_->frameCount > 1) {
    if (frame_ + 1 < movie_->frameCount) {
      ++frame_;
    } else if (loop_) {
      frame_ = 0;
    } else {
      playing_ = false;
      updatePlayTimer();
    }
  }
  if (auto actionScript = actionScript_) actionScript->enterFrame();
  refreshMovie();
}

// --- what the script does -------------------------------------------------------------------

std::optional<std::wstring> FlashPlayer::externalCall(const std::wstring& name, const std::vector<std::wstring>& args) {
  std::vector<std::wstring> values;
  for (const std::wstring& a : args) values.push_back(external::stringValue(a));
  std::optional<std::wstring> answer = externalCallXml(name, values);
  if (!answer) return std::nullopt;
  return external::parseValue(*answer);
}

std::optional<std::wstring> FlashPlayer::externalCallXml(const std::wstring& name, const std::vector<std::wstring>& values) {
  std::vector<VARIANT> params(1);
  params[0].vt = VT_BSTR;
  params[0].bstrVal = SysAllocString(external::buildInvokeOfValues(name, values).c_str());
  std::optional<std::wstring> saved = std::move(returnValue_);
  bool wasInCall = inFlashCall_;
  returnValue_.reset();
  inFlashCall_ = true;
  fire(flash::kDispFlashCall, params);
  inFlashCall_ = wasInCall;
  std::optional<std::wstring> answer = std::move(returnValue_);
  returnValue_ = std::move(saved);
  if (!answer) return std::nullopt;
  // An answer the parser cannot read reaches the movie as undefined.
  if (!external::wellFormed(*answer)) {
    transcript::write(L"bad-xml " + transcript::quote(*answer));
    return std::wstring(L"<undefined/>");
  }
  return answer;
}

void FlashPlayer::addCallback(const std::wstring& name, std::optional<std::wstring> answer, bool keepAnswer) {
  if (keepAnswer && callbacks_.count(name)) return;
  callbacks_[name] = std::move(answer);
}

void FlashPlayer::fsCommand(const std::wstring& command, const std::wstring& args) {
  std::vector<VARIANT> params(2);
  // DISPPARAMS hold the arguments last first: args, then command.
  params[0].vt = VT_BSTR;
  params[0].bstrVal = SysAllocString(args.c_str());
  params[1].vt = VT_BSTR;
  params[1].bstrVal = SysAllocString(command.c_str());
  fire(flash::kDispFSCommand, params);
}

void FlashPlayer::drawShape(const Stage::Shape& shape) {
  stage_.addShape(shape);
  invalidateStage();
}

// An ActionScript movie keeps its variables in its machine; the table serves ActionScript 3
// movies and the movie script's own variables (`set`, SetVariable for `watch`), which a scripted
// movie also reads where its machine has nothing.
void FlashPlayer::setMovieVariable(const std::wstring& name, const std::wstring& value) {
  variables_[name] = value;
  if (auto actionScript = actionScript_) actionScript->setVariable(name, value);
}

std::optional<std::wstring> FlashPlayer::movieVariable(const std::wstring& name) const {
  if (auto actionScript = actionScript_) {
    std::optional<std::wstring> value = actionScript->getVariable(name);
    if (value || !movie_ || !movie_->hasScript) return value;
  }
  if (name == L"$version") return std::wstring(L"WIN 9,0,0,0");
  auto it = variables_.find(name);
  if (it == variables_.end()) return std::nullopt;
  return it->second;
}

void FlashPlayer::loadResource(const std::wstring& url) { startLoad(-1, url); }

void FlashPlayer::scheduleScript(UINT milliseconds) {
  if (ensureMessageWindow()) SetTimer(messageWindow_, module::kScriptTimer, std::max(1u, milliseconds), nullptr);
}

void FlashPlayer::cancelScriptTimer() {
  if (messageWindow_) KillTimer(messageWindow_, module::kScriptTimer);
}

void FlashPlayer::playTone(int milliseconds, int frequency) {
  if (!ensureMessageWindow()) return;
  auto tone = std::make_unique<Tone>();
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 1;
  format.nSamplesPerSec = 22050;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 2;
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  size_t count = static_cast<size_t>(format.nSamplesPerSec) * static_cast<size_t>(milliseconds) / 1000;
  tone->samples.resize(count);
  // A square wave: audible, and needs no maths library.
  size_t half = std::max<size_t>(1, format.nSamplesPerSec / (2 * static_cast<size_t>(std::max(1, frequency))));
  for (size_t i = 0; i < count; ++i) tone->samples[i] = ((i / half) % 2) ? 8000 : -8000;
  HWAVEOUT out = nullptr;
  MMRESULT rc = waveOutOpen(&out, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(messageWindow_), 0, CALLBACK_WINDOW);
  if (rc != MMSYSERR_NOERROR) {
    transcript::write(L"sound-failed " + std::to_wstring(rc));
    return;
  }
  tone->header.lpData = reinterpret_cast<LPSTR>(tone->samples.data());
  tone->header.dwBufferLength = static_cast<DWORD>(count * sizeof(int16_t));
  if (waveOutPrepareHeader(out, &tone->header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR ||
      (rc = waveOutWrite(out, &tone->header, sizeof(WAVEHDR))) != MMSYSERR_NOERROR) {
    waveOutUnprepareHeader(out, &tone->header, sizeof(WAVEHDR));
    waveOutClose(out);
    transcript::write(L"sound-failed " + std::to_wstring(rc));
    return;
  }
  transcript::write(L"sound " + std::to_wstring(milliseconds) + L" " + std::to_wstring(frequency));
  tones_[out] = std::move(tone);
}

void FlashPlayer::toneDone(HWAVEOUT out) {
  auto it = tones_.find(out);
  if (it == tones_.end()) return;
  waveOutUnprepareHeader(out, &it->second->header, sizeof(WAVEHDR));
  waveOutClose(out);
  tones_.erase(it);
}
