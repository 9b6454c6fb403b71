// The container answers a player gets from its control: minimal by design (no menus, toolbars,
// undo or monikers), windowless activation allowed, an empty accelerator table, an event sink.
// Methods that reach code of ours which may throw (events, invalidation, drawing, the handed-out
// DC) run `atBoundary`; the others only record a flag or hand out a pointer and cannot throw.
#include "host/ControlSite.h"

#include "CallBoundary.h"

#include <new>
#include <utility>

#include "ShockwaveFlash.h"

using Microsoft::WRL::ComPtr;

namespace lumo {
namespace {

enum class Face { ClientSite, InPlaceSite, ControlSite, Container, Frame, ObjectWithSite, EventSink };

struct InterfaceAnswer {
  const IID* iid;
  Face face;
};

// Which of the control's interfaces answers a QueryInterface; anything else is refused.
const InterfaceAnswer kInterfaceAnswers[] = {
    {&IID_IUnknown, Face::ClientSite},
    {&IID_IOleClientSite, Face::ClientSite},
    {&IID_IOleWindow, Face::InPlaceSite},
    {&IID_IOleInPlaceSite, Face::InPlaceSite},
    {&IID_IOleInPlaceSiteEx, Face::InPlaceSite},
    {&IID_IOleInPlaceSiteWindowless, Face::InPlaceSite},
    {&IID_IOleControlSite, Face::ControlSite},
    {&IID_IOleContainer, Face::Container},
    {&IID_IOleInPlaceFrame, Face::Frame},
    {&IID_IObjectWithSite, Face::ObjectWithSite},
    {&IID_IDispatch, Face::EventSink},
    {&flash::DIID_IShockwaveFlashEvents, Face::EventSink},
};

// EnumObjects' answer: the one player object, then the end.
class SingleObjectEnumerator final : public IEnumUnknown {
 public:
  SingleObjectEnumerator(IUnknown* object, ULONG next) : object_(object), next_(next) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IEnumUnknown) {
      *out = static_cast<IEnumUnknown*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE Next(ULONG count, IUnknown** items, ULONG* fetched) override {
    if (!items || (count > 1 && !fetched)) return E_POINTER;
    ULONG given = 0;
    if (count > 0 && next_ == 0 && object_) {
      items[0] = object_.Get();
      items[0]->AddRef();
      given = 1;
      next_ = 1;
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    if (count == 0) return S_OK;
    bool had = next_ == 0 && object_;
    next_ = 1;
    return had && count == 1 ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    next_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumUnknown** copy) override {
    if (!copy) return E_POINTER;
    *copy = new (std::nothrow) SingleObjectEnumerator(object_.Get(), next_);
    return *copy ? S_OK : E_OUTOFMEMORY;
  }

 private:
  std::atomic<ULONG> refs_{1};
  ComPtr<IUnknown> object_;
  ULONG next_;
};

}  // namespace

// --- IUnknown --------------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE ControlSite::QueryInterface(REFIID riid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  for (const InterfaceAnswer& answer : kInterfaceAnswers) {
    if (riid != *answer.iid) continue;
    switch (answer.face) {
      case Face::ClientSite: *out = static_cast<IOleClientSite*>(this); break;
      case Face::InPlaceSite: *out = static_cast<IOleInPlaceSiteWindowless*>(this); break;
      case Face::ControlSite: *out = static_cast<IOleControlSite*>(this); break;
      case Face::Container: *out = static_cast<IOleContainer*>(this); break;
      case Face::Frame: *out = static_cast<IOleInPlaceFrame*>(this); break;
      case Face::ObjectWithSite: *out = static_cast<IObjectWithSite*>(this); break;
      case Face::EventSink: *out = static_cast<IDispatch*>(this); break;
    }
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

// --- helpers ---------------------------------------------------------------------------------

LRESULT ControlSite::defaultProcedure(UINT message, WPARAM wParam, LPARAM lParam) {
  return IsWindowUnicode(window_) ? DefWindowProcW(window_, message, wParam, lParam)
                                  : DefWindowProcA(window_, message, wParam, lParam);
}

RECT ControlSite::clientRect() const {
  RECT rect{};
  GetClientRect(window_, &rect);
  return rect;
}

HRESULT ControlSite::drawPlayer(HDC dc, const RECT& bounds) {
  if (!viewObject_) return E_FAIL;
  RECTL area{bounds.left, bounds.top, bounds.right, bounds.bottom};
  return viewObject_->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &area, nullptr, nullptr, 0);
}

void ControlSite::lockRunning() {
  if (runningLocked_ || !player_) return;
  runningLocked_ = SUCCEEDED(OleLockRunning(player_.Get(), TRUE, FALSE));
}

HACCEL ControlSite::accelerators() {
  if (acceleratorEntries_ < 0) {
    ACCEL empty{};
    accelerators_.reset(CreateAcceleratorTableA(&empty, 1));
    acceleratorEntries_ = accelerators_ ? 1 : 0;
  }
  return accelerators_.get();
}

// --- IOleClientSite --------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE ControlSite::GetContainer(IOleContainer** container) {
  if (!container) return E_POINTER;
  *container = static_cast<IOleContainer*>(this);
  AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlSite::ShowObject() {
  return atBoundary("site ShowObject", HRESULT{E_FAIL}, [&]() -> HRESULT {
    if (WindowDc dc(window_); dc) drawPlayer(dc.get(), position_);
    return S_OK;
  });
}

// --- IOleWindow, in-place site ---------------------------------------------------------------

HRESULT STDMETHODCALLTYPE ControlSite::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = detached_ ? nullptr : window_;
  return detached_ ? E_FAIL : S_OK;
}

