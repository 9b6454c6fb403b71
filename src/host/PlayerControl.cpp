// The player control's window: creation and release of the player, the private messages as a
// table, the scripting family, the notifications (wide before ANSI), the event listener under
// the control's lock and the keyboard-accelerator hook.
#include "host/PlayerControl.h"

#include <oleauto.h>

#include <string>

#include "CallBoundary.h"
#include "DeviceContext.h"
#include "host/AnsiText.h"
#include "host/ExecutableStub.h"
#include "host/MemoryMoviePath.h"
#include "host/MovieStreams.h"
#include "host/PlayerModule.h"

using Microsoft::WRL::ComPtr;

namespace lumo {
namespace {

constexpr UINT kRedrawAll = RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME;  // 0x507


// Argument `index` of an event in DISPPARAMS order (the last parameter first).
bool eventText(const DISPPARAMS* params, UINT index, std::wstring* out) {
  if (!params || index >= params->cArgs) return false;
  VARIANT text;
  VariantInit(&text);
  if (FAILED(VariantChangeType(&text, &params->rgvarg[index], 0, VT_BSTR))) return false;
  *out = text.bstrVal ? std::wstring(text.bstrVal, SysStringLen(text.bstrVal)) : std::wstring();
  VariantClear(&text);
  return true;
}

bool eventNumber(const DISPPARAMS* params, UINT index, int32_t* out) {
  if (!params || index >= params->cArgs) return false;
  VARIANT number;
  VariantInit(&number);
  if (FAILED(VariantChangeType(&number, &params->rgvarg[index], 0, VT_I4))) return false;
  *out = number.lVal;
  return true;
}

struct ScreenDpi {
  int x = 96, y = 96;
  ScreenDpi() {
    if (WindowDc screen(nullptr); screen) {
      x = GetDeviceCaps(screen.get(), LOGPIXELSX);
      y = GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
  }
};

SIZEL pixelsToHimetric(LONG width, LONG height) {
  ScreenDpi dpi;
  return {MulDiv(width, 2540, dpi.x), MulDiv(height, 2540, dpi.y)};
}

SIZEL himetricToPixels(SIZEL size) {
  ScreenDpi dpi;
  return {MulDiv(size.cx, dpi.x, 2540), MulDiv(size.cy, dpi.y, 2540)};
}

// Writes a whole block into a stream, in pieces a ULONG can count.
HRESULT writeAll(IStream* stream, const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  while (size > 0) {
    const ULONG piece = size > 0x40000000 ? 0x40000000 : static_cast<ULONG>(size);
    ULONG written = 0;
    HRESULT hr = stream->Write(bytes, piece, &written);
    if (FAILED(hr)) return hr;
    if (written == 0) return STG_E_MEDIUMFULL;
    bytes += written;
    size -= written;
  }
  return S_OK;
}

// The module's side of a movie from memory: its stream registry and movie table.
HRESULT startModuleMovie(void* context, HWND control, std::wstring* path, IStream** writer) {
  auto* streams = dynamic_cast<MovieStreams*>(&static_cast<PlayerModule*>(context)->streams());
  if (!streams) return E_NOTIMPL;
  std::optional<MovieStreams::StartedMovie> started = streams->startMovie(control);
  if (!started || !started->writer) return E_OUTOFMEMORY;
  *path = started->path;
  *writer = started->writer.Detach();
  return S_OK;
}

void forgetModuleMovies(void* context, HWND control, const std::wstring& path) {
  auto* streams = dynamic_cast<MovieStreams*>(&static_cast<PlayerModule*>(context)->streams());
  if (!streams) return;
  if (path.empty()) streams->forgetControl(control);
  else streams->abandonMovie(path);
}

}  // namespace

// --- window procedure ------------------------------------------------------------------------

PlayerControl* PlayerControl::fromWindow(HWND window) {
  return reinterpret_cast<PlayerControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK PlayerControl::moduleProcedure(PlayerModule* module, HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
  return atBoundary("player control window procedure", LRESULT{0}, [&]() -> LRESULT {
    PlayerControlHost host;
    if (message == WM_CREATE && module) {
      host.classObjectEntry = reinterpret_cast<ClassObjectEntry>(
          reinterpret_cast<void*>(module->exportAddress("DllGetClassObject")));
      host.startMemoryMovie = &startModuleMovie;
      host.forgetMemoryMovies = &forgetModuleMovies;
      host.context = module;
    }
    return windowProcedure(host, window, message, wParam, lParam);
  });
}

LRESULT PlayerControl::windowProcedure(const PlayerControlHost& host, HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) {
  PlayerControl* control = fromWindow(window);
  if (!control) {
    if (message != WM_CREATE) {
      return IsWindowUnicode(window) ? DefWindowProcW(window, message, wParam, lParam)
                                     : DefWindowProcA(window, message, wParam, lParam);
    }
    // The control exists from here on, so that messages the player sends while it is being
    // created reach it; it stays empty when the player cannot be made.
    control = new PlayerControl(window, host);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
    // Only the styles are read, which CREATESTRUCTA and CREATESTRUCTW hold at the same place.
    control->createPlayer(*reinterpret_cast<const CREATESTRUCTW*>(lParam));
    return 0;
  }
  if (message == WM_NCDESTROY) {
    if (control->host_.forgetMemoryMovies) control->host_.forgetMemoryMovies(control->host_.context, window, {});
    LRESULT result = control->defaultProcedure(message, wParam, lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    control->hook_.reset();
    control->releasePlayer();
    control->detachSite();  // a player that still holds the site keeps it, detached, until it lets go
    return result;
  }
  return control->handleMessage(message, wParam, lParam);
}

PlayerControl::PlayerControl(HWND window, const PlayerControlHost& host) : ControlSite(window), host_(host) {
  setListenerMessage_ = RegisterWindowMessageA(kSetEventListenerMessage);
  externalResourceMessage_ = RegisterWindowMessageA(kLoadExternalResourceMessage);
  objectPointerMessage_ = RegisterWindowMessageA(kGetObjectPointerMessage);
  hookStub_ = ExecutableStub::prependStub(this, reinterpret_cast<const void*>(&PlayerControl::messageHook), 3);
  if (hookStub_) {
    hook_.reset(SetWindowsHookExW(WH_GETMESSAGE, reinterpret_cast<HOOKPROC>(hookStub_->entry()), nullptr,
                                  GetCurrentThreadId()));
  }
}

PlayerControl::~PlayerControl() {
  hook_.reset();
  releasePlayer();
}

const PlayerControl::ControlMessage PlayerControl::kControlMessages[] = {
    {msg::kQueryInterface, &PlayerControl::queryPlayer},
    {msg::kPutMovieFromMemory, &PlayerControl::putMovieFromMemory},
    {msg::kLoadMovieFromMemory, &PlayerControl::loadMovieFromMemory},
    {msg::kCaptureFrame, &PlayerControl::captureFrame},
    {msg::kSetContextMenu, &PlayerControl::setContextMenu},
    {msg::kGetContextMenu, &PlayerControl::getContextMenu},
    {msg::kSetAlpha, &PlayerControl::setAlpha},
    {msg::kGetAlpha, &PlayerControl::getAlpha},
    {msg::kPutMovieFromStream, &PlayerControl::putMovieFromStream},
    {msg::kLoadMovieFromStream, &PlayerControl::loadMovieFromStream},
    {msg::kCallFunction, &PlayerControl::callFunction},
    {msg::kSetReturnValueA, &PlayerControl::setReturnValueA},
    {msg::kSetReturnValueW, &PlayerControl::setReturnValueW},
};

LRESULT PlayerControl::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  void* record = reinterpret_cast<void*>(lParam);
  if (message >= msg::kScriptingFirst && message <= msg::kScriptingLast) {
    if (!record) return 0;
    return runScriptingMessage(generations_, message, record) ? 1 : 0;
  }
  for (const ControlMessage& entry : kControlMessages) {
    if (entry.message != message) continue;
    return record ? (this->*entry.run)(record) : 0;
  }
  if (message == setListenerMessage_) return setEventListener(static_cast<const EventListenerRecord*>(record));
  if (message == externalResourceMessage_) return loadExternalResource(static_cast<ExternalResourceRecord*>(record));
  if (message == objectPointerMessage_) {
    if (!record) return 0;
    *static_cast<PlayerControl**>(record) = this;
    return 1;
  }

  LRESULT result = 0;
  if (windowless_ && windowlessMessage(message, wParam, lParam, &result)) return result;
  switch (message) {
    case WM_PAINT:
      if (windowless_) break;
      paintWithoutWindowlessPlayer();
      return 0;
    case WM_SIZE:
      onSize(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      break;
    case WM_SETFOCUS:
      hasFocus_ = true;
      onSetFocus();
      return 0;
    case WM_KILLFOCUS:
      hasFocus_ = false;
      break;
    case WM_MOUSEACTIVATE:
      return onMouseActivate(wParam, lParam);
    case WM_GETDLGCODE:
      if (GetWindowLongPtrW(window_, GWL_STYLE) & kControlStyleWantAllKeys) return DLGC_WANTALLKEYS;
      break;
    case WM_RBUTTONUP:
      // With the context-menu flag at 0 the player never sees the release that opens its menu.
      if (contextMenu_ == 0) return defaultProcedure(message, wParam, lParam);
      break;
    case WM_DESTROY:
      if (!destroyed_) {
        destroyed_ = true;
        hook_.reset();
        releasePlayer();
      }
      break;
    default:
      break;
  }
  return defaultProcedure(message, wParam, lParam);
}

void PlayerControl::paintWithoutWindowlessPlayer() {
  // Whatever the player's own window leaves uncovered shows this colour (0x000000FF as a
  // COLORREF), so a control whose player is missing or not in place yet is seen at once.
  PaintDc paint(window_);
  RECT client{};
  GetClientRect(window_, &client);
  UniqueGdiObject brush(CreateSolidBrush(kUncoveredColour));
  if (paint && brush) FillRect(paint.get(), &client, static_cast<HBRUSH>(brush.get()));
}

// --- creation and release --------------------------------------------------------------------

void PlayerControl::createPlayer(const CREATESTRUCTW& create) {
  transparent_ = (create.style & kControlStyleTransparent) || (create.dwExStyle & WS_EX_LAYERED);
  if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
    updateLayeredWindow_ = reinterpret_cast<UpdateLayeredWindowEntry>(
        reinterpret_cast<void*>(GetProcAddress(user32, "UpdateLayeredWindow")));
  }

  ClassObjectEntry entry = host_.classObjectEntry;
  ComPtr<IClassFactory> factory;
  ComPtr<IUnknown> player;
  if (!entry || FAILED(entry(flash::CLSID_ShockwaveFlash, IID_IClassFactory, &factory)) || !factory ||
      FAILED(factory->CreateInstance(nullptr, IID_IUnknown, &player)) || !player) {
    return;  // an empty control: every player message answers its failure
  }
  player_ = player;

  for (ComPtr<IShockwaveFlash>& generation : generations_)
    player_->QueryInterface(flash::IID_IShockwaveFlash, &generation);

  if (IShockwaveFlash* scripting = this->scripting()) {
    BSTR mode = SysAllocString(transparent_ ? L"Transparent" : L"Window");
    scripting->put_WMode(mode);
    SysFreeString(mode);
  }

  ComPtr<IConnectionPointContainer> points;
  if (SUCCEEDED(player_.As(&points)) &&
      SUCCEEDED(points->FindConnectionPoint(flash::DIID_IShockwaveFlashEvents, &eventPoint_)) &&
      SUCCEEDED(eventPoint_->Advise(static_cast<IDispatch*>(this), &eventCookie_))) {
    sinkConnected_ = true;
  }

  if (SUCCEEDED(player_.As(&oleObject_))) {
    oleObject_->GetMiscStatus(DVASPECT_CONTENT, &miscStatus_);
    oleObject_->SetClientSite(static_cast<IOleClientSite*>(this));
    ComPtr<IViewObjectEx> view7;
    ComPtr<IViewObject2> view3;
    if (SUCCEEDED(player_.As(&view7))) {
      viewObject_ = view7;
      viewLevel_ = 7;
    } else if (SUCCEEDED(player_.As(&view3))) {
      viewObject_ = view3;
      viewLevel_ = 3;
    } else if (SUCCEEDED(player_.As(&viewObject_))) {
      viewLevel_ = 1;
    }

    if (!(miscStatus_ & OLEMISC_INVISIBLEATRUNTIME)) {
      position_ = clientRect();
      SIZEL extent = pixelsToHimetric(position_.right - position_.left, position_.bottom - position_.top);
      oleObject_->SetExtent(DVASPECT_CONTENT, &extent);
      if (SUCCEEDED(oleObject_->GetExtent(DVASPECT_CONTENT, &extent))) {
        SIZEL pixels = himetricToPixels(extent);
        position_.right = position_.left + pixels.cx;
        position_.bottom = position_.top + pixels.cy;
      }
      oleObject_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(this), 0, window_,
                         &position_);
      RedrawWindow(window_, nullptr, nullptr, kRedrawAll);
    }
  }

  ComPtr<IObjectWithSite> withSite;
  if (SUCCEEDED(player_.As(&withSite))) withSite->SetSite(static_cast<IOleClientSite*>(this));
}

void PlayerControl::releasePlayer() {
  if (!player_) return;
  ComPtr<IUnknown> player = std::move(player_);
  // Activation locked the player running; the lock is given back so nothing keeps it alive.
  if (runningLocked_) OleLockRunning(player.Get(), FALSE, TRUE);
  runningLocked_ = false;
  if (viewObject_) viewObject_->SetAdvise(DVASPECT_CONTENT, 0, nullptr);
  if (oleObject_) {
    oleObject_->Close(OLECLOSE_NOSAVE);
    oleObject_->SetClientSite(nullptr);
  }
  ComPtr<IObjectWithSite> withSite;
  if (SUCCEEDED(player.As(&withSite))) withSite->SetSite(nullptr);
  if (sinkConnected_ && eventPoint_) eventPoint_->Unadvise(eventCookie_);
  sinkConnected_ = false;
  eventPoint_.Reset();
  inPlaceObject_.Reset();
  viewObject_.Reset();
  viewLevel_ = 0;
  oleObject_.Reset();
  objectSite_.Reset();
  for (ComPtr<IShockwaveFlash>& generation : generations_) generation.Reset();
  inPlaceActive_ = uiActive_ = windowless_ = false;
}

// --- window messages -------------------------------------------------------------------------

void PlayerControl::onSize(int width, int height) {
  position_ = {position_.left, position_.top, position_.left + width, position_.top + height};
  if (oleObject_) {
    SIZEL extent = pixelsToHimetric(width, height);
    oleObject_->SetExtent(DVASPECT_CONTENT, &extent);
  }
  if (inPlaceObject_) inPlaceObject_->SetObjectRects(&position_, &position_);
}

void PlayerControl::onSetFocus() {
  if (destroyed_ || !oleObject_) return;
  if (!uiActive_)
    oleObject_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, static_cast<IOleClientSite*>(this), 0, window_, &position_);
  if (windowless_) return;  // the focus stays on the control, which forwards the keys
  HWND focus = ::GetFocus();
  if (focus && IsChild(window_, focus)) return;
  if (HWND child = ::GetWindow(window_, GW_CHILD)) ::SetFocus(child);
}

LRESULT PlayerControl::onMouseActivate(WPARAM wParam, LPARAM lParam) {
  if (!(miscStatus_ & OLEMISC_NOUIACTIVATE)) {
    onSetFocus();
  } else if (oleObject_ && !inPlaceActive_) {
    oleObject_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(this), 0, window_,
                       &position_);
  }
  return defaultProcedure(WM_MOUSEACTIVATE, wParam, lParam);
}

