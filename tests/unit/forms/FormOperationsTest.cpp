// Forms made in this process with the stand-in player mapped from memory, for what only
// extension modules reach: size limits, a transparent form's opacity, dragging with the mouse.
#include "forms/Form.h"
#include "forms/FormEnvironment.h"
#include "forms/FormWindowProcedure.h"
#include "forms/PlayerCalls.h"
#include "ui/ApplicationMenus.h"
#include "ui/TrayIcon.h"
#include "host/HostApi.h"
#include "host/PlayerModule.h"

#include "SwfMovie.h"

#include <gtest/gtest.h>

#include "MessagePump.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace lumo {
namespace {

using test::pumpFor;
using test::pumpUntil;

constexpr wchar_t kFormWindowClass[] = L"VORLUMO3WINDOW";
const std::string kSeparator = "!}}v{}!";
const std::string kResizeLine = "setvariable \"vor.__callFunction\" \"onFormResize" + kSeparator;

std::wstring exeFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring exe(path, length);
  return exe.substr(0, exe.find_last_of(L'\\'));
}

class FormOperations : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::ifstream in(std::filesystem::path(exeFolder() + L"\\lumoplayer.dll"), std::ios::binary);
    const std::vector<char> image{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    module_ = loadPlayerFromMemory(image.data(), image.size());
    FormEnvironment::instance().playerModule = module_.get();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &FormWindowProcedure::procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kFormWindowClass;
    RegisterClassExW(&wc);
  }

  static void TearDownTestSuite() {
    UnregisterClassW(kFormWindowClass, GetModuleHandleW(nullptr));
    FormEnvironment::instance().playerModule = nullptr;
    unloadPlayer(std::move(module_));
  }

  void SetUp() override {
    ASSERT_NE(module_, nullptr) << "the stand-in player does not map";
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    transcriptPath_ = std::wstring(temp) + L"lumo-form-operations-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    DeleteFileW(transcriptPath_.c_str());
    SetEnvironmentVariableW(L"LUMO_PLAYER_TRANSCRIPT", transcriptPath_.c_str());
  }

  void TearDown() override {
    form_.reset();
    pumpFor(20);
    SetEnvironmentVariableW(L"LUMO_PLAYER_TRANSCRIPT", nullptr);
    DeleteFileW(transcriptPath_.c_str());
  }

  // A description at 100, 100 sized 200 x 100 (client), visible, playing a movie that logs "ready".
  static record::FormDescription description() {
    movie::SwfMovie movie;
    movie.xMax = 200 * 20;
    movie.yMax = 100 * 20;
    movie.background = 0x336699;
    movie.script = "log ready\n";
    movie.hasScript = true;
    record::FormDescription d;
    d.name = L"form";
    d.windowTitle = L"form";
    d.x = d.y = 100;
    d.width = 200;
    d.height = 100;
    d.visibleAtStart = true;
    d.scaleEnabled = true;
    d.alpha = 255;
    d.escapeCloses = d.altF4Closes = true;
    d.movie = record::StoredBlock::fromPlain(movie::writeSwf(movie), record::BlockKind::Movie);
    return d;
  }

  // Starts the form (id 1: not the main form, unless asked) and waits until its movie runs.
  void start(record::FormDescription d, int id = 1) {
    form_ = std::make_unique<Form>(id, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(form_->start(GetModuleHandleW(nullptr), d, L""));
    ASSERT_TRUE(pumpUntil([this] { return hasLine("log \"ready\""); })) << "the movie did not run";
  }

  std::vector<std::string> transcript() const {
    std::ifstream in{std::filesystem::path(transcriptPath_)};
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }

  bool hasLine(const std::string& prefix) const {
    for (const std::string& line : transcript())
      if (line.rfind(prefix, 0) == 0) return true;
    return false;
  }

  // The sizes of every FormResize raised since transcript line `from`, as "cw,ch,w,h".
  std::vector<std::string> resizesSince(size_t from) const {
    const std::vector<std::string> lines = transcript();
    std::vector<std::string> sizes;
    const std::string prefix = kResizeLine + "form" + kSeparator;
    for (size_t i = from; i < lines.size(); ++i) {
      if (lines[i].rfind(prefix, 0) != 0) continue;
      std::string rest = lines[i].substr(prefix.size()), joined;
      if (!rest.empty() && rest.back() == '"') rest.pop_back();
      size_t from = 0;
      for (size_t at = rest.find(kSeparator); at != std::string::npos; at = rest.find(kSeparator, from)) {
        joined += rest.substr(from, at - from) + ",";
        from = at + kSeparator.size();
      }
      sizes.push_back(joined + rest.substr(from));
    }
    return sizes;
  }

  RECT windowRect() const {
    RECT r{};
    GetWindowRect(form_->windowHandle(), &r);
    return r;
  }

  static std::unique_ptr<PlayerModule> module_;
  std::wstring transcriptPath_;
  std::unique_ptr<Form> form_;
};

