// The form: window creation for each window kind, opacity and shape, closing, teardown, and
// the interface operations the command engine and modules call.
#include "forms/Form.h"

#include "bridge/CommandEngine.h"
#include "bridge/MovieCall.h"
#include "bridge/Tokens.h"
#include "bridge/ValueFormat.h"
#include "forms/FormEnvironment.h"
#include "forms/TrayControls.h"
#include "forms/FormEvents.h"
#include "forms/MaskRegion.h"
#include "forms/PlayerCalls.h"
#include "forms/WindowMap.h"
#include "host/HostApi.h"
#include "host/PlayerControl.h"
#include "host/PlayerMessages.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <vector>

namespace lumo {

namespace {

constexpr wchar_t kFormWindowClass[] = L"VORLUMO3WINDOW";
constexpr DWORD kTransparentControlStyle = WS_POPUP | kControlStyleTransparent;
// The player's own window is the control's child: the control paints only around it.
constexpr DWORD kOpaqueControlStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;

}  // namespace

Form::Form(int id, HWND parentWindow, HINSTANCE instance, HWND previewParent)
    : instance_(instance), parentWindow_(parentWindow), previewParent_(previewParent), id_(id) {}

Form::~Form() {
  stopFadeThread();
  if (interceptedWindow_) {
    windowMap::remove(interceptedWindow_);
    if (previousPlayerProc_ && IsWindow(interceptedWindow_))
      SetWindowLongPtrW(interceptedWindow_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousPlayerProc_));
  }
  unregisterResourceHandler();  // it is handed this form, which is going
  if (playerControl_) DestroyWindow(playerControl_);
  if (window_) DestroyWindow(window_);
  auto& engine = CommandEngine::instance();
  if (engine.findForm(id_) == this) engine.removeForm(id_);
}

RECT Form::windowRect() const {
  RECT r{};
  GetWindowRect(window_, &r);
  return r;
}

// --- creation ------------------------------------------------------------------------------

bool Form::createStandard(int x, int y, int width, int height, const record::FormDescription& description,
                          HWND owner, bool child, bool fullScreen) {
  WindowStyles styles = windowStylesFor(styleFlags_, description.popupFrame);
  int windowWidth = width, windowHeight = height;
  if (child) {
    styles = {WS_CHILD | WS_VISIBLE, 0};
  } else if (fullScreen) {
    styles = {WS_POPUP | WS_VISIBLE, 0};
    windowWidth = GetSystemMetrics(SM_CXSCREEN);
    windowHeight = GetSystemMetrics(SM_CYSCREEN);
  } else {
    RECT r{x, y, x + width, y + height};
    AdjustWindowRectEx(&r, styles.style, FALSE, styles.exStyle);
    windowWidth = r.right - r.left;
    windowHeight = r.bottom - r.top;
  }
  if (isMain() && FormEnvironment::instance().showSplash) FormEnvironment::instance().showSplash(*this);
  window_ = CreateWindowExW(styles.exStyle, kFormWindowClass, L"", styles.style | WS_CLIPCHILDREN, x, y, windowWidth,
                            windowHeight, owner, nullptr, instance_, this);
  if (!window_) return false;
  if (styleFlags_.startMaximised) ShowWindow(window_, SW_MAXIMIZE);
  else if (styleFlags_.startMinimised) ShowWindow(window_, SW_SHOWMINIMIZED);

  if (styleFlags_.alphaBlended) {
    const int alpha = fadeInEnabled_ ? 0 : targetAlpha_.load();
    currentAlpha_ = alpha;
    setOpacityValue(alpha);
  }
  if (styleFlags_.shaped && !applyMask(description)) return false;
  UpdateWindow(window_);
  if (styleFlags_.alwaysOnTop) SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  RECT client{};
  GetClientRect(window_, &client);
  playerControl_ = createControlWindow(FormEnvironment::instance().playerModule, 0, kOpaqueControlStyle, 0, 0,
                                       client.right, client.bottom, window_, nullptr, instance_, nullptr);
  if (!playerControl_) return false;
  setWindowMode(playerControl_, L"opaque");
  if (styleFlags_.fixedSize) layoutPlayer();
  return true;
}