// --- private messages ------------------------------------------------------------------------

LRESULT PlayerControl::queryPlayer(void* record) {
  auto* r = static_cast<QueryInterfaceRecord*>(record);
  r->result = E_FAIL;
  r->object = nullptr;
  if (!player_) {
    r->result = E_POINTER;
    return 1;
  }
  r->result = player_->QueryInterface(r->iid, &r->object);
  return 1;
}

HRESULT PlayerControl::startMemoryMovie(int layer, IStream** writer) {
  *writer = nullptr;
  if (!host_.startMemoryMovie) return E_NOTIMPL;
  std::wstring path;
  ComPtr<IStream> stream;
  HRESULT hr = host_.startMemoryMovie(host_.context, window_, &path, &stream);
  if (FAILED(hr)) return hr;
  // The reset URL first (its bind always fails), so that the player takes the memory path as
  // a new movie even when the previous one had the same name.
  loadMovieUrl(layer, kResetUrl);
  hr = loadMovieUrl(layer, path.c_str());
  if (FAILED(hr)) {
    if (host_.forgetMemoryMovies) host_.forgetMemoryMovies(host_.context, window_, path);
    return hr;
  }
  *writer = stream.Detach();
  return S_OK;
}

HRESULT PlayerControl::loadMovieUrl(int layer, const wchar_t* url) {
  if (layer < 0) {
    TextRecord<wchar_t> record{url, E_FAIL};
    SendMessageW(window_, msg::kPutMovieW, 0, reinterpret_cast<LPARAM>(&record));
    return record.result;
  }
  LayerTextRecord<wchar_t> record{layer, url, E_FAIL};
  SendMessageW(window_, msg::kLoadMovieW, 0, reinterpret_cast<LPARAM>(&record));
  return record.result;
}

