// A form: one top-level window with one player control playing one movie. Creation and the
// interface operations live in Form.cpp, start and fades in FormStart.cpp, the window
// procedures in FormWindowProcedure.cpp and PlayerWindowProcedure.cpp.
#pragma once

#include "ProjectSettings.h"
#include "lumo/FormInterface.h"
#include "forms/FormMainMenu.h"
#include "forms/FormStyles.h"
#include "UniqueHandle.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace lumo {

class Form final : public FormInterface {
 public:
  Form(int id, HWND parentWindow, HINSTANCE instance, HWND previewParent);
  ~Form() override;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Thread, geometry, window, player control and movie; false when the form cannot run.
  bool start(HINSTANCE instance, record::FormDescription& description, const std::wstring& privateTempFolder);
  // Global variables for the player, given before start.
  void setFlashVars(std::wstring flashVars) { flashVars_ = std::move(flashVars); }
  // Escape, close box, Alt+F4: hides another form; ends the process for the main form.
  void closeWindow();
  bool quit() const { return quit_.load(); }
  bool isMain() const { return id_ == 0; }
  bool setOpacityValue(int alpha);
  // The window the player draws in (the control for a transparent form).
  HWND interceptedWindow() const { return interceptedWindow_; }
  // The next menu command id of this form (the main form's also numbers the tray and
  // context items, so no two menus of its window share an id).
  UINT takeMenuCommandId() { return mainMenu_.takeCommandId(); }
  // A menu pick (WM_COMMAND) at this form: false when the id is no menu item's.
  bool dispatchMenuCommand(WORD commandId);

  // --- FormInterface ---
  int id() const override { return id_; }
  HWND windowHandle() const override { return window_; }
  HINSTANCE instanceHandle() const override { return instance_; }
  HWND playerControlHandle() const override { return playerControl_; }
  bool isAlwaysOnTop() override;
  std::wstring titleText() override { return title_; }
  bool setShapeFromBitmapKeyed(const std::wstring& path, const std::wstring& keyColour,
                               const std::wstring& tolerance) override;
  bool callFunction(const std::wstring& function, const std::wstring& arguments,
                    const std::wstring& separator) override;
  bool callFunctionForwarded(const std::wstring& function, const std::wstring& arguments,
                             const std::wstring& separator) override;
  void setSizeLimits(const std::wstring& maxWidth, const std::wstring& maxHeight, const std::wstring& minWidth,
                     const std::wstring& minHeight) override;
  void acceptDroppedFiles() override;
  void refuseDroppedFiles() override;
  void gotoFrame(const std::wstring& frame) override;
  void gotoLabel(const std::wstring& target, const std::wstring& label) override;
  void hide() override;
  void removeShape() override;
  void hideCaption(const std::wstring& hide) override;
  void maximize() override;
  void minimize() override;
  void restore() override;
  void setFocus() override;
  void setStatusText(const std::wstring& text) override;
  void shake(const std::wstring& count) override;
  void show() override;
  void reserved25() override {}
  void reserved26() override {}
  bool setShapeFromBitmap(const std::wstring& path) override;
  std::wstring runModal() override;
  void showStatusBar() override;
  void enableDrag() override;
  void disableDrag() override;
  int opacity() override;
  bool setOpacity(const std::wstring& alpha) override;
  void setBasePath(const std::wstring& path) override;
  void setBackgroundColour(const std::wstring& colour) override;
  int height() override;
  void setHeight(int height) override;
  bool reserved38() override { return false; }
  void setTitle(const std::wstring& title) override;
  void setTitleText(const std::wstring& title) override;
  std::wstring windowText() override;
  bool isVisible() override;
  void setVisible(const std::wstring& visible) override;
  int width() override;
  void setWidth(int width) override;
  std::wstring windowState() override;
  int x() override;
  void setX(int x) override;
  int y() override;
  void setY(int y) override;
  void setMaximizeBox(bool on) override;
  void setMinimizeBox(bool on) override;
  void setSystemMenu(bool on) override;
  void close() override;
  void setBorderStyle(const std::wstring& style) override;
  void reserved56() override {}
  void setLeftButtonMode(const std::wstring& mode) override;
  void setMiddleButtonMode(const std::wstring& mode) override;
  void setRightButtonMode(const std::wstring& mode) override;
  bool setVariable(const std::wstring& name, const std::wstring& value) override;
  void setScaleMode(int mode) override;
  void setAlignMode(int mode) override;
  std::wstring getVariable(const std::wstring& name) override;
  void loadMovie(int level, const std::wstring& url) override;
  bool trySetBasePath(const std::wstring& path) override;
  bool setMovieVariable(const std::wstring& name, const std::wstring& value) override;
  void enableExitHandler() override { exitHandlerEnabled_ = true; }

