// Test container for the player DLL: loads it without registration, sites a player in a window
// of its own (windowed or windowless), records the site calls and the events, writes movies.
#pragma once

#include <ocidl.h>
#include <ole2.h>
#include <windows.h>
#include <wrl/client.h>

#include <functional>

#include "MessagePump.h"
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ShockwaveFlash.h"
#include "SwfMovie.h"

using Microsoft::WRL::ComPtr;

namespace player_test {

// Calls vtable slot `slot` of `object` with the given arguments, as a host's early binding does.
template <typename... A>
HRESULT callSlot(IUnknown* object, int slot, A... args) {
  using Fn = HRESULT(STDMETHODCALLTYPE*)(IUnknown*, A...);
  void** vtable = *reinterpret_cast<void***>(object);
  return reinterpret_cast<Fn>(vtable[slot])(object, args...);
}

// Runs the thread's messages until `done` answers true or `ms` pass; answers `done()`.
using lumo::test::pumpFor;
using lumo::test::pumpUntil;

// A new empty folder under the temporary path, removed with its files by the destructor.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  const std::wstring& path() const { return path_; }
  std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

// Writes a movie file; answers its path.
std::wstring writeMovie(const std::wstring& path, const movie::SwfMovie& m);
movie::SwfMovie makeMovie(int width, int height, uint32_t background, const std::string& script = {});
// file:///C:/... for a path.
std::wstring fileUrl(const std::wstring& path);

// The transcript of the players of one test: LUMO_PLAYER_TRANSCRIPT points at a fresh file.
class Transcript {
 public:
  explicit Transcript(const TempFolder& folder);
  ~Transcript();
  std::vector<std::string> lines() const;
  bool has(const std::string& prefix) const;
  // Waits (pumping messages) until a line starts with `prefix`.
  bool waitFor(const std::string& prefix, DWORD ms = 5000) const;

 private:
  std::wstring path_;
};

// An event sink that records every event; FlashCall is answered with `answer` (when set)
// through SetReturnValue on `player`, as a host does.
class EventSink final : public IDispatch {
 public:
  struct Event {
    DISPID id;
    std::vector<std::wstring> args;  // DISPPARAMS order (last argument first)
  };
  std::vector<Event> events;
  std::optional<std::wstring> answer;
  // Answers for the next FlashCalls, first one first; `answer` once they are used up.
  std::vector<std::wstring> answers;
  IShockwaveFlash* player = nullptr;

  int count(DISPID id) const;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                   UINT*) override;

 private:
  ULONG refs_ = 1;
};

// The container: client site, in-place site (windowless when allowed) and frame in one object,
// with a top-level window of its own. Every call the player makes is logged by name.
class TestSite final : public IOleClientSite, public IOleInPlaceSiteWindowless, public IOleInPlaceFrame {
 public:
  explicit TestSite(bool allowWindowless, int width = 200, int height = 150);
  ~TestSite();

  HWND window() const { return window_; }
  std::vector<std::string> calls;
  bool called(const std::string& name) const;
  // The rectangles InvalidateRect asked to repaint (the whole client area for none).
  std::vector<RECT> invalidated;
  bool capture = false;
  bool focus = false;
  // Messages the top-level window received (message ids).
  static std::vector<UINT>& windowMessages();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs_; }  // lives on the test's stack
  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** c) override {
    *c = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
  // IOleWindow
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* w) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  // IOleInPlaceSite(Ex, Windowless)
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override;
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
  HRESULT STDMETHODCALLTYPE OnUIActivate() override;
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                             LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override;
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL) override;
  HRESULT STDMETHODCALLTYPE RequestUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE CanWindowlessActivate() override;
  HRESULT STDMETHODCALLTYPE GetCapture() override { return capture ? S_OK : S_FALSE; }
  HRESULT STDMETHODCALLTYPE SetCapture(BOOL on) override;
  HRESULT STDMETHODCALLTYPE GetFocus() override { return focus ? S_OK : S_FALSE; }
  HRESULT STDMETHODCALLTYPE SetFocus(BOOL on) override;
  HRESULT STDMETHODCALLTYPE GetDC(LPCRECT, DWORD, HDC* dc) override;
  HRESULT STDMETHODCALLTYPE ReleaseDC(HDC dc) override;
  HRESULT STDMETHODCALLTYPE InvalidateRect(LPCRECT, BOOL) override;
  HRESULT STDMETHODCALLTYPE InvalidateRgn(HRGN, BOOL) override;
  HRESULT STDMETHODCALLTYPE ScrollRect(INT, INT, LPCRECT, LPCRECT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE AdjustRect(LPRECT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDefWindowMessage(UINT, WPARAM, LPARAM, LRESULT* r) override {
    if (r) *r = 0;
    return S_OK;
  }
  // IOleInPlaceFrame
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override;
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  ComPtr<IOleInPlaceActiveObject> activeObject;

 private:
  ULONG refs_ = 1;
  bool allowWindowless_;
  HWND window_ = nullptr;
  HDC handedOut_ = nullptr;
};

// The DLL and one player object made through DllGetClassObject, with a sink advised.
class PlayerFixtureBase {
 public:
  PlayerFixtureBase();
  ~PlayerFixtureBase();

  // Sites the player in `site` and in-place activates it over the site's client area.
  HRESULT activate(TestSite& site, LONG verb = OLEIVERB_INPLACEACTIVATE);
  // put_Movie and wait for the transcript's movie line and ReadyState 4.
  bool loadMovie(const std::wstring& url);
  void closePlayer();
  // A container that lives until the player is gone.
  TestSite& makeSite(bool allowWindowless, int width = 200, int height = 150);

  HMODULE library = nullptr;
  ComPtr<IShockwaveFlash> player;
  ComPtr<IConnectionPoint> connection;
  EventSink* sink = nullptr;
  DWORD cookie = 0;
  TempFolder folder;
  std::optional<Transcript> transcript;
  TestSite* sited = nullptr;

 private:
  std::vector<std::unique_ptr<TestSite>> sites_;
};

// A windowed 160 x 120 player running a scripted movie: what the script and input tests share.
class ScriptedPlayerTest : public ::testing::Test, public PlayerFixtureBase {
 protected:
  // Loads a movie with `script` and waits until the transcript has a line holding `until`.
  void run(const std::string& script, const std::string& until = "end") {
    ASSERT_EQ(S_OK, activate(site, OLEIVERB_UIACTIVATE));
    ASSERT_TRUE(loadMovie(writeMovie(folder.file(L"script.swf"), makeMovie(160, 120, 0xFFFFFF, script))));
    ASSERT_TRUE(transcript->waitFor(until)) << "transcript:\n" << dump();
  }
  std::string dump() const {
    std::string all;
    for (const std::string& l : transcript->lines()) all += l + "\n";
    return all;
  }
  TestSite& site = makeSite(/*allowWindowless=*/false, 160, 120);
};

// Colour of pixel (x, y) after `draw` painted into a 32-bit DIB of w x h prefilled with `fill`
// (0x00RRGGBB in, 0x00RRGGBB out).
std::vector<uint32_t> renderPixels(int w, int h, uint32_t fill, const std::function<void(HDC)>& draw);

BSTR bstr(const wchar_t* text);
std::string narrow(const std::wstring& text);

}  // namespace player_test