std::unique_ptr<PlayerModule> FormOperations::module_;

// --- size limits -------------------------------------------------------------------------------

struct LimitCase {
  const char* name;
  int borderStyle;  // 0 standard (caption), 5 none (popup)
  std::function<void(Form&)> act;
  int width, height;  // the window afterwards
};

void PrintTo(const LimitCase& c, std::ostream* os) { *os << c.name; }

class FormSizeLimits : public FormOperations, public testing::WithParamInterface<LimitCase> {};

// Limits: maximum 300 x 200, minimum 120 x 90 (window sizes).
TEST_P(FormSizeLimits, PullTheWindowBackAndRaiseFormResizeOnceForTheClampedSize) {
  const LimitCase& c = GetParam();
  record::FormDescription d = description();
  d.borderStyle = c.borderStyle;
  d.popupFrame = false;
  d.maximizeBox = d.minimizeBox = d.systemMenu = true;
  ASSERT_NO_FATAL_FAILURE(start(std::move(d)));
  form_->setSizeLimits(L"300", L"200", L"120", L"90");
  pumpFor(50);
  const size_t before = transcript().size();

  // Sizing is done when the call returns; it is checked before the X11 driver's queued events
  // run, since without a window manager Wine takes a late configure event for the size it had
  // before the maximise and restores the window (SC_RESTORE), which Windows does not do.
  c.act(*form_);

  const RECT r = windowRect();
  EXPECT_EQ(r.right - r.left, c.width);
  EXPECT_EQ(r.bottom - r.top, c.height);
  RECT client{};
  GetClientRect(form_->windowHandle(), &client);
  const std::string expected = std::to_string(client.right) + "," + std::to_string(client.bottom) + "," +
                               std::to_string(c.width) + "," + std::to_string(c.height);
  EXPECT_EQ(resizesSince(before), std::vector<std::string>{expected});
  RECT player{};
  GetWindowRect(form_->playerControlHandle(), &player);
  EXPECT_EQ(player.right - player.left, client.right) << "the player fills the clamped client area";
}

INSTANTIATE_TEST_SUITE_P(
    Forms, FormSizeLimits,
    testing::Values(LimitCase{"MaximisedPopup", 5, [](Form& f) { f.maximize(); }, 300, 200},
                    LimitCase{"MaximisedCaptioned", 0, [](Form& f) { f.maximize(); }, 300, 200},
                    LimitCase{"NarrowedPopup", 5, [](Form& f) { f.setWidth(40); }, 120, 100},
                    LimitCase{"ShortenedPopup", 5, [](Form& f) { f.setHeight(20); }, 200, 90}),
    [](const testing::TestParamInfo<LimitCase>& info) { return std::string(info.param.name); });

// Limits that contradict each other size the window once and return, instead of recursing in
// WM_SIZE until the stack overflows.
TEST_F(FormOperations, ContradictoryOrZeroSizeLimitsDoNotRecurse) {
  record::FormDescription d = description();
  d.borderStyle = 5;
  d.popupFrame = false;
  ASSERT_NO_FATAL_FAILURE(start(std::move(d)));
  struct Limits {
    const wchar_t *maxWidth, *maxHeight, *minWidth, *minHeight;
  } cases[] = {{L"100", L"80", L"200", L"150"}, {L"0", L"0", L"0", L"0"}};
  for (const Limits& l : cases) {
    form_->setSizeLimits(l.maxWidth, l.maxHeight, l.minWidth, l.minHeight);
    form_->setWidth(150);
    form_->setHeight(120);
    pumpFor(20);
    EXPECT_TRUE(IsWindow(form_->windowHandle())) << "maximum width " << l.maxWidth << ", minimum width " << l.minWidth;
  }
}

