// The container side of a player control: client site, in-place site (windowless), control
// site, container, frame, object-with-site and event sink in one object with one count.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <ole2.h>
#include <wrl/client.h>

#include <atomic>
#include <optional>

#include "DeviceContext.h"
#include "UniqueHandle.h"

namespace lumo {

struct AcceleratorTableTraits {
  using Handle = HACCEL;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { DestroyAcceleratorTable(h); }
};
using UniqueAcceleratorTable = UniqueHandle<AcceleratorTableTraits>;

class ControlSite : public IOleClientSite,
                    public IOleInPlaceSiteWindowless,
                    public IOleControlSite,
                    public IOleContainer,
                    public IOleInPlaceFrame,
                    public IObjectWithSite,
                    public IDispatch {
 public:
  ControlSite(const ControlSite&) = delete;
  ControlSite& operator=(const ControlSite&) = delete;

  // IUnknown: one count for every interface. The window holds one reference; the object goes
  // when the window is gone and the player released the last of its own (see detachSite).
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override;

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
  HRESULT STDMETHODCALLTYPE ShowObject() override;
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow (in-place site and frame alike)
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite, IOleInPlaceSiteEx, IOleInPlaceSiteWindowless
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
  HRESULT STDMETHODCALLTYPE OnUIActivate() override;
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                             LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override;
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL) override { return OnInPlaceDeactivate(); }
  HRESULT STDMETHODCALLTYPE RequestUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE CanWindowlessActivate() override { return allowWindowless_ ? S_OK : S_FALSE; }
  HRESULT STDMETHODCALLTYPE GetCapture() override { return capture_ ? S_OK : S_FALSE; }
  HRESULT STDMETHODCALLTYPE SetCapture(BOOL capture) override;
  HRESULT STDMETHODCALLTYPE GetFocus() override { return focus_ ? S_OK : S_FALSE; }
  HRESULT STDMETHODCALLTYPE SetFocus(BOOL focus) override;
  HRESULT STDMETHODCALLTYPE GetDC(LPCRECT rect, DWORD flags, HDC* dc) override;
  HRESULT STDMETHODCALLTYPE ReleaseDC(HDC dc) override;
  HRESULT STDMETHODCALLTYPE InvalidateRect(LPCRECT rect, BOOL erase) override;
  HRESULT STDMETHODCALLTYPE InvalidateRgn(HRGN region, BOOL erase) override;
  HRESULT STDMETHODCALLTYPE ScrollRect(INT, INT, LPCRECT, LPCRECT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE AdjustRect(LPRECT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDefWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  // IOleControlSite
  HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** control) override;
  HRESULT STDMETHODCALLTYPE TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE OnFocus(BOOL focus) override;
  HRESULT STDMETHODCALLTYPE ShowPropertyFrame() override { return E_NOTIMPL; }

  // IOleContainer
  HRESULT STDMETHODCALLTYPE ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumObjects(DWORD flags, IEnumUnknown** objects) override;
  HRESULT STDMETHODCALLTYPE LockContainer(BOOL lock) override;

  // IOleInPlaceUIWindow, IOleInPlaceFrame
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  // IObjectWithSite
  HRESULT STDMETHODCALLTYPE SetSite(IUnknown* site) override;
  HRESULT STDMETHODCALLTYPE GetSite(REFIID riid, void** site) override;

  // IDispatch: the player's event sink; every DISPID but the player's events is unknown.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                   UINT*) override;

 protected:
  explicit ControlSite(HWND window) : window_(window) {}
  virtual ~ControlSite() = default;

  // An event of the player; DISP_E_MEMBERNOTFOUND for an id that is not one.
  virtual HRESULT raiseEvent(DISPID id, DISPPARAMS* params) = 0;
  // The player invalidated (part of) a windowless control: `rect` in client coordinates.
  virtual void playerInvalidated(const RECT& rect) = 0;
  // The procedure the control's messages fall back to.
  LRESULT defaultProcedure(UINT message, WPARAM wParam, LPARAM lParam);

  // The window is gone (WM_NCDESTROY): the site lets go of what belongs to the window, answers
  // without it from now on and drops the window's reference, which deletes it unless the
  // player still holds some.
  void detachSite();
  bool detached() const { return detached_; }

  RECT clientRect() const;
  // Draws the player into `dc` over `bounds` through its view object.
  HRESULT drawPlayer(HDC dc, const RECT& bounds);

  HWND window_;
  std::atomic<ULONG> refs_{1};
  std::atomic<bool> detached_{false};

  // The player's interfaces, kept by the control for its life.
  Microsoft::WRL::ComPtr<IUnknown> player_;
  Microsoft::WRL::ComPtr<IOleObject> oleObject_;
  Microsoft::WRL::ComPtr<IViewObject> viewObject_;
  int viewLevel_ = 0;  // 7 IViewObjectEx, 3 IViewObject2, 1 IViewObject
  DWORD miscStatus_ = 0;

  // Container state.
  bool inPlaceActive_ = false;
  bool uiActive_ = false;
  bool windowless_ = false;
  bool allowWindowless_ = true;
  bool capture_ = false;
  bool focus_ = false;
  bool containerLocked_ = false;
  Microsoft::WRL::ComPtr<IOleInPlaceObject> inPlaceObject_;  // windowless: IOleInPlaceObjectWindowless
  Microsoft::WRL::ComPtr<IUnknown> objectSite_;
  RECT position_{};
  bool runningLocked_ = false;  // OleLockRunning taken on the first activation

 private:
  void lockRunning();
  HACCEL accelerators();

  UniqueAcceleratorTable accelerators_;
  int acceleratorEntries_ = -1;  // -1 until the table was made (or failed)
  // A device context handed out to a windowless player until it gives it back (or the site goes):
  // the window's DC and, for an off-screen one, a memory DC with its bitmap selected. Members go
  // in reverse order: the selection, the bitmap, the memory DC, the window DC.
  struct HandedOutDc {
    explicit HandedOutDc(HWND window) : window(window) {}
    HDC given() const { return memory ? memory.get() : window.get(); }

    WindowDc window;
    UniqueDc memory;
    UniqueGdiObject bitmap;
    std::optional<ScopedSelect> selection;
  };
  std::optional<HandedOutDc> handedOut_;
};

}  // namespace lumo