bool Form::applyMask(const record::FormDescription& description) {
  const auto picture = description.maskImage();
  if (!picture) return false;
  maskBitmap_.reset(bitmapFromFileBytes(*picture));
  if (!maskBitmap_) return false;
  HRGN region = regionFromBitmap(static_cast<HBITMAP>(maskBitmap_.get()), notBlack);
  if (!region) return false;
  SetWindowRgn(window_, region, TRUE);  // the window owns the region from here
  return true;
}

bool Form::createTransparent(int x, int y, int width, int height, HWND owner) {
  if (!layeredDrawingAvailable()) return false;
  window_ = CreateWindowExW(WS_EX_LAYERED, kFormWindowClass, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, width,
                            height, owner, nullptr, instance_, this);
  if (!window_) return false;
  SetLayeredWindowAttributes(window_, 0, 0, LWA_ALPHA);
  playerControl_ = createControlWindow(FormEnvironment::instance().playerModule, WS_EX_LAYERED,
                                       kTransparentControlStyle, x, y, width, height, window_, nullptr, instance_,
                                       nullptr);
  if (!playerControl_) return false;
  if (isMain() && FormEnvironment::instance().showSplash) FormEnvironment::instance().showSplash(*this);
  UpdateWindow(playerControl_);
  if (styleFlags_.visibleAtStart) {
    ShowWindow(playerControl_, styleFlags_.startMinimised   ? SW_SHOWMINIMIZED
                               : styleFlags_.startMaximised ? SW_SHOWMAXIMIZED
                                                            : SW_SHOW);
  }
  if (styleFlags_.alwaysOnTop)
    SetWindowPos(playerControl_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // A form that fades in starts invisible, as an alpha-blended one does; showing it at its full
  // opacity first would flash it before the fade begins at 0. One that does not starts at its
  // own opacity, from which a fade-out steps down.
  const int alpha = fadeInEnabled_ ? 0 : targetAlpha_.load();
  currentAlpha_ = alpha;
  setOpacityValue(alpha);
  SetFocus(window_);
  return true;
}

void Form::layoutPlayer() {
  if (!playerControl_ || transparent) return;
  RECT client{};
  GetClientRect(window_, &client);
  if (styleFlags_.fixedSize) {
    MoveWindow(playerControl_, client.right / 2 - movieWidth_ / 2, client.bottom / 2 - movieHeight_ / 2, movieWidth_,
               movieHeight_, TRUE);
  } else {
    MoveWindow(playerControl_, 0, 0, client.right, client.bottom, TRUE);
  }
}

bool Form::setOpacityValue(int alpha) {
  if (transparent) return SUCCEEDED(player::setAlpha(playerControl_, static_cast<uint8_t>(alpha)));
  const LONG_PTR ex = GetWindowLongPtrW(window_, GWL_EXSTYLE);
  if (!(ex & WS_EX_LAYERED)) SetWindowLongPtrW(window_, GWL_EXSTYLE, ex | WS_EX_LAYERED);
  return SetLayeredWindowAttributes(window_, 0, static_cast<BYTE>(alpha), LWA_ALPHA) != FALSE;
}

// --- closing -------------------------------------------------------------------------------

void Form::closeWindow() {
  if (!isMain()) {
    hide();
    return;
  }
  if (fadeOutEnabled_) {
    closing_ = true;  // the fade thread hides the window and sets quit
    return;
  }
  quit_ = true;
  ShowWindow(window_, SW_HIDE);
  // The loop checks the flag after a message; make sure one comes.
  PostThreadMessageW(mainThreadId_ ? mainThreadId_ : GetCurrentThreadId(), WM_NULL, 0, 0);
}

void Form::sendScreensaverExit() {
  if (previewParent_) SendMessageW(previewParent_, WM_MOUSEMOVE, 0, 0);
  else if (FormEnvironment::instance().closeScreensaver) FormEnvironment::instance().closeScreensaver();
}

void Form::close() {
  if (isMain()) {
    closeWindow();
    return;
  }
  hide();
  player::noArgument(playerControl_, msg::kStop);
  CommandEngine::instance().removeForm(id_);
}

// --- operations ----------------------------------------------------------------------------

bool Form::isAlwaysOnTop() { return (GetWindowLongPtrW(window_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

bool Form::setShapeFromBitmapKeyed(const std::wstring& path, const std::wstring& keyColour,
                                   const std::wstring& tolerance) {
  UniqueGdiObject bitmap(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  if (!bitmap) return false;
  const long key = toInteger(keyColour);
  const long slack = toInteger(tolerance);
  const auto nearKey = [key, slack](uint32_t colour) {
    for (int shift = 0; shift < 24; shift += 8) {
      const long a = static_cast<long>((colour >> shift) & 0xFF), b = (key >> shift) & 0xFF;
      if (a - b > slack || b - a > slack) return false;
    }
    return true;
  };
  HRGN region =
      regionFromBitmap(static_cast<HBITMAP>(bitmap.get()), [&nearKey](uint32_t colour) { return !nearKey(colour); });
  if (!region) return false;
  SetWindowRgn(window_, region, TRUE);
  return true;
}

bool Form::setShapeFromBitmap(const std::wstring& path) {
  UniqueGdiObject bitmap(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  if (!bitmap) return false;
  HRGN region = regionFromBitmap(static_cast<HBITMAP>(bitmap.get()), notBlack);
  if (!region) return false;
  SetWindowRgn(window_, region, TRUE);
  maskBitmap_ = std::move(bitmap);
  styleFlags_.shaped = true;
  return true;
}

void Form::removeShape() { SetWindowRgn(window_, nullptr, TRUE); }

bool Form::callFunction(const std::wstring& function, const std::wstring& arguments, const std::wstring& separator) {
  return eiReady.load() ? callFunctionXml(function, arguments, separator)
                        : callFunctionVariable(function, arguments, separator);
}

bool Form::callFunctionForwarded(const std::wstring& function, const std::wstring& arguments,
                                 const std::wstring& separator) {
  return callFunction(function, arguments, separator);
}

bool Form::callFunctionXml(const std::wstring& function, const std::wstring& arguments,
                           const std::wstring& separator) {
  uint32_t count = 0;
  return SUCCEEDED(lumo::callFunction(playerControl_, buildXmlMovieCall(function, arguments, separator), nullptr,
                                      &count));
}

bool Form::callFunctionVariable(const std::wstring& function, const std::wstring& arguments,
                                const std::wstring& separator) {
  return SUCCEEDED(player::setVariable(playerControl_, std::wstring(tokens::kCallFunctionVariable),
                                       buildVariableMovieCall(function, arguments, separator)));
}

void Form::setSizeLimits(const std::wstring& maxWidth, const std::wstring& maxHeight, const std::wstring& minWidth,
                         const std::wstring& minHeight) {
  maxWidth_ = static_cast<int>(toInteger(maxWidth));
  maxHeight_ = static_cast<int>(toInteger(maxHeight));
  minWidth_ = static_cast<int>(toInteger(minWidth));
  minHeight_ = static_cast<int>(toInteger(minHeight));
  sizeLimitsSet_ = true;
}

void Form::acceptDroppedFiles() { DragAcceptFiles(window_, TRUE); }
void Form::refuseDroppedFiles() { DragAcceptFiles(window_, FALSE); }

void Form::gotoFrame(const std::wstring& frame) {
  player::putNumber(playerControl_, msg::kGotoFrame, static_cast<int32_t>(toInteger(frame)));
}

void Form::gotoLabel(const std::wstring& target, const std::wstring& label) {
  player::gotoLabel(playerControl_, target, label);
}

void Form::hide() {
  ShowWindow(window_, SW_HIDE);
  ShowWindow(playerControl_, SW_HIDE);
}

void Form::show() {
  ShowWindow(window_, SW_SHOW);
  ShowWindow(playerControl_, SW_SHOW);
}

void Form::setStyleBit(DWORD bit, bool on) {
  const LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
  SetWindowLongPtrW(window_, GWL_STYLE, on ? (style | bit) : (style & ~static_cast<LONG_PTR>(bit)));
  SetWindowPos(window_, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::hideCaption(const std::wstring& hideIt) {
  if (hideIt == L"false") {
    setStyleBit(WS_CAPTION, true);
    // Nudging the window redraws the new frame.
    const RECT r = windowRect();
    MoveWindow(window_, r.left - 1, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    MoveWindow(window_, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
  } else if ((GetWindowLongPtrW(window_, GWL_STYLE) & WS_CAPTION) == WS_CAPTION) {
    setStyleBit(WS_CAPTION, false);
    InvalidateRect(window_, nullptr, TRUE);
  }
}

void Form::maximize() {
  ShowWindow(window_, SW_MAXIMIZE);
  events::formMaximize(*this);
}

void Form::minimize() {
  ShowWindow(window_, SW_SHOWMINIMIZED);
  events::formMinimize(*this);
}

void Form::restore() {
  ShowWindow(window_, SW_RESTORE);
  events::formRestore(*this);
}

void Form::setFocus() { SetFocus(window_); }

void Form::setStatusText(const std::wstring& text) {
  if (statusBar_) SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Form::shake(const std::wstring& count) {
  const RECT r = windowRect();
  const int w = r.right - r.left, h = r.bottom - r.top;
  for (long i = 0; i < toInteger(count); ++i) {
    MoveWindow(window_, r.left + 2, r.top, w, h, TRUE);
    Sleep(10);
    MoveWindow(window_, r.left - 2, r.top, w, h, TRUE);
    Sleep(10);
  }
  MoveWindow(window_, r.left, r.top, w, h, TRUE);
}

std::wstring Form::runModal() {
  auto& environment = FormEnvironment::instance();
  environment.modalResult.clear();
  show();
  MSG message;
  while (IsWindowVisible(window_)) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      // The main loop must see WM_QUIT too.
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return environment.modalResult;
}

void Form::showStatusBar() {
  if (!statusBar_) {
    statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window_, nullptr,
                                 instance_, nullptr);
  }
  if (statusBar_) {
    ShowWindow(statusBar_, SW_SHOW);
    statusBarVisible_ = true;
  }
}

void Form::enableDrag() { dragEnabled_ = dragAllowed_ = true; }
void Form::disableDrag() { dragEnabled_ = dragAllowed_ = false; }

int Form::opacity() {
  if (transparent) return player::getAlpha(playerControl_);
  BYTE alpha = 255;
  DWORD flags = 0;
  if (!GetLayeredWindowAttributes(window_, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA)) return 255;
  return alpha;
}

bool Form::setOpacity(const std::wstring& alpha) {
  return setOpacityValue(std::clamp(static_cast<int>(toInteger(alpha)), 0, 255));
}

void Form::setBasePath(const std::wstring& path) { player::putText(playerControl_, msg::kPutBaseW, path); }

bool Form::trySetBasePath(const std::wstring& path) {
  return SUCCEEDED(player::putText(playerControl_, msg::kPutBaseW, path));
}

void Form::setBackgroundColour(const std::wstring& colour) {
  player::putText(playerControl_, msg::kPutBGColorW, colour);
}

int Form::height() {
  const RECT r = windowRect();
  return r.bottom - r.top;
}

void Form::setHeight(int newHeight) {
  const RECT r = windowRect();
  MoveWindow(window_, r.left, r.top, r.right - r.left, newHeight, TRUE);
}

int Form::width() {
  const RECT r = windowRect();
  return r.right - r.left;
}

void Form::setWidth(int newWidth) {
  const RECT r = windowRect();
  MoveWindow(window_, r.left, r.top, newWidth, r.bottom - r.top, TRUE);
}

int Form::x() { return windowRect().left; }
int Form::y() { return windowRect().top; }

void Form::setX(int newX) {
  const RECT r = windowRect();
  MoveWindow(window_, newX, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void Form::setY(int newY) {
  const RECT r = windowRect();
  MoveWindow(window_, r.left, newY, r.right - r.left, r.bottom - r.top, TRUE);
}

void Form::setTitle(const std::wstring& text) {
  SetWindowTextW(window_, text.c_str());
  title_ = text;
}

void Form::setTitleText(const std::wstring& text) { setTitle(text); }

std::wstring Form::windowText() {
  const int length = GetWindowTextLengthW(window_);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window_, text.data(), length + 1)));
  return text;
}

bool Form::isVisible() { return IsWindowVisible(window_) != FALSE; }

void Form::setVisible(const std::wstring& visible) {
  if (visible == L"true") show();
  else hide();
}

std::wstring Form::windowState() {
  if (IsZoomed(window_)) return L"max";
  if (IsIconic(window_)) return L"min";
  return L"nor";
}

void Form::setMaximizeBox(bool on) { setStyleBit(WS_MAXIMIZEBOX, on); }
void Form::setMinimizeBox(bool on) { setStyleBit(WS_MINIMIZEBOX, on); }
void Form::setSystemMenu(bool on) { setStyleBit(WS_SYSMENU, on); }

void Form::setBorderStyle(const std::wstring& style) {
  struct Word {
    const wchar_t* word;
    BorderStyle border;
  };
  static constexpr Word kWords[] = {{L"standard", BorderStyle::standard},     {L"sizeablestandard", BorderStyle::sizeable},
                                    {L"tool", BorderStyle::tool},             {L"sizeabletool", BorderStyle::sizeableTool},
                                    {L"dialog", BorderStyle::dialog},         {L"noborder", BorderStyle::noBorder}};
  for (const Word& w : kWords) {
    if (style != w.word) continue;
    StyleFlags flags = styleFlags_;
    flags.border = w.border;
    flags.startMinimised = flags.startMaximised = flags.visibleAtStart = false;
    const WindowStyles styles = windowStylesFor(flags, false);
    const LONG_PTR keep = GetWindowLongPtrW(window_, GWL_STYLE) & (WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
    SetWindowLongPtrW(window_, GWL_STYLE, static_cast<LONG_PTR>(styles.style) | keep);
    const LONG_PTR ex = GetWindowLongPtrW(window_, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_TOOLWINDOW);
    SetWindowLongPtrW(window_, GWL_EXSTYLE, ex | static_cast<LONG_PTR>(styles.exStyle));
    SetWindowPos(window_, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    styleFlags_.border = w.border;
    return;
  }
}

void Form::setButtonMode(int& field, const std::wstring& mode) {
  if (mode == L"send") field = 0;
  else if (mode == L"ignore") field = 1;
  else if (mode == L"drag") field = 2;
}

void Form::setLeftButtonMode(const std::wstring& mode) { setButtonMode(leftButtonMode_, mode); }
void Form::setMiddleButtonMode(const std::wstring& mode) { setButtonMode(middleButtonMode_, mode); }
void Form::setRightButtonMode(const std::wstring& mode) { setButtonMode(rightButtonMode_, mode); }

bool Form::setVariable(const std::wstring& name, const std::wstring& value) {
  return SUCCEEDED(player::setVariable(playerControl_, name, value));
}

bool Form::setMovieVariable(const std::wstring& name, const std::wstring& value) { return setVariable(name, value); }

void Form::setScaleMode(int mode) { player::putNumber(playerControl_, msg::kPutScaleMode, mode); }
void Form::setAlignMode(int mode) { player::putNumber(playerControl_, msg::kPutAlignMode, mode); }

std::wstring Form::getVariable(const std::wstring& name) { return player::getVariable(playerControl_, name); }

void Form::loadMovie(int level, const std::wstring& url) { player::loadMovie(playerControl_, level, url); }

// --- the tray icon: one per process, held by the application ----------------------------------

void Form::hideTrayIcon() {
  if (TrayControls* tray = FormEnvironment::instance().tray) tray->hideIcon();
}

void Form::setTrayIcon(const std::wstring& iconPath) {
  if (TrayControls* tray = FormEnvironment::instance().tray) tray->setIcon(iconPath);
}

void Form::showTrayBalloon(const std::wstring& title, const std::wstring& text, const std::wstring& iconType,
                           const std::wstring& timeout, const std::wstring& clickFunction) {
  if (TrayControls* tray = FormEnvironment::instance().tray) tray->showBalloon(title, text, iconType, timeout, clickFunction);
}

void Form::showTrayIcon() {
  if (TrayControls* tray = FormEnvironment::instance().tray) tray->showIcon();
}

void Form::setTrayHint(const std::wstring& text) {
  if (TrayControls* tray = FormEnvironment::instance().tray) tray->setHint(text);
}

}  // namespace lumo
