// OLE embedding of the player: client site, verbs, in-place activation windowed (a child window
// of our own class) or windowless (through the site), UI activation, drawing and hit tests.
#include <olectl.h>

#include "DeviceContext.h"
#include "FlashPlayer.h"
#include "Module.h"
#include "PlayerBoundary.h"
#include "ScriptRunner.h"
#include "Text.h"

using Microsoft::WRL::ComPtr;

namespace {
constexpr DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                              OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;
}  // namespace

StageLayout FlashPlayer::layout() const {
  StageLayout l;
  l.scaleMode = scaleMode_;
  l.alignMode = alignMode_;
  l.transparent = equalsNoCase(wmode_, L"Transparent");
  l.backgroundOverride = backgroundColor_;
  return l;
}

void FlashPlayer::invalidateStage() {
  if (inPlaceActive_ && windowless_ && windowlessSite_)
    windowlessSite_->InvalidateRect(nullptr, FALSE);
  else if (stageWindow_)
    InvalidateRect(stageWindow_, nullptr, FALSE);
  if (viewSink_) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
}

HRESULT FlashPlayer::activateInPlace(IOleClientSite* site, HWND parent, LPCRECT position) {
  if (inPlaceActive_) {
    if (position) SetObjectRects(position, position);
    return S_OK;
  }
  if (!site) site = clientSite_.Get();
  if (!site) return E_UNEXPECTED;
  ComPtr<IOleInPlaceSite> inPlace;
  if (FAILED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(inPlace.GetAddressOf()))))
    return E_NOINTERFACE;
  if (inPlace->CanInPlaceActivate() != S_OK) return E_FAIL;
  inPlaceSite_ = inPlace;
  windowlessSite_.Reset();
  windowless_ = false;
  // Windowless only for a transparent movie and only where the site allows it.
  if (equalsNoCase(wmode_, L"Transparent") &&
      SUCCEEDED(inPlace.As(&windowlessSite_)) && windowlessSite_->CanWindowlessActivate() == S_OK) {
    windowless_ = true;
  } else {
    windowlessSite_.Reset();
  }
  if (position) position_ = *position;
  inPlaceActive_ = true;
  BOOL noRedraw = FALSE;
  ComPtr<IOleInPlaceSiteEx> siteEx;
  if (windowless_)
    windowlessSite_->OnInPlaceActivateEx(&noRedraw, ACTIVATE_WINDOWLESS);
  else if (SUCCEEDED(inPlace.As(&siteEx)))
    siteEx->OnInPlaceActivateEx(&noRedraw, 0);
  else
    inPlace->OnInPlaceActivate();

  OLEINPLACEFRAMEINFO frameInfo{};
  frameInfo.cb = sizeof frameInfo;
  RECT pos{}, clip{};
  frame_ui_.Reset();
  document_.Reset();
  if (SUCCEEDED(inPlace->GetWindowContext(&frame_ui_, &document_, &pos, &clip, &frameInfo))) position_ = pos;
  if (!parent) inPlace->GetWindow(&parent);
  parentWindow_ = parent;

  if (!windowless_) {
    if (!registerWindowClass()) return E_FAIL;
    stageWindow_ = CreateWindowExA(0, module::kWindowClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                                   position_.left, position_.top, position_.right - position_.left,
                                   position_.bottom - position_.top, parentWindow_, nullptr, module::instance(), this);
    if (!stageWindow_) return E_FAIL;
  }
  ensureMessageWindow();
  invalidateStage();
  return S_OK;
}

HRESULT FlashPlayer::activateUi() {
  if (!inPlaceActive_) return E_UNEXPECTED;
  if (!uiActive_) {
    uiActive_ = true;
    inPlaceSite_->OnUIActivate();
    if (frame_ui_) frame_ui_->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), L"ShockwaveFlash");
    if (document_) document_->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), L"ShockwaveFlash");
  }
  if (windowless_ && windowlessSite_)
    windowlessSite_->SetFocus(TRUE);
  else if (stageWindow_ && GetFocus() != stageWindow_)
    SetFocus(stageWindow_);
  return S_OK;
}

