// Starting a form: fade thread, geometry and flags from the description, the window, the
// player window's interception and the movie (from memory, or through the bridge files).
#include "forms/Form.h"
#include "util/DebugOutput.h"
#include "util/FileSystem.h"

#include "CallBoundary.h"

#include "forms/FormEnvironment.h"
#include "forms/PlayerCalls.h"
#include "forms/PlayerWindowProcedure.h"
#include "forms/WindowMap.h"
#include "host/HostApi.h"
#include "host/MovieStreams.h"
#include "host/PlayerMessages.h"
#include "host/PlayerModule.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <utility>
#include <vector>

namespace lumo {

namespace {

constexpr int kBridgeResource = 137;
constexpr std::string_view kFormIdPlaceholder = "!}id}!";

std::wstring fileName(const std::wstring& folder, const wchar_t* format, int formId) {
  wchar_t name[32];
  std::swprintf(name, 32, format, formId + 1);
  return folder + L"\\" + name;
}

void trace(const std::wstring& line) { debugOutput(line); }

}  // namespace

bool Form::start(HINSTANCE instance, record::FormDescription& description, const std::wstring& privateTempFolder) {
  instance_ = instance;
  mainThreadId_ = GetCurrentThreadId();
  // Each form has its own quit event: a form torn down early (a run-time form that fails to
  // start) must not end the main form's fade-out, which ends the process.
  quitEvent_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!quitEvent_) return false;  // a fade thread without it could never be stopped
  thread_.reset(CreateThread(nullptr, 0, &Form::fadeThreadMain, this, 0, &threadId_));
  if (!thread_) return false;
  name = description.name;

  const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  int width = valueInUnit(description.width, description.sizeUnit, screenWidth);
  int height = valueInUnit(description.height, description.sizeUnit, screenHeight);
  // Centring uses the size in pixels, so a percent-sized form is centred too.
  int x = description.centred ? centredEdge(screenWidth, width)
                              : valueInUnit(description.x, description.positionUnit, screenWidth);
  int y = description.centred ? centredEdge(screenHeight, height)
                              : valueInUnit(description.y, description.positionUnit, screenHeight);

  styleFlags_.maximiseBox = description.maximizeBox;
  styleFlags_.minimiseBox = description.minimizeBox;
  styleFlags_.systemMenu = description.systemMenu;
  styleFlags_.border = borderFromDescription(description.borderStyle);
  styleFlags_.startMinimised = description.startState == 1;
  styleFlags_.startMaximised = description.startState == 2;
  escapeCloses_ = description.escapeCloses;
  altF4Closes_ = description.altF4Closes;
  styleFlags_.visibleAtStart = description.visibleAtStart;
  styleFlags_.alwaysOnTop = description.alwaysOnTop;
  styleFlags_.scaleEnabled = description.scaleEnabled;
  styleFlags_.scaleShowAll = description.scaleShowAll;
  if (description.fixedMovieSize) {
    styleFlags_.fixedSize = true;
    movieWidth_ = description.movieWidth;
    movieHeight_ = description.movieHeight;
    backgroundColour_ = description.backgroundColour;
  }
  styleFlags_.alphaBlended = description.windowKind == 1;
  styleFlags_.shaped = description.windowKind == 2;
  transparent = description.windowKind == 3;

  const bool canFade = styleFlags_.alphaBlended || transparent;
  fadeInEnabled_ = canFade && description.fadeIn == 1;
  fadeOutEnabled_ = canFade && description.fadeOut == 1;
  // A step of 0 ms would divide by zero: the fastest fade is one step a millisecond.
  fadeStepMs_ = static_cast<uint32_t>(std::max<std::int32_t>(description.fadeStepMs, 1));
  // The opacity is a byte: 300 shows as 255, not as 300's low byte.
  targetAlpha_ = std::clamp<std::int32_t>(description.alpha, 0, 255);
  leftButtonMode_ = description.leftButtonMode;
  middleButtonMode_ = description.middleButtonMode;
  rightButtonMode_ = description.rightButtonMode;

  HWND owner = isMain() ? nullptr : parentWindow_;
  bool child = false, fullScreen = false;
  const FormEnvironment& environment = FormEnvironment::instance();
  if (isMain() && environment.screensaverMode && previewParent_) {
    RECT r{};
    GetClientRect(previewParent_, &r);
    isPreview_ = !(r.right == screenWidth && r.bottom == screenHeight);
    x = y = 0;
    width = r.right - r.left;
    height = r.bottom - r.top;
    owner = previewParent_;
    child = true;
  } else if (isMain() && environment.kioskMode) {
    // The whole screen from its origin, wherever the description placed the form.
    fullScreen = true;
    x = y = 0;
  }