// --- opacity ----------------------------------------------------------------------------------

struct OpacityCase {
  const char* name;
  int windowKind;  // 1 alpha-blended, 3 transparent
  int alpha, shown;
};

void PrintTo(const OpacityCase& c, std::ostream* os) { *os << c.name; }

class FormOpacity : public FormOperations, public testing::WithParamInterface<OpacityCase> {};

TEST_P(FormOpacity, TheDescriptionsAlphaIsClampedToAByte) {
  record::FormDescription d = description();
  d.windowKind = GetParam().windowKind;
  d.alpha = GetParam().alpha;
  ASSERT_NO_FATAL_FAILURE(start(std::move(d)));
  EXPECT_EQ(form_->opacity(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Forms, FormOpacity,
                         testing::Values(OpacityCase{"TransparentAbove255", 3, 300, 255},
                                         OpacityCase{"TransparentBelowZero", 3, -5, 0},
                                         OpacityCase{"TransparentInRange", 3, 128, 128},
                                         OpacityCase{"BlendedAbove255", 1, 300, 255},
                                         OpacityCase{"BlendedBelowZero", 1, -5, 0},
                                         OpacityCase{"BlendedInRange", 1, 128, 128}),
                         [](const testing::TestParamInfo<OpacityCase>& info) { return std::string(info.param.name); });

TEST_F(FormOperations, FadingATransparentFormStepsThePlayersConstantAlpha) {
  record::FormDescription d = description();
  d.windowKind = 3;
  d.alpha = 100;
  d.fadeIn = 1;
  d.fadeStepMs = 20;  // two seconds from 0 to 100
  form_ = std::make_unique<Form>(1, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(form_->start(GetModuleHandleW(nullptr), d, L""));
  ASSERT_TRUE(form_->transparent);
  // The fade raises the constant alpha of the control's frames from 0 to the form's own.
  std::vector<int> seen;
  ASSERT_TRUE(pumpUntil([&] {
    const int alpha = player::getAlpha(form_->playerControlHandle());
    if (seen.empty() || seen.back() != alpha) seen.push_back(alpha);
    return alpha == 100;
  }, 5000));
  EXPECT_GE(seen.size(), 3u) << "no steps between the start and the end of the fade";
  for (size_t i = 1; i < seen.size(); ++i) EXPECT_GT(seen[i], seen[i - 1]);
}

// A main form that fades out without having faded in starts from its own opacity: the fade
// steps the player's constant alpha down before the window goes.
TEST_F(FormOperations, ATransparentMainFormFadesOutFromItsOwnOpacityWithoutAFadeIn) {
  record::FormDescription d = description();
  d.windowKind = 3;
  d.alpha = 100;
  d.fadeOut = 1;
  d.fadeStepMs = 10;  // a second from 100 to 0
  ASSERT_NO_FATAL_FAILURE(start(std::move(d), 0));
  ASSERT_EQ(player::getAlpha(form_->playerControlHandle()), 100);
  form_->closeWindow();
  std::vector<int> seen;
  ASSERT_TRUE(pumpUntil([&] {
    const int alpha = player::getAlpha(form_->playerControlHandle());
    if (seen.empty() || seen.back() != alpha) seen.push_back(alpha);
    return form_->quit();
  }, 20000)) << "the fade-out never ended";  // hiding its two windows takes Wine a while here
  std::vector<int> below;
  for (int alpha : seen)
    if (alpha < 100) below.push_back(alpha);
  EXPECT_GE(below.size(), 3u) << "the form closed without fading";
  for (size_t i = 1; i < below.size(); ++i) EXPECT_LT(below[i], below[i - 1]);
}

// --- the kiosk's main form ---------------------------------------------------------------------

struct KioskCase {
  const char* name;
  bool centred;
  int x, y;
};

void PrintTo(const KioskCase& c, std::ostream* os) { *os << c.name; }

class KioskMainForm : public FormOperations, public testing::WithParamInterface<KioskCase> {
 protected:
  void TearDown() override {
    FormOperations::TearDown();
    FormEnvironment::instance().kioskMode = false;
  }
};

TEST_P(KioskMainForm, CoversTheScreenFromItsOriginWhereverTheDescriptionPlacedIt) {
  FormEnvironment::instance().kioskMode = true;
  record::FormDescription d = description();
  d.centred = GetParam().centred;
  d.x = GetParam().x;
  d.y = GetParam().y;
  ASSERT_NO_FATAL_FAILURE(start(std::move(d), 0));
  const RECT r = windowRect();
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));
}

INSTANTIATE_TEST_SUITE_P(Forms, KioskMainForm,
                         testing::Values(KioskCase{"Centred", true, 0, 0}, KioskCase{"Placed", false, 40, 30}),
                         [](const testing::TestParamInfo<KioskCase>& info) { return std::string(info.param.name); });

// --- the opaque player control -----------------------------------------------------------------

// The control clips the player's own window and paints the rest of its client area red, so a
// player that is missing or not in place shows as such.
TEST_F(FormOperations, TheOpaqueControlClipsThePlayersWindowAndPaintsWhatItLeavesUncovered) {
  ASSERT_NO_FATAL_FAILURE(start(description()));
  HWND control = form_->playerControlHandle();
  const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
  EXPECT_EQ(static_cast<DWORD>(style) & 0xFFFF0000u, 0x52000000u) << std::hex << style;
  HWND playerWindow = GetWindow(control, GW_CHILD);
  ASSERT_NE(playerWindow, nullptr);
  ShowWindow(playerWindow, SW_HIDE);
  RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  POINT middle{100, 50};
  ClientToScreen(control, &middle);
  HDC screen = GetDC(nullptr);
  const bool red = pumpUntil([&] { return GetPixel(screen, middle.x, middle.y) == RGB(255, 0, 0); }, 3000);
  const COLORREF seen = GetPixel(screen, middle.x, middle.y);
  ReleaseDC(nullptr, screen);
  EXPECT_TRUE(red) << std::hex << seen;
}

// --- balloon clicks ----------------------------------------------------------------------------

// A click on a balloon calls the movie's function when the balloon named one, and nothing
// (not a call with an empty name) when it did not.
TEST_F(FormOperations, ABalloonClickCallsOnlyAFunctionTheBalloonNamed) {
  ASSERT_NO_FATAL_FAILURE(start(description(), 0));
  TrayIcon tray;
  tray.mainWindow = form_->windowHandle();
  const std::string callLine = "setvariable \"vor.__callFunction\"";
  for (const std::wstring& function : {std::wstring(), std::wstring(L"onBalloon")}) {
    tray.showBalloon(L"title", L"text", L"info", L"1000", function);
    const size_t before = transcript().size();
    tray.handleCallback(*form_, TrayIcon::kIconId, NIN_BALLOONUSERCLICK);
    pumpFor(20);
    std::vector<std::string> calls;
    const std::vector<std::string> all = transcript();
    for (size_t i = before; i < all.size(); ++i)
      if (all[i].rfind(callLine, 0) == 0) calls.push_back(all[i]);
    if (function.empty()) {
      EXPECT_TRUE(calls.empty()) << calls.front();
    } else {
      ASSERT_EQ(calls.size(), 1u);
      EXPECT_EQ(calls[0].rfind(callLine + " \"onBalloon" + kSeparator, 0), 0u) << calls[0];
    }
  }
}

// --- dragging the window with the mouse --------------------------------------------------------

struct DragCase {
  const char* name;
  const wchar_t* leftMode;
  std::function<void(Form&)> prepare;
  bool moves;
  bool movieSeesPress;
};

void PrintTo(const DragCase& c, std::ostream* os) { *os << c.name; }

class FormDragging : public FormOperations, public testing::WithParamInterface<DragCase> {
 protected:
  static void input(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof(in));
  }
  // Puts the cursor at x, y as a mouse move would.
  static void moveTo(int x, int y) {
    SetCursorPos(x, y);
    input(MOUSEEVENTF_MOVE);
    pumpFor(100);
  }
};