ULONG STDMETHODCALLTYPE ControlSite::Release() {
  const ULONG left = --refs_;
  // While the window exists it holds a reference, so a count of 0 can only follow its end.
  if (left == 0 && detached_) delete this;
  return left;
}

void ControlSite::detachSite() {
  handedOut_.reset();
  detached_ = true;
  Release();
}

HRESULT STDMETHODCALLTYPE ControlSite::OnInPlaceActivate() {
  inPlaceActive_ = true;
  lockRunning();
  windowless_ = false;
  inPlaceObject_.Reset();
  if (oleObject_) oleObject_.As(&inPlaceObject_);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlSite::OnInPlaceActivateEx(BOOL*, DWORD flags) {
  if (!(flags & ACTIVATE_WINDOWLESS)) return OnInPlaceActivate();
  inPlaceActive_ = true;
  lockRunning();
  windowless_ = true;
  inPlaceObject_.Reset();
  ComPtr<IOleInPlaceObjectWindowless> windowless;
  if (oleObject_ && SUCCEEDED(oleObject_.As(&windowless))) {
    windowless->SetObjectRects(&position_, &position_);
    inPlaceObject_ = windowless;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlSite::OnInPlaceDeactivate() {
  inPlaceActive_ = false;
  inPlaceObject_.Reset();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlSite::OnUIActivate() {
  uiActive_ = true;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlSite::OnUIDeactivate(BOOL) {
  uiActive_ = false;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                                        LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
  if (frame) *frame = nullptr;
  if (document) *document = nullptr;
  if (!frame || !document || !position || !clip || !info) return E_POINTER;
  *frame = static_cast<IOleInPlaceFrame*>(this);
  AddRef();
  *position = clientRect();
  *clip = *position;
  HACCEL table = accelerators();
  info->cb = sizeof(OLEINPLACEFRAMEINFO);
  info->fMDIApp = FALSE;
  info->hwndFrame = GetParent(window_);
  info->haccel = table;
  info->cAccelEntries = static_cast<UINT>(acceleratorEntries_);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlSite::SetFocus(BOOL focus) {
  focus_ = focus != FALSE;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlSite::SetCapture(BOOL capture) {
  if (capture) {
    ::SetCapture(window_);
    capture_ = true;
  } else if (capture_) {
    capture_ = false;
    if (::GetCapture() == window_) ReleaseCapture();
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlSite::GetDC(LPCRECT, DWORD flags, HDC* dc) {
  if (!dc) return E_POINTER;
  *dc = nullptr;
  return atBoundary("site GetDC", HRESULT{E_FAIL}, [&]() -> HRESULT {
    if (handedOut_ || detached_) return E_FAIL;  // detached: GetDC would answer the screen's
    HandedOutDc& out = handedOut_.emplace(window_);
    if (!out.window) {
      handedOut_.reset();
      return E_FAIL;
    }
    if (flags & OLEDC_OFFSCREEN) {
      // Without an off-screen bitmap the player draws on the window itself.
      RECT client = clientRect();
      UniqueDc memory(CreateCompatibleDC(out.window.get()));
      UniqueGdiObject bitmap(memory ? CreateCompatibleBitmap(out.window.get(), client.right, client.bottom) : nullptr);
      if (bitmap) {
        out.memory = std::move(memory);
        out.bitmap = std::move(bitmap);
        out.selection.emplace(out.memory.get(), out.bitmap.get());
      }
    }
    if (flags & OLEDC_PAINTBKGND) {
      RECT client = clientRect();
      FillRect(out.given(), &client, GetSysColorBrush(COLOR_WINDOW));
    }
    *dc = out.given();
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE ControlSite::ReleaseDC(HDC dc) {
  if (!handedOut_ || dc != handedOut_->given()) return E_INVALIDARG;
  if (handedOut_->memory) {
    RECT client = clientRect();
    BitBlt(handedOut_->window.get(), 0, 0, client.right, client.bottom, handedOut_->memory.get(), 0, 0, SRCCOPY);
  }
  handedOut_.reset();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlSite::InvalidateRect(LPCRECT rect, BOOL erase) {
  ::InvalidateRect(window_, rect, erase);
  return atBoundary("site InvalidateRect", HRESULT{E_FAIL}, [&]() -> HRESULT {
    playerInvalidated(rect ? *rect : clientRect());
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE ControlSite::InvalidateRgn(HRGN region, BOOL erase) {
  ::InvalidateRgn(window_, region, erase);
  RECT bounds = clientRect();
  if (region) GetRgnBox(region, &bounds);
  return atBoundary("site InvalidateRgn", HRESULT{E_FAIL}, [&]() -> HRESULT {
    playerInvalidated(bounds);
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE ControlSite::OnDefWindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                                          LRESULT* result) {
  LRESULT answer = defaultProcedure(message, wParam, lParam);
  if (result) *result = answer;
  return S_OK;
}

// --- IOleControlSite -------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE ControlSite::GetExtendedControl(IDispatch** control) {
  if (!control) return E_POINTER;
  *control = nullptr;
  if (!player_) return E_FAIL;
  return player_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(control));
}

HRESULT STDMETHODCALLTYPE ControlSite::OnFocus(BOOL focus) {
  focus_ = focus != FALSE;
  return S_OK;
}

// --- IOleContainer ---------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE ControlSite::EnumObjects(DWORD, IEnumUnknown** objects) {
  if (!objects) return E_POINTER;
  *objects = new (std::nothrow) SingleObjectEnumerator(player_.Get(), 0);
  return *objects ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE ControlSite::LockContainer(BOOL lock) {
  containerLocked_ = lock != FALSE;
  return S_OK;
}

// --- IObjectWithSite -------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE ControlSite::SetSite(IUnknown* site) {
  objectSite_ = site;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlSite::GetSite(REFIID riid, void** site) {
  if (!site) return E_POINTER;
  *site = nullptr;
  if (!objectSite_) return E_FAIL;
  return objectSite_->QueryInterface(riid, site);
}

// --- IDispatch (event sink) ------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE ControlSite::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlSite::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ControlSite::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ControlSite::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                              EXCEPINFO*, UINT*) {
  return atBoundary("player event", HRESULT{E_FAIL}, [&]() -> HRESULT {
    return raiseEvent(id, params);
  });
}

}  // namespace lumo
