// The form as the command engine, the runtime modules and extension libraries see it: an
// abstract interface whose operation order is a binary contract with extension libraries.
// Part of the extension SDK: the runtime and every extension library compile this same file.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <string>

namespace lumo {

// Do not reorder, insert or overload: extension libraries call these by their vtable slot.
// Each operation's comment gives its number in the contract (the destructor comes first).
// Bool texts are "true" or "false"; number texts are read by the form.
class FormInterface {
 public:
  virtual ~FormInterface() = default;

  virtual int id() const = 0;                                                        // 1
  virtual HWND windowHandle() const = 0;                                             // 2
  virtual HINSTANCE instanceHandle() const = 0;                                      // 3
  virtual HWND playerControlHandle() const = 0;                                      // 4
  virtual bool isAlwaysOnTop() = 0;                                                  // 5
  virtual std::wstring titleText() = 0;                                              // 6
  virtual bool setShapeFromBitmapKeyed(const std::wstring& path, const std::wstring& keyColour,
                                       const std::wstring& tolerance) = 0;           // 7
  // Chooses the XML call for an EI-ready form, the call variable otherwise.
  virtual bool callFunction(const std::wstring& function, const std::wstring& arguments,
                            const std::wstring& separator) = 0;                      // 8
  virtual bool callFunctionForwarded(const std::wstring& function, const std::wstring& arguments,
                                     const std::wstring& separator) = 0;             // 9
  virtual void setSizeLimits(const std::wstring& maxWidth, const std::wstring& maxHeight,
                             const std::wstring& minWidth,
                             const std::wstring& minHeight) = 0;                     // 10
  virtual void acceptDroppedFiles() = 0;                                             // 11
  virtual void refuseDroppedFiles() = 0;                                             // 12
  virtual void gotoFrame(const std::wstring& frame) = 0;                             // 13
  virtual void gotoLabel(const std::wstring& target, const std::wstring& label) = 0; // 14
  virtual void hide() = 0;                                                           // 15
  virtual void removeShape() = 0;                                                    // 16
  virtual void hideCaption(const std::wstring& hide) = 0;                            // 17
  virtual void maximize() = 0;                                                       // 18
  virtual void minimize() = 0;                                                       // 19
  virtual void restore() = 0;                                                        // 20
  virtual void setFocus() = 0;                                                       // 21
  virtual void setStatusText(const std::wstring& text) = 0;                          // 22
  virtual void shake(const std::wstring& count) = 0;                                 // 23
  virtual void show() = 0;                                                           // 24
  virtual void reserved25() = 0;                                                     // 25
  virtual void reserved26() = 0;                                                     // 26
  virtual bool setShapeFromBitmap(const std::wstring& path) = 0;                     // 27
  virtual std::wstring runModal() = 0;                                               // 28
  virtual void showStatusBar() = 0;                                                  // 29
  virtual void enableDrag() = 0;                                                     // 30
  virtual void disableDrag() = 0;                                                    // 31
  virtual int opacity() = 0;                                                         // 32
  virtual bool setOpacity(const std::wstring& alpha) = 0;                            // 33
  virtual void setBasePath(const std::wstring& path) = 0;                            // 34
  virtual void setBackgroundColour(const std::wstring& colour) = 0;                  // 35
  virtual int height() = 0;                                                          // 36
  virtual void setHeight(int height) = 0;                                            // 37
  virtual bool reserved38() = 0;                                                     // 38
  virtual void setTitle(const std::wstring& title) = 0;                              // 39
  virtual void setTitleText(const std::wstring& title) = 0;                          // 40
  virtual std::wstring windowText() = 0;                                             // 41
  virtual bool isVisible() = 0;                                                      // 42
  virtual void setVisible(const std::wstring& visible) = 0;                          // 43
  virtual int width() = 0;                                                           // 44
  virtual void setWidth(int width) = 0;                                              // 45
  virtual std::wstring windowState() = 0;                                            // 46
  virtual int x() = 0;                                                               // 47
  virtual void setX(int x) = 0;                                                      // 48
  virtual int y() = 0;                                                               // 49
  virtual void setY(int y) = 0;                                                      // 50
  virtual void setMaximizeBox(bool on) = 0;                                          // 51
  virtual void setMinimizeBox(bool on) = 0;                                          // 52
  virtual void setSystemMenu(bool on) = 0;                                           // 53
  virtual void close() = 0;                                                          // 54
  virtual void setBorderStyle(const std::wstring& style) = 0;                        // 55
  virtual void reserved56() = 0;                                                     // 56
  virtual void setLeftButtonMode(const std::wstring& mode) = 0;                      // 57
  virtual void setMiddleButtonMode(const std::wstring& mode) = 0;                    // 58
  virtual void setRightButtonMode(const std::wstring& mode) = 0;                     // 59
  virtual bool setVariable(const std::wstring& name, const std::wstring& value) = 0; // 60
  virtual void setScaleMode(int mode) = 0;                                           // 61
  virtual void setAlignMode(int mode) = 0;                                           // 62
  virtual std::wstring getVariable(const std::wstring& name) = 0;                    // 63
  virtual void loadMovie(int level, const std::wstring& url) = 0;                    // 64
  virtual bool trySetBasePath(const std::wstring& path) = 0;                         // 65
  virtual bool setMovieVariable(const std::wstring& name,
                                const std::wstring& value) = 0;                      // 66
  virtual void enableExitHandler() = 0;                                              // 67