HRESULT PlayerControl::startMemoryMovie(int layer, const void* data, size_t size) {
  if (!data && size > 0) return E_POINTER;
  ComPtr<IStream> writer;
  HRESULT hr = startMemoryMovie(layer, &writer);
  if (FAILED(hr)) return hr;
  if (!writer) return E_FAIL;
  return size > 0 ? writeAll(writer.Get(), data, size) : S_OK;  // releasing the writer completes the data
}

LRESULT PlayerControl::putMovieFromMemory(void* record) {
  auto* r = static_cast<MovieFromMemoryRecord*>(record);
  r->result = E_FAIL;
  if (!player_) return 0;
  r->result = startMemoryMovie(-1, r->data, r->size);
  return 1;
}

LRESULT PlayerControl::loadMovieFromMemory(void* record) {
  auto* r = static_cast<LayerFromMemoryRecord*>(record);
  r->result = E_FAIL;
  if (!player_) return 0;
  r->result = startMemoryMovie(r->layer, r->data, r->size);
  return 1;
}

LRESULT PlayerControl::putMovieFromStream(void* record) {
  auto* r = static_cast<MovieStreamRecord*>(record);
  r->result = E_FAIL;
  r->stream = nullptr;
  if (!player_) return 0;
  r->result = startMemoryMovie(-1, &r->stream);
  return 1;
}