// --- IOleObject --------------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE FlashPlayer::SetClientSite(IOleClientSite* site) {
  clientSite_ = site;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  return clientSite_.CopyTo(site);
}
HRESULT STDMETHODCALLTYPE FlashPlayer::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }
HRESULT STDMETHODCALLTYPE FlashPlayer::Close(DWORD) {
  return guardedCall("player Close", HRESULT{E_FAIL}, [&]() -> HRESULT {
    ComPtr<FlashPlayer> keepAlive(this);
    if (script_) script_->stop();
    if (messageWindow_) {
      KillTimer(messageWindow_, module::kScriptTimer);
      KillTimer(messageWindow_, module::kFrameTimer);
    }
    InPlaceDeactivate();
    if (oleAdvise_) oleAdvise_->SendOnClose();
    return S_OK;
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FlashPlayer::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FlashPlayer::GetClipboardData(DWORD, IDataObject** data) {
  if (data) *data = nullptr;
  return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                                              LPCRECT position) {
  return guardedCall("player DoVerb", HRESULT{E_FAIL}, [&]() -> HRESULT {
    switch (verb) {
      case OLEIVERB_SHOW:
      case OLEIVERB_INPLACEACTIVATE:
        return activateInPlace(site, parent, position);
      case OLEIVERB_PRIMARY:
      case OLEIVERB_UIACTIVATE: {
        HRESULT hr = activateInPlace(site, parent, position);
        return FAILED(hr) ? hr : activateUi();
      }
      case OLEIVERB_HIDE:
        UIDeactivate();
        if (stageWindow_) ShowWindow(stageWindow_, SW_HIDE);
        return S_OK;
      default:
        return OLEOBJ_S_INVALIDVERB;
    }
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::EnumVerbs(IEnumOLEVERB** verbs) {
  if (verbs) *verbs = nullptr;
  return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::Update() { return S_OK; }
HRESULT STDMETHODCALLTYPE FlashPlayer::IsUpToDate() { return S_OK; }
HRESULT STDMETHODCALLTYPE FlashPlayer::GetUserClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = flash::CLSID_ShockwaveFlash;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::GetUserType(DWORD, LPOLESTR* type) {
  if (!type) return E_POINTER;
  static const wchar_t kName[] = L"Lumo Player Control";
  *type = static_cast<LPOLESTR>(CoTaskMemAlloc(sizeof kName));
  if (!*type) return E_OUTOFMEMORY;
  memcpy(*type, kName, sizeof kName);
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::SetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  extent_ = *size;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::GetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  *size = extent_;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::Advise(IAdviseSink* sink, DWORD* cookie) {
  return oleAdvise_ ? oleAdvise_->Advise(sink, cookie) : E_OUTOFMEMORY;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::Unadvise(DWORD cookie) {
  return oleAdvise_ ? oleAdvise_->Unadvise(cookie) : OLE_E_NOCONNECTION;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::EnumAdvise(IEnumSTATDATA** advise) {
  return oleAdvise_ ? oleAdvise_->EnumAdvise(advise) : E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::GetMiscStatus(DWORD, DWORD* status) {
  if (!status) return E_POINTER;
  *status = kMiscStatus;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// --- IOleWindow, IOleInPlaceObject(Windowless), IOleInPlaceActiveObject ------------------------

HRESULT STDMETHODCALLTYPE FlashPlayer::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = stageWindow_;
  return stageWindow_ ? S_OK : E_FAIL;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FlashPlayer::InPlaceDeactivate() {
  if (!inPlaceActive_) return S_OK;
  ComPtr<FlashPlayer> keepAlive(this);
  if (contextMenuOpen_) EndMenu();  // its loop ends once this call returns
  UIDeactivate();
  inPlaceActive_ = false;
  if (stageWindow_) DestroyWindow(stageWindow_);
  ComPtr<IOleInPlaceSite> site = std::move(inPlaceSite_);
  if (windowless_ && windowlessSite_)
    windowlessSite_->OnInPlaceDeactivateEx(TRUE);
  else if (site)
    site->OnInPlaceDeactivate();
  windowlessSite_.Reset();
  frame_ui_.Reset();
  document_.Reset();
  windowless_ = false;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::UIDeactivate() {
  if (!uiActive_) return S_OK;
  uiActive_ = false;
  if (frame_ui_) frame_ui_->SetActiveObject(nullptr, nullptr);
  if (document_) document_->SetActiveObject(nullptr, nullptr);
  if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::SetObjectRects(LPCRECT position, LPCRECT) {
  if (!position) return E_POINTER;
  position_ = *position;
  if (stageWindow_)
    MoveWindow(stageWindow_, position_.left, position_.top, position_.right - position_.left,
               position_.bottom - position_.top, TRUE);
  else
    invalidateStage();
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::ReactivateAndUndo() { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FlashPlayer::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (!windowless_) return E_UNEXPECTED;
  // The windowless container's window procedure calls here: input runs the movie's handlers.
  return guardedCall("player OnWindowMessage", HRESULT{S_FALSE}, [&]() -> HRESULT {
    ComPtr<FlashPlayer> keepAlive(this);
    bool handled = false;
    LRESULT value = stageInput(message, wParam, lParam, &handled);
    if (result) *result = value;
    return handled ? S_OK : S_FALSE;
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::GetDropTarget(IDropTarget** target) {
  if (target) *target = nullptr;
  return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::TranslateAccelerator(LPMSG) {
  // The movie takes its keys as ordinary messages: no accelerators of its own.
  return S_FALSE;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::OnFrameWindowActivate(BOOL) { return S_OK; }
HRESULT STDMETHODCALLTYPE FlashPlayer::OnDocWindowActivate(BOOL) { return S_OK; }
HRESULT STDMETHODCALLTYPE FlashPlayer::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
HRESULT STDMETHODCALLTYPE FlashPlayer::EnableModeless(BOOL) { return S_OK; }

// --- IViewObject, IViewObject2, IViewObjectEx -----------------------------------------------

HRESULT STDMETHODCALLTYPE FlashPlayer::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC drawDc,
                                            LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!drawDc) return E_INVALIDARG;
  // A windowless object without bounds draws at its place in the container's coordinates.
  RECT r = bounds ? RECT{bounds->left, bounds->top, bounds->right, bounds->bottom} : position_;
  return guardedCall("player Draw", HRESULT{E_FAIL}, [&]() -> HRESULT {
    drawStage(drawDc, r, layout());
    return S_OK;
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) {
  if (colors) *colors = nullptr;
  return S_FALSE;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::Freeze(DWORD, LONG, void*, DWORD*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FlashPlayer::Unfreeze(DWORD) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FlashPlayer::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  viewAspects_ = aspects;
  viewFlags_ = flags;
  viewSink_ = sink;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects) *aspects = viewAspects_;
  if (flags) *flags = viewFlags_;
  if (sink) viewSink_.CopyTo(sink);
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return GetExtent(aspect, size);
}
HRESULT STDMETHODCALLTYPE FlashPlayer::GetRect(DWORD aspect, LPRECTL rect) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!rect) return E_POINTER;
  *rect = RECTL{position_.left, position_.top, position_.right, position_.bottom};
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::GetViewStatus(DWORD* status) {
  if (!status) return E_POINTER;
  *status = layout().transparent ? 0 : (VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND);
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT location, LONG,
                                                     DWORD* result) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!bounds || !result) return E_POINTER;
  if (stageHit(*bounds, location))
    *result = HITRESULT_HIT;
  else
    *result = PtInRect(bounds, location) ? HITRESULT_TRANSPARENT : HITRESULT_OUTSIDE;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT location, LONG,
                                                    DWORD* result) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!bounds || !location || !result) return E_POINTER;
  RECT overlap;
  *result = IntersectRect(&overlap, bounds, location) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, LPSIZEL size) {
  if (!size) return E_POINTER;
  if (!movie_) return E_NOTIMPL;
  // The stage size in HIMETRIC at the screen's resolution.
  lumo::WindowDc screen(nullptr);
  size->cx = MulDiv(movie_->widthPixels(), 2540, GetDeviceCaps(screen.get(), LOGPIXELSX));
  size->cy = MulDiv(movie_->heightPixels(), 2540, GetDeviceCaps(screen.get(), LOGPIXELSY));
  return S_OK;
}

// --- IObjectWithSite ------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE FlashPlayer::SetSite(IUnknown* site) {
  objectSite_ = site;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::GetSite(REFIID riid, void** site) {
  if (!site) return E_POINTER;
  *site = nullptr;
  if (!objectSite_) return E_FAIL;
  return objectSite_->QueryInterface(riid, site);
}