TEST_P(FormDragging, APressOnTheMovieDragsTheWindowOnlyWhenDraggingIsOn) {
  const DragCase& c = GetParam();
  record::FormDescription d = description();
  d.borderStyle = 5;
  ASSERT_NO_FATAL_FAILURE(start(std::move(d)));
  form_->setLeftButtonMode(c.leftMode);
  if (c.prepare) c.prepare(*form_);
  const RECT before = windowRect();

  moveTo(150, 150);
  input(MOUSEEVENTF_LEFTDOWN);
  pumpFor(100);
  moveTo(170, 160);
  moveTo(190, 170);
  input(MOUSEEVENTF_LEFTUP);
  pumpFor(100);
  moveTo(250, 250);  // after the release the window stays where it was dropped

  const RECT after = windowRect();
  EXPECT_EQ(after.left - before.left, c.moves ? 40 : 0);
  EXPECT_EQ(after.top - before.top, c.moves ? 20 : 0);
  EXPECT_EQ(after.right - after.left, before.right - before.left);
  EXPECT_EQ(hasLine("mouse left down"), c.movieSeesPress);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, FormDragging,
    testing::Values(DragCase{"DragMode", L"drag", nullptr, true, false},
                    DragCase{"SendWithDragEnabled", L"send", [](Form& f) { f.enableDrag(); }, true, true},
                    DragCase{"SendWithoutDrag", L"send", nullptr, false, true},
                    DragCase{"SendWithDragDisabledAgain", L"send",
                             [](Form& f) {
                               f.enableDrag();
                               f.disableDrag();
                             },
                             false, true},
                    DragCase{"IgnoreWithDragEnabled", L"ignore", [](Form& f) { f.enableDrag(); }, false, false}),
    [](const testing::TestParamInfo<DragCase>& info) { return std::string(info.param.name); });