LRESULT PlayerControl::loadMovieFromStream(void* record) {
  auto* r = static_cast<LayerStreamRecord*>(record);
  r->result = E_FAIL;
  r->stream = nullptr;
  if (!player_) return 0;
  r->result = startMemoryMovie(r->layer, &r->stream);
  return 1;
}

LRESULT PlayerControl::captureFrame(void* record) {
  auto* r = static_cast<CaptureFrameRecord*>(record);
  r->result = E_FAIL;
  r->bitmap = nullptr;
  if (!player_) return 1;
  if (windowless_ && transparent_) {
    r->bitmap = captureTransparentFrame();
    r->result = r->bitmap ? S_OK : E_FAIL;
    return 1;
  }
  RECT client = clientRect();
  WindowDc screen(window_);
  if (!screen) return 1;
  UniqueDc memory(CreateCompatibleDC(screen.get()));
  UniqueGdiObject bitmap(CreateCompatibleBitmap(screen.get(), client.right > 0 ? client.right : 1,
                                                client.bottom > 0 ? client.bottom : 1));
  if (memory && bitmap) {
    ScopedSelect select(memory.get(), bitmap.get());
    HWND playerWindow = nullptr;
    if (windowless_) {
      r->result = drawPlayer(memory.get(), position_);
    } else if (ComPtr<IOleWindow> window; SUCCEEDED(player_.As(&window)) && SUCCEEDED(window->GetWindow(&playerWindow)) &&
               playerWindow) {
      SendMessageW(playerWindow, WM_PAINT, reinterpret_cast<WPARAM>(memory.get()), 0);
      r->result = S_OK;
    }
  }
  if (SUCCEEDED(r->result)) r->bitmap = static_cast<HBITMAP>(bitmap.release());
  return 1;
}