  const bool created = transparent ? createTransparent(x, y, width, height, owner)
                                   : createStandard(x, y, width, height, description, owner, child, fullScreen);
  bool ok = created;
  if (created) {
    registerResourceHandler();
    interceptPlayerWindow();
    movieLoaded_ = true;
    player::setContextMenu(playerControl_, 1);
    setTitle(description.windowTitle);
    if (!flashVars_.empty()) player::putText(playerControl_, msg::kPutFlashVarsW, flashVars_);
    ok = startMovie(description, privateTempFolder);
  }
  if (ok) started_ = true;
  return ok;
}

void Form::registerResourceHandler() {
  const FormEnvironment& environment = FormEnvironment::instance();
  if (!environment.playerModule || !environment.resourceHandler) return;
  if (auto* streams = dynamic_cast<MovieStreams*>(&environment.playerModule->streams()))
    resourceHandlerId_ = streams->registerResourceHandler(nullptr, environment.resourceHandler, this);
}

void Form::unregisterResourceHandler() {
  const FormEnvironment& environment = FormEnvironment::instance();
  if (!resourceHandlerId_ || !environment.playerModule) return;
  if (auto* streams = dynamic_cast<MovieStreams*>(&environment.playerModule->streams()))
    streams->unregisterResourceHandler(std::exchange(resourceHandlerId_, 0));
}

void Form::interceptPlayerWindow() {
  HWND target = transparent ? playerControl_ : playerWindow(playerControl_);
  if (!target) return;
  interceptedWindow_ = target;
  windowMap::add(target, this);
  previousPlayerProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(target, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PlayerWindowProcedure::procedure)));
}

void Form::setScaleModeFromFlags() {
  const wchar_t* mode = !styleFlags_.scaleEnabled ? L"NoScale" : styleFlags_.scaleShowAll ? L"ShowAll" : L"ExactFit";
  player::putText(playerControl_, msg::kPutScaleW, mode);
}

bool Form::playsPreviewMovie(const record::FormDescription& description) const {
  // A screensaver without a preview movie shows its main movie in the preview too.
  return isPreview_ && !description.previewMovie.empty();
}

bool Form::startMovie(record::FormDescription& description, const std::wstring& privateTempFolder) {
  const int version = description.movieVersion();
  if (version >= 9) {
    if (FAILED(player::putText(playerControl_, msg::kPutBaseW, currentDirectory()))) return false;
    const record::Bytes movie =
        playsPreviewMovie(description) ? description.previewMovieBytes() : description.movieBytes();
    if (movie.empty()) return false;
    const HRESULT hr = player::putMovieFromMemory(playerControl_, movie.data(), movie.size());
    if (FAILED(hr)) trace(L"form " + std::to_wstring(id_) + L": the player refused the movie from memory");
    setScaleModeFromFlags();
    return true;
  }
  if (version < 8) description.setMovieVersion(8);
  if (playsPreviewMovie(description)) {
    const record::Bytes movie = description.previewMovieBytes();
    if (movie.empty()) return false;
    player::putMovieFromMemory(playerControl_, movie.data(), movie.size());
    setScaleModeFromFlags();
    return true;
  }
  return startBridgeMovie(description, privateTempFolder);
}