  virtual void addMainMenuSeparator(const std::wstring& menu) = 0;                   // 68
  virtual void addMainMenu(const std::wstring& menu) = 0;                            // 69
  virtual void addMainMenuItem(const std::wstring& menu, const std::wstring& item) = 0;  // 70
  virtual void setMainMenuItemChecked(const std::wstring& menu, const std::wstring& item,
                                      bool checked) = 0;                             // 71
  virtual void setMainMenuItemEnabled(const std::wstring& menu, const std::wstring& item,
                                      bool enabled) = 0;                             // 72
  virtual void setMainMenuItemVisible(const std::wstring& menu, const std::wstring& item,
                                      bool visible) = 0;                             // 73
  virtual void removeMainMenu(const std::wstring& menu) = 0;                         // 74
  virtual void removeMainMenuItem(const std::wstring& menu, const std::wstring& item) = 0;  // 75
  virtual void setMainMenuType(const std::wstring& type) = 0;                        // 76
  virtual void hideTrayIcon() = 0;                                                   // 77
  virtual void addTrayMenuSeparator() = 0;                                           // 78
  virtual void addTrayMenuItem(const std::wstring& item) = 0;                        // 79
  virtual void setTrayMenuItemChecked(const std::wstring& item, bool checked) = 0;   // 80
  virtual void setTrayMenuItemEnabled(const std::wstring& item, bool enabled) = 0;   // 81
  virtual void setTrayMenuItemVisible(const std::wstring& item, bool visible) = 0;   // 82
  virtual void removeTrayMenuItem(const std::wstring& item) = 0;                     // 83
  virtual void setTrayIcon(const std::wstring& iconPath) = 0;                        // 84
  virtual void showTrayBalloon(const std::wstring& title, const std::wstring& text,
                               const std::wstring& iconType, const std::wstring& timeout,
                               const std::wstring& clickFunction) = 0;               // 85
  virtual void showTrayIcon() = 0;                                                   // 86
  virtual void setTrayMenuType(const std::wstring& type) = 0;                        // 87
  virtual void setTrayHint(const std::wstring& hint) = 0;                            // 88
  virtual void disableContextMenu() = 0;                                             // 89
  virtual void enableContextMenu() = 0;                                              // 90
  virtual void addContextMenuSeparator() = 0;                                        // 91
  virtual void addContextMenuItem(const std::wstring& item) = 0;                     // 92
  virtual void setContextMenuItemChecked(const std::wstring& item, bool checked) = 0;  // 93
  virtual void setContextMenuItemEnabled(const std::wstring& item, bool enabled) = 0;  // 94
  virtual void setContextMenuItemVisible(const std::wstring& item, bool visible) = 0;  // 95
  virtual void removeContextMenuItem(const std::wstring& item) = 0;                  // 96
  virtual void setContextMenuType(const std::wstring& type) = 0;                     // 97
  virtual std::wstring getAppMenuSetting1() = 0;                                     // 98
  virtual void setAppMenuSetting1(const std::wstring& value) = 0;                    // 99
  virtual std::wstring getAppMenuSetting2() = 0;                                     // 100
  virtual void setAppMenuSetting2(const std::wstring& value) = 0;                    // 101
  virtual void setCloseOnMouse(bool on) = 0;                                         // 102
  virtual void setCloseOnKey(bool on) = 0;                                           // 103
  virtual bool callFunctionXml(const std::wstring& function, const std::wstring& arguments,
                               const std::wstring& separator) = 0;                   // 104
  virtual bool callFunctionVariable(const std::wstring& function, const std::wstring& arguments,
                                    const std::wstring& separator) = 0;              // 105

  // Set by "vor.flash9ready" on the main thread; read also by timer and poll threads.
  std::atomic<bool> eiReady{false};
  bool transparent = false;
  std::wstring name;
  std::wstring mainMenuType = L"normal";  // operation 76
  std::wstring trayMenuType;              // operation 87
};

// The data after the vtable pointer, checked wherever this header is compiled.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(offsetof(FormInterface, eiReady) == sizeof(void*), "the fields follow the vtable pointer");
static_assert(offsetof(FormInterface, transparent) == offsetof(FormInterface, eiReady) + 1);
static_assert(offsetof(FormInterface, name) == 2 * sizeof(void*));
static_assert(offsetof(FormInterface, mainMenuType) == offsetof(FormInterface, name) + sizeof(std::wstring));
static_assert(offsetof(FormInterface, trayMenuType) == offsetof(FormInterface, mainMenuType) + sizeof(std::wstring));
#pragma GCC diagnostic pop

}  // namespace lumo