  // Menus: the main menu is the form's own; tray and context menus and the application menu
  // settings belong to the application (FormEnvironment::menus).
  void addMainMenuSeparator(const std::wstring& menu) override;
  void addMainMenu(const std::wstring& menu) override;
  void addMainMenuItem(const std::wstring& menu, const std::wstring& item) override;
  void setMainMenuItemChecked(const std::wstring& menu, const std::wstring& item, bool on) override;
  void setMainMenuItemEnabled(const std::wstring& menu, const std::wstring& item, bool on) override;
  void setMainMenuItemVisible(const std::wstring& menu, const std::wstring& item, bool on) override;
  void removeMainMenu(const std::wstring& menu) override;
  void removeMainMenuItem(const std::wstring& menu, const std::wstring& item) override;
  void setMainMenuType(const std::wstring& type) override;
  void hideTrayIcon() override;
  void addTrayMenuSeparator() override;
  void addTrayMenuItem(const std::wstring& item) override;
  void setTrayMenuItemChecked(const std::wstring& item, bool on) override;
  void setTrayMenuItemEnabled(const std::wstring& item, bool on) override;
  void setTrayMenuItemVisible(const std::wstring& item, bool on) override;
  void removeTrayMenuItem(const std::wstring& item) override;
  void setTrayIcon(const std::wstring& iconPath) override;
  void showTrayBalloon(const std::wstring& title, const std::wstring& text, const std::wstring& iconType,
                       const std::wstring& timeout, const std::wstring& clickFunction) override;
  void showTrayIcon() override;
  void setTrayMenuType(const std::wstring& type) override;
  void setTrayHint(const std::wstring& text) override;
  void disableContextMenu() override;
  void enableContextMenu() override;
  void addContextMenuSeparator() override;
  void addContextMenuItem(const std::wstring& item) override;
  void setContextMenuItemChecked(const std::wstring& item, bool on) override;
  void setContextMenuItemEnabled(const std::wstring& item, bool on) override;
  void setContextMenuItemVisible(const std::wstring& item, bool on) override;
  void removeContextMenuItem(const std::wstring& item) override;
  void setContextMenuType(const std::wstring& type) override;
  std::wstring getAppMenuSetting1() override;
  void setAppMenuSetting1(const std::wstring& value) override;
  std::wstring getAppMenuSetting2() override;
  void setAppMenuSetting2(const std::wstring& value) override;
  void setCloseOnMouse(bool on) override { closeOnMouse_ = on; }
  void setCloseOnKey(bool on) override { closeOnKey_ = on; }

  bool callFunctionXml(const std::wstring& function, const std::wstring& arguments,
                       const std::wstring& separator) override;
  bool callFunctionVariable(const std::wstring& function, const std::wstring& arguments,
                            const std::wstring& separator) override;

 private:
  friend class FormWindowProcedure;
  friend class PlayerWindowProcedure;

  bool createStandard(int x, int y, int width, int height, const record::FormDescription& description,
                      HWND owner, bool child, bool fullScreen);
  bool createTransparent(int x, int y, int width, int height, HWND owner);
  bool applyMask(const record::FormDescription& description);
  bool playsPreviewMovie(const record::FormDescription& description) const;
  bool startMovie(record::FormDescription& description, const std::wstring& privateTempFolder);
  bool startBridgeMovie(const record::FormDescription& description, const std::wstring& privateTempFolder);
  void setScaleModeFromFlags();
  void registerResourceHandler();
  void unregisterResourceHandler();
  void interceptPlayerWindow();
  void layoutPlayer();
  void stopFadeThread();
  // The screensaver's exit notification: to the preview parent when there is one, else the
  // application's screensaver close.
  void sendScreensaverExit();
  static DWORD WINAPI fadeThreadMain(LPVOID form);
  void fadeLoop();
  void setButtonMode(int& field, const std::wstring& mode);
  void setStyleBit(DWORD bit, bool on);
  RECT windowRect() const;

  HWND window_ = nullptr;
  HWND playerControl_ = nullptr;
  HWND interceptedWindow_ = nullptr;
  WNDPROC previousPlayerProc_ = nullptr;
  HINSTANCE instance_ = nullptr;
  HWND parentWindow_ = nullptr;
  HWND previewParent_ = nullptr;
  int id_ = 0;

  bool escapeCloses_ = true;
  bool altF4Closes_ = true;
  StyleFlags styleFlags_;
  std::atomic<bool> fadeInEnabled_{false};
  std::atomic<bool> fadeOutEnabled_{false};
  std::atomic<uint32_t> fadeStepMs_{1};
  std::atomic<int> targetAlpha_{0};
  std::atomic<int> currentAlpha_{0};
  std::atomic<bool> started_{false};
  std::atomic<bool> closing_{false};
  std::atomic<bool> quit_{false};
  UniqueKernelHandle thread_;
  DWORD threadId_ = 0;
  UniqueKernelHandle quitEvent_;
  DWORD mainThreadId_ = 0;

  UniqueGdiObject maskBitmap_;
  HWND statusBar_ = nullptr;
  bool statusBarVisible_ = false;
  bool dragEnabled_ = false;
  bool dragAllowed_ = false;
  bool dragging_ = false;
  POINT dragStart_{};
  POINT dragWindowStart_{};
  bool exitHandlerEnabled_ = false;
  int leftButtonMode_ = 1;
  int middleButtonMode_ = 1;
  int rightButtonMode_ = 1;
  bool isPreview_ = false;
  bool movieLoaded_ = false;
  int movieWidth_ = 0;
  int movieHeight_ = 0;
  int backgroundColour_ = 0;
  std::wstring title_;
  std::wstring contextMenuType_ = L"normal";
  // The three menu types may be set from the command poll thread while a pick reads them.
  mutable std::mutex menuTypesMutex_;
  FormMainMenu mainMenu_;
  std::wstring flashVars_;

  bool sizeLimitsSet_ = false;
  bool clampingSize_ = false;  // inside the MoveWindow of a WM_SIZE clamp
  int resourceHandlerId_ = 0;  // 0: none registered
  int minWidth_ = 0, minHeight_ = 0, maxWidth_ = 0, maxHeight_ = 0;
  bool closeOnKey_ = false;
  bool closeOnMouse_ = true;
  POINT mouseStart_{};
  bool modalDone_ = false;
};

}  // namespace lumo