// --- modal wait --------------------------------------------------------------------------------

// What closes the form while it waits: a thread timer of the waiting thread, as a command would.
Form* modalForm = nullptr;
bool shownDuringWait = false;

void CALLBACK closeWithResult(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  shownDuringWait = IsWindowVisible(modalForm->windowHandle()) != FALSE;
  FormEnvironment::instance().modalResult = L"chosen";
  modalForm->close();
}

TEST_F(FormOperations, TheModalWaitShowsTheFormRunsMessagesAndReturnsTheResultSetBeforeTheClose) {
  record::FormDescription d = description();
  d.visibleAtStart = false;
  ASSERT_NO_FATAL_FAILURE(start(std::move(d)));
  EXPECT_FALSE(IsWindowVisible(form_->windowHandle()));
  FormEnvironment::instance().modalResult = L"stale";
  modalForm = form_.get();
  SetTimer(nullptr, 0, 200, &closeWithResult);
  const DWORD start = GetTickCount();
  EXPECT_EQ(form_->runModal(), L"chosen");
  EXPECT_GE(GetTickCount() - start, 150u) << "the wait lasted until the close";
  EXPECT_TRUE(shownDuringWait);
  EXPECT_FALSE(IsWindowVisible(form_->windowHandle()));
  modalForm = nullptr;
}

// A pop-up menu of the test's own.
struct Popup {
  HMENU handle = CreatePopupMenu();
  ~Popup() { DestroyMenu(handle); }
};

// --- menu picks --------------------------------------------------------------------------------

// What reaches the movie for one pick (WM_COMMAND at the main form), of the menu lines only.
struct PickCase {
  const char* name;
  std::function<void(Form&)> setType;
  UINT command;  // 0: "a.b c" of the main menu, 1: "&&x" of the tray menu, 2: "Copy" of the context menu
  std::vector<std::string> lines;
};

void PrintTo(const PickCase& c, std::ostream* os) { *os << c.name; }