LRESULT PlayerControl::setContextMenu(void* record) {
  auto* r = static_cast<ContextMenuRecord*>(record);
  contextMenu_ = r->flag;
  r->result = S_OK;
  return 1;
}

LRESULT PlayerControl::getContextMenu(void* record) {
  auto* r = static_cast<ContextMenuRecord*>(record);
  r->flag = contextMenu_;
  r->result = S_OK;
  return 1;
}

LRESULT PlayerControl::setAlpha(void* record) {
  auto* r = static_cast<SetAlphaRecord*>(record);
  alpha_ = r->alpha;
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE);
  r->result = S_OK;
  return 1;
}

LRESULT PlayerControl::getAlpha(void* record) {
  auto* r = static_cast<GetAlphaRecord*>(record);
  r->alpha = alpha_;
  r->result = S_OK;
  return 1;
}

LRESULT PlayerControl::callFunction(void* record) {
  auto* r = static_cast<CallFunctionRecord*>(record);
  r->result = E_FAIL;
  r->response = nullptr;
  IShockwaveFlash* player = scripting();
  if (!player) return 0;
  if (playerGeneration(player) < 8) {
    r->result = E_NOTIMPL;
    return 0;
  }
  r->result = player->CallFunction(r->request, &r->response);
  if (FAILED(r->result) && r->response) {
    SysFreeString(r->response);
    r->response = nullptr;
  }
  return 1;
}

