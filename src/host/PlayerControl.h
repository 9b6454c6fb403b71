// One player control: the window that hosts one player instance, answers the private messages,
// raises the notifications and feeds the event listener; the container side is ControlSite.
#pragma once

#include <windows.h>
#include <wrl/client.h>

#include <memory>
#include <mutex>

#include "ShockwaveFlash.h"
#include "host/ControlScripting.h"
#include "host/ControlSite.h"
#include "host/FrameSurfaces.h"
#include "host/PlayerControlHost.h"
#include "host/PlayerMessages.h"
#include "UniqueHandle.h"

namespace lumo {

class ExecutableStub;
class PlayerModule;

// Private style bits of a control window.
inline constexpr DWORD kControlStyleTransparent = 0x1;
inline constexpr DWORD kControlStyleWantAllKeys = 0x2;

class PlayerControl final : public ControlSite {
 public:
  // The procedure of the player module's control classes, reached through the module's stub
  // with the module as first argument.
  static LRESULT CALLBACK moduleProcedure(PlayerModule* module, HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam);
  // The same procedure for a host given directly; `host` is read only at WM_CREATE.
  static LRESULT windowProcedure(const PlayerControlHost& host, HWND window, UINT message, WPARAM wParam,
                                 LPARAM lParam);
  // The control of a control window, or null (before WM_CREATE, after WM_NCDESTROY).
  static PlayerControl* fromWindow(HWND window);

  HWND window() const { return window_; }
  bool transparent() const { return transparent_; }
  bool hasPlayer() const { return player_ != nullptr; }
  bool windowless() const { return windowless_; }
  bool inPlaceActive() const { return inPlaceActive_; }
  uint16_t contextMenuFlag() const { return contextMenu_; }
  uint8_t constantAlpha() const { return alpha_; }

 private:
  PlayerControl(HWND window, const PlayerControlHost& host);
  ~PlayerControl() override;

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void createPlayer(const CREATESTRUCTW& create);
  void releasePlayer();
  void onSize(int width, int height);
  void onSetFocus();
  LRESULT onMouseActivate(WPARAM wParam, LPARAM lParam);
  // The colour a control paints where no windowless player draws.
  static constexpr COLORREF kUncoveredColour = 0x000000FF;
  void paintWithoutWindowlessPlayer();
  // Painting and input of a windowless player (transparent rendering); false leaves the
  // message to the default handling.
  bool windowlessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  bool paintLayered(LRESULT* result);
  bool paintLayeredWithoutUpdate(LRESULT* result);
  bool paintChild(LRESULT* result);
  // Renders the player over white and over black into the surfaces and composes `update`.
  bool renderTwoPasses(HDC memory, const RECT& update);
  // The whole client area rendered and composed; a copy of the result the caller owns.
  HBITMAP captureTransparentFrame();
  bool forwardMouse(UINT message, WPARAM wParam, LPARAM lParam);
  bool forwardKey(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  HRESULT toPlayer(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  COLORREF backgroundColour() const;
  void drawStage(HDC dc, int32_t stage);
  void frameReady();
  IShockwaveFlash* scripting() const { return generations_[8 - 3].Get(); }

  // Private messages 0x1401 to 0x140F, one member each (see kControlMessages).
  struct ControlMessage {
    UINT message;
    LRESULT (PlayerControl::*run)(void* record);
  };
  static const ControlMessage kControlMessages[];
  LRESULT queryPlayer(void* record);
  LRESULT putMovieFromMemory(void* record);
  LRESULT loadMovieFromMemory(void* record);
  LRESULT captureFrame(void* record);
  LRESULT setContextMenu(void* record);
  LRESULT getContextMenu(void* record);
  LRESULT setAlpha(void* record);
  LRESULT getAlpha(void* record);
  LRESULT putMovieFromStream(void* record);
  LRESULT loadMovieFromStream(void* record);
  LRESULT callFunction(void* record);
  LRESULT setReturnValueA(void* record);
  LRESULT setReturnValueW(void* record);
  HRESULT startMemoryMovie(int layer, IStream** writer);
  HRESULT loadMovieUrl(int layer, const wchar_t* url);
  HRESULT startMemoryMovie(int layer, const void* data, size_t size);
  HRESULT setReturnValue(BSTR value, LRESULT* handled);

  // Registered messages.
  LRESULT setEventListener(const EventListenerRecord* record);
  LRESULT loadExternalResource(ExternalResourceRecord* record);

  // Notifications: WM_NOTIFY to the parent (when there is one), then the listener.
  void notify(UINT code, NMHDR* header);
  HRESULT raiseEvent(DISPID id, DISPPARAMS* params) override;
  void playerInvalidated(const RECT& rect) override;

  // The keyboard-accelerator hook on the creating thread, reached through a stub.
  static LRESULT CALLBACK messageHook(PlayerControl* control, int code, WPARAM wParam, LPARAM lParam);
  bool playerHasFocus() const;

  PlayerControlHost host_;
  bool transparent_ = false;
  bool destroyed_ = false;
  bool hasFocus_ = false;
  uint8_t alpha_ = 255;
  using UpdateLayeredWindowEntry = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*,
                                                 DWORD);
  UpdateLayeredWindowEntry updateLayeredWindow_ = nullptr;  // taken from user32 at creation
  FrameSurfaces surfaces_;
  uint16_t contextMenu_ = 0;

  GenerationPointers generations_;
  Microsoft::WRL::ComPtr<IConnectionPoint> eventPoint_;
  DWORD eventCookie_ = 0;
  bool sinkConnected_ = false;

  // The event listener, read and called under the control's lock.
  std::recursive_mutex listenerLock_;
  PlayerEventListener listener_ = nullptr;
  void* listenerData_ = nullptr;

  UINT setListenerMessage_ = 0;
  UINT externalResourceMessage_ = 0;
  UINT objectPointerMessage_ = 0;

  std::unique_ptr<ExecutableStub> hookStub_;
  UniqueHook hook_;
};

}  // namespace lumo