const std::string kDispatch = "setvariable \"vor.__callFunction\" \"vor.__dispatchEvent" + kSeparator;
std::string clickEvent(const std::string& type, const std::string& menuClass) {
  return kDispatch + type + kSeparator + menuClass + kSeparator + kSeparator + "status<{z}>true\"";
}
std::string handlerCall(const std::string& function) {
  return "setvariable \"vor.__callFunction\" \"" + function + kSeparator + "true\"";
}

class MenuPicks : public FormOperations, public testing::WithParamInterface<PickCase> {};

TEST_P(MenuPicks, SendTheClickEventThenTheActionTheirMenuTypeNames) {
  const PickCase& c = GetParam();
  ASSERT_NO_FATAL_FAILURE(start(description(), 0));
  Popup tray, context;
  ApplicationMenus menus;
  menus.attach(tray.handle, context.handle);
  menus.takeCommandId = [this]() -> std::optional<UINT> { return form_->takeMenuCommandId(); };
  FormEnvironment::instance().menus = &menus;
  form_->addMainMenu(L"File");
  form_->addMainMenuItem(L"File", L"a.b c");
  form_->addTrayMenuItem(L"&&x");
  form_->addContextMenuItem(L"Copy");
  if (c.setType) c.setType(*form_);
  const size_t before = transcript().size();

  SendMessageW(form_->windowHandle(), WM_COMMAND, MAKEWPARAM(c.command, 0), 0);
  SendMessageW(form_->windowHandle(), WM_COMMAND, MAKEWPARAM(c.command, 1), 0);  // no menu's
  SendMessageW(form_->windowHandle(), WM_COMMAND, 3, 0);                          // no item's
  pumpFor(50);
  std::vector<std::string> lines;
  const std::vector<std::string> all = transcript();
  for (size_t i = before; i < all.size(); ++i)
    if (all[i].find("enuClick") != std::string::npos || all[i].find("\"menu_") != std::string::npos ||
        all[i].rfind("tgotolabel", 0) == 0)
      lines.push_back(all[i]);
  EXPECT_EQ(lines, c.lines);
  FormEnvironment::instance().menus = nullptr;
}

INSTANTIATE_TEST_SUITE_P(
    Types, MenuPicks,
    testing::Values(
        PickCase{"MainFunction", [](Form& f) { f.setMainMenuType(L"function"); }, 0,
                 {clickEvent("MenuClick_a_b_c", "Menu.Main"), handlerCall("onMenuClick_a_b_c")}},
        PickCase{"MainVariable", [](Form& f) { f.setMainMenuType(L"variable"); }, 0,
                 {clickEvent("MenuClick_a_b_c", "Menu.Main"), "setvariable \"menu_a_b_c\" \"true\""}},
        PickCase{"MainFrame", [](Form& f) { f.setMainMenuType(L"frame"); }, 0,
                 {clickEvent("MenuClick_a_b_c", "Menu.Main"), "tgotolabel \"/\" \"a_b_c\""}},
        PickCase{"MainTypeInAnotherCase", [](Form& f) { f.setMainMenuType(L"Function"); }, 0,
                 {clickEvent("MenuClick_a_b_c", "Menu.Main")}},
        PickCase{"MainNormalAtFirst", nullptr, 0, {clickEvent("MenuClick_a_b_c", "Menu.Main")}},
        PickCase{"TrayTypeEmptyAtFirst", [](Form& f) { f.setMainMenuType(L"function"); }, 1,
                 {clickEvent("TrayMenuClick_x", "Menu.Tray")}},
        PickCase{"TrayFunction", [](Form& f) { f.setTrayMenuType(L"function"); }, 1,
                 {clickEvent("TrayMenuClick_x", "Menu.Tray"), handlerCall("onTrayMenuClick_x")}},
        PickCase{"ContextVariable", [](Form& f) { f.setContextMenuType(L"variable"); }, 2,
                 {clickEvent("ContextMenuClick_Copy", "Menu.Context"), "setvariable \"menu_Copy\" \"true\""}}),
    [](const testing::TestParamInfo<PickCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lumo