HRESULT PlayerControl::setReturnValue(BSTR value, LRESULT* handled) {
  *handled = 0;
  IShockwaveFlash* player = scripting();
  if (!player) return E_FAIL;
  if (playerGeneration(player) < 8) return E_NOTIMPL;
  *handled = 1;
  return player->SetReturnValue(value);
}

LRESULT PlayerControl::setReturnValueA(void* record) {
  auto* r = static_cast<ReturnValueRecord<char>*>(record);
  r->result = E_FAIL;
  BSTR value = r->value ? ansiToBstr(r->value) : nullptr;
  LRESULT handled = 0;
  r->result = setReturnValue(value, &handled);
  SysFreeString(value);
  return handled;
}

LRESULT PlayerControl::setReturnValueW(void* record) {
  auto* r = static_cast<ReturnValueRecord<wchar_t>*>(record);
  r->result = E_FAIL;
  BSTR value = r->value ? SysAllocString(r->value) : nullptr;
  LRESULT handled = 0;
  r->result = setReturnValue(value, &handled);
  SysFreeString(value);
  return handled;
}

// --- registered messages ---------------------------------------------------------------------

LRESULT PlayerControl::setEventListener(const EventListenerRecord* record) {
  std::lock_guard<std::recursive_mutex> lock(listenerLock_);
  listener_ = record ? record->callback : nullptr;
  listenerData_ = record ? record->userData : nullptr;
  return 1;
}

LRESULT PlayerControl::loadExternalResource(ExternalResourceRecord* record) {
  if (!record) return 0;
  const std::wstring url = record->url ? std::wstring(record->url, SysStringLen(record->url)) : std::wstring();
  const std::string ansi = toAnsi(url);
  if (record->ansiUrl && record->ansiCapacity > 0) {
    const size_t copied = ansi.size() < record->ansiCapacity ? ansi.size() : record->ansiCapacity - 1;
    ansi.copy(record->ansiUrl, copied);
    record->ansiUrl[copied] = '\0';
  }
  ResourceNotification<char> plainA{{}, ansi.c_str(), record->stream, FALSE};
  notify(notify::kResourceA, &plainA.header);
  ResourceNotification<char> answerA{{}, ansi.c_str(), record->stream, record->handled};
  notify(notify::kResourceAnswerableA, &answerA.header);
  record->handled = answerA.handled;
  ResourceNotification<wchar_t> plainW{{}, url.c_str(), record->stream, FALSE};
  notify(notify::kResourceW, &plainW.header);
  ResourceNotification<wchar_t> answerW{{}, url.c_str(), record->stream, record->handled};
  notify(notify::kResourceAnswerableW, &answerW.header);
  record->handled = answerW.handled;
  return 1;
}