bool Form::startBridgeMovie(const record::FormDescription& description, const std::wstring& privateTempFolder) {
  if (!description.writeMovieTo(fileName(privateTempFolder, L"~swd%d.dat", id_))) return false;

  HRSRC resource = FindResourceW(instance_, MAKEINTRESOURCEW(kBridgeResource), L"BIN");
  HGLOBAL loaded = resource ? LoadResource(instance_, resource) : nullptr;
  const auto* bytes = static_cast<const char*>(loaded ? LockResource(loaded) : nullptr);
  const DWORD size = resource ? SizeofResource(instance_, resource) : 0;
  if (!bytes || size == 0) return false;
  std::vector<char> bridge(bytes, bytes + size);
  auto at = std::search(bridge.begin(), bridge.end(), kFormIdPlaceholder.begin(), kFormIdPlaceholder.end());
  if (at == bridge.end()) return false;
  char digits[16];
  std::snprintf(digits, sizeof(digits), "%.6d", id_);
  std::copy(digits, digits + kFormIdPlaceholder.size(), at);

  const std::wstring path = fileName(privateTempFolder, L"~swd%d.swf", id_);
  std::FILE* file = _wfopen(path.c_str(), L"wb+");
  if (!file) return false;
  const bool written = std::fwrite(bridge.data(), 1, bridge.size(), file) == bridge.size();
  if (std::fclose(file) != 0 || !written) return false;

  if (FAILED(player::putText(playerControl_, msg::kPutMovieW, path))) return false;
  if (styleFlags_.fixedSize) player::putText(playerControl_, msg::kPutScaleW, L"NoScale");
  else setScaleModeFromFlags();
  // The description keeps 0x00BBGGRR; the player takes 0x00RRGGBB.
  const auto bgr = static_cast<uint32_t>(description.playerBackground);
  const uint32_t rgb = ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
  player::putNumber(playerControl_, msg::kPutBackgroundColor, static_cast<int32_t>(rgb));
  return true;
}

// --- the fade thread -----------------------------------------------------------------------

DWORD WINAPI Form::fadeThreadMain(LPVOID form) {
  return atBoundary("fade thread", DWORD{1}, [&]() -> DWORD {
    static_cast<Form*>(form)->fadeLoop();
    return 0;
  });
}

void Form::fadeLoop() {
  if (WaitForSingleObject(quitEvent_.get(), 0) == WAIT_OBJECT_0) return;
  bool fadeInBegun = false, fadeInDone = false, fadeOutBegun = false, fadeOutDone = false;
  DWORD mark = 0;
  DWORD acc = 0;
  do {
    if (!started_) continue;
    const DWORD step = fadeStepMs_;
    if (!fadeInBegun && fadeInEnabled_) {
      fadeInBegun = true;
      mark = timeGetTime();
    }
    if (fadeInBegun && !fadeInDone) {
      const DWORD now = timeGetTime();
      acc += now - mark;
      mark = now;
      if (acc >= step) {
        const DWORD k = acc / step;
        int alpha = currentAlpha_ + static_cast<int>(k);
        if (alpha > targetAlpha_) {
          alpha = targetAlpha_;
          fadeInDone = true;
        }
        currentAlpha_ = alpha;
        setOpacityValue(alpha);
        acc -= step * k;
      }
    }
    if (!fadeOutBegun) {
      if (!(fadeOutEnabled_ && closing_)) continue;
      fadeOutBegun = true;
      mark = timeGetTime();
      acc = 0;
    }
    if (!fadeOutDone) {
      const DWORD now = timeGetTime();
      acc += now - mark;
      mark = now;
      if (acc >= step) {
        const DWORD k = acc / step;
        int alpha = currentAlpha_ - static_cast<int>(k);
        if (alpha < 0) {
          alpha = targetAlpha_;
          fadeOutDone = true;
          ShowWindow(window_, SW_HIDE);
          if (transparent) ShowWindow(playerControl_, SW_HIDE);  // what a transparent form shows
        }
        currentAlpha_ = alpha;
        setOpacityValue(alpha);
        acc -= step * k;
        if (fadeOutDone && isMain()) {
          quit_ = true;
          PostThreadMessageW(mainThreadId_, WM_NULL, 0, 0);  // wakes the message loop
        }
      }
    }
  } while (Sleep(10), WaitForSingleObject(quitEvent_.get(), 0) != WAIT_OBJECT_0);
}

void Form::stopFadeThread() {
  if (thread_) {
    if (quitEvent_) SetEvent(quitEvent_.get());
    // The fade thread may be sending to a window of this thread: keep answering while waiting.
    const DWORD deadline = GetTickCount() + 10000;
    HANDLE handle = thread_.get();
    for (;;) {
      const DWORD now = GetTickCount();
      const DWORD left = static_cast<int>(deadline - now) > 0 ? deadline - now : 0;
      const DWORD wait = MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_SENDMESSAGE);
      if (wait == WAIT_OBJECT_0 + 1) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        continue;
      }
      if (wait != WAIT_OBJECT_0) {
        DWORD exitCode = 0;
        if (GetExitCodeThread(handle, &exitCode)) TerminateThread(handle, exitCode);
      }
      break;
    }
  }
  thread_.reset();
  quitEvent_.reset();
}

}  // namespace lumo
