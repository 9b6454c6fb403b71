// The keyboard-accelerator hook: a key the player translates never reaches the thread's own
// loop; other keys and the stand-in player's keys pass; the hook goes with the control.
#include <atomic>

#include "ControlFixture.h"

namespace hostcontrol_test {
namespace {

// A player that is only an active object translating F5, built by its own class factory.
class AcceleratorPlayer final : public IOleInPlaceActiveObject, public IClassFactory {
 public:
  static AcceleratorPlayer& instance() {
    static AcceleratorPlayer player;
    return player;
  }
  static HRESULT STDAPICALLTYPE getClassObject(REFCLSID, REFIID riid, void** out) {
    return instance().QueryInterface(riid, out);
  }

  int translated = 0;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (riid == IID_IUnknown || riid == IID_IOleInPlaceActiveObject || riid == IID_IOleWindow)
      *out = static_cast<IOleInPlaceActiveObject*>(this);
    else if (riid == IID_IClassFactory)
      *out = static_cast<IClassFactory*>(this);
    else
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetWindow(HWND*) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) override {
    if (message->message != WM_KEYDOWN || message->wParam != VK_F5) return S_FALSE;
    ++translated;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID riid, void** out) override {
    return QueryInterface(riid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

// The message the thread's loop receives for a posted key.
UINT receivedFor(HWND window, WPARAM key) {
  PostMessageW(window, WM_KEYDOWN, key, 0);
  MSG message{};
  if (!PeekMessageW(&message, window, 0, 0, PM_REMOVE)) return 0xFFFFFFFF;
  return message.message;
}

TEST_F(HostControlTest, TranslatedAcceleratorBecomesNullMessageWhilePlayerHasFocus) {
  AcceleratorPlayer::instance().translated = 0;
  host_.classObjectEntry = &AcceleratorPlayer::getClassObject;
  HWND parent = createParent();
  HWND control = createControl(WS_CHILD | WS_VISIBLE, 0, parent);
  ASSERT_TRUE(lumo::PlayerControl::fromWindow(control)->hasPlayer());
  SetFocus(control);
  ASSERT_EQ(GetFocus(), control);

  EXPECT_EQ(receivedFor(control, VK_F5), static_cast<UINT>(WM_NULL));
  EXPECT_EQ(AcceleratorPlayer::instance().translated, 1);
  EXPECT_EQ(receivedFor(control, 'A'), static_cast<UINT>(WM_KEYDOWN));

  // Without the focus the player is not asked.
  SetFocus(parent);
  EXPECT_EQ(receivedFor(control, VK_F5), static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(AcceleratorPlayer::instance().translated, 1);

  // The hook goes with the control.
  DestroyWindow(control);
  HWND other = createControl(WS_CHILD | WS_VISIBLE, 0, parent);
  host_.classObjectEntry = nullptr;
  HWND empty = createControl(WS_CHILD | WS_VISIBLE, 0, parent);
  DestroyWindow(other);
  SetFocus(empty);
  EXPECT_EQ(receivedFor(empty, VK_F5), static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(AcceleratorPlayer::instance().translated, 1);
}

TEST_F(HostControlTest, KeysTheStandInPlayerDoesNotTranslateReachIt) {
  HWND control = createControl(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, createParent());
  ASSERT_TRUE(loadMovie(control, writeMovie("keys.swf", "")));
  HWND inner = GetWindow(control, GW_CHILD);
  ASSERT_NE(inner, nullptr);
  SetFocus(inner);
  PostMessageW(inner, WM_KEYDOWN, 'K', 0);
  EXPECT_TRUE(waitTranscript("key down", 2000));
}

}  // namespace
}  // namespace hostcontrol_test