// --- notifications and events ----------------------------------------------------------------

void PlayerControl::notify(UINT code, NMHDR* header) {
  if (detached()) return;  // no window, no owner to tell
  header->hwndFrom = window_;
  header->idFrom = static_cast<UINT_PTR>(GetWindowLongPtrW(window_, GWLP_ID));
  header->code = code;
  if (HWND parent = GetParent(window_))
    SendMessageW(parent, WM_NOTIFY, static_cast<WPARAM>(header->idFrom), reinterpret_cast<LPARAM>(header));
  std::lock_guard<std::recursive_mutex> lock(listenerLock_);
  if (listener_) listener_(window_, listenerData_, header);
}

HRESULT PlayerControl::raiseEvent(DISPID id, DISPPARAMS* params) {
  switch (id) {
    case flash::kDispFSCommand: {
      std::wstring command, arguments;
      if (!eventText(params, 1, &command) || !eventText(params, 0, &arguments)) return DISP_E_BADPARAMCOUNT;
      FSCommandNotification<wchar_t> wide{{}, command.c_str(), arguments.c_str()};
      notify(notify::kFSCommandW, &wide.header);
      const std::string commandA = toAnsi(command), argumentsA = toAnsi(arguments);
      FSCommandNotification<char> ansi{{}, commandA.c_str(), argumentsA.c_str()};
      notify(notify::kFSCommandA, &ansi.header);
      return S_OK;
    }
    case flash::kDispFlashCall: {
      std::wstring request;
      if (!eventText(params, 0, &request)) return DISP_E_BADPARAMCOUNT;
      FlashCallNotification<wchar_t> wide{{}, request.c_str()};
      notify(notify::kFlashCallW, &wide.header);
      const std::string requestA = toAnsi(request);
      FlashCallNotification<char> ansi{{}, requestA.c_str()};
      notify(notify::kFlashCallA, &ansi.header);
      return S_OK;
    }
    case flash::kDispOnReadyStateChange:
    case flash::kDispOnProgress: {
      NumberNotification number{{}, 0};
      if (!eventNumber(params, 0, &number.value)) return DISP_E_BADPARAMCOUNT;
      notify(id == flash::kDispOnProgress ? notify::kProgress : notify::kReadyStateChange, &number.header);
      return S_OK;
    }
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

void PlayerControl::playerInvalidated(const RECT& rect) {
  InvalidateNotification note{{}, rect.left, rect.top, rect.right, rect.bottom};
  notify(notify::kInvalidate, &note.header);
}

// --- keyboard accelerators -------------------------------------------------------------------

bool PlayerControl::playerHasFocus() const {
  HWND focus = ::GetFocus();
  return focus && (focus == window_ || IsChild(window_, focus));
}

LRESULT CALLBACK PlayerControl::messageHook(PlayerControl* control, int code, WPARAM wParam, LPARAM lParam) {
  return atBoundary("player control message hook", LRESULT{0}, [&]() -> LRESULT {
    if (code == HC_ACTION && wParam == PM_REMOVE && lParam && control->player_) {
      MSG* message = reinterpret_cast<MSG*>(lParam);
      if (message->message >= WM_KEYDOWN && message->message <= 0x108 && control->playerHasFocus()) {
        ComPtr<IOleInPlaceActiveObject> active;
        if (SUCCEEDED(control->player_.As(&active)) && active->TranslateAccelerator(message) == S_OK)
          message->message = WM_NULL;  // the thread's own loop must not handle it again
      } else if (message->message == WM_RBUTTONUP && control->contextMenu_ == 0 && message->hwnd &&
                 IsChild(control->window_, message->hwnd)) {
        // The player's own window gets default processing only: no context menu.
        DefWindowProcW(message->hwnd, message->message, message->wParam, message->lParam);
        message->message = WM_NULL;
      }
    }
    return CallNextHookEx(control->hook_.get(), code, wParam, lParam);
  });
}

}  // namespace lumo
