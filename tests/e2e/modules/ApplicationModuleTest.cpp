// vor.Application in real projectors: scripted movies call its commands, and the test watches
// the answers in the transcript, the form windows, the "exit ask" box and the exit code.
#include "forms/FormsFixture.h"

#include "MessagePump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace lumo::e2e {
namespace {

const std::string kMarker = "<{lumo}>";
const std::string kSep = "!}}v{}!";

// A script token: the text in double quotes with the script's escapes.
std::string token(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '\r') quoted += "\\r";
    else if (c == '\n') quoted += "\\n";
    else if (c == '\\' || c == '"') quoted += std::string("\\") + c;
    else quoted += c;
  }
  return quoted + "\"";
}

// A script line calling vor.Application.`command` from form `formId` with an argument text.
std::string call(const std::string& command, const std::string& arguments = kMarker, int formId = 0) {
  return "call vor.Application." + command + " " + std::to_string(formId) + " " + token(arguments) + "\n";
}

// "exit ask" holds the movie in a box until the test answers it: with Cancel it is a
// checkpoint at which the test looks at the windows. The question may hold no comma.
std::string ask(const std::string& question) { return call("exit", kMarker + "ask," + question); }

std::string legacyCall(const std::string& handler) { return "setvariable \"vor.__callFunction\" \"" + handler; }

// The index of the first line at or after `from` that starts with `prefix`, or -1.
long lineStarting(const std::vector<std::string>& lines, const std::string& prefix, long from = 0) {
  for (size_t i = static_cast<size_t>(from < 0 ? 0 : from); i < lines.size(); ++i)
    if (lines[i].rfind(prefix, 0) == 0) return static_cast<long>(i);
  return -1;
}

std::vector<std::string> failures(const std::vector<std::string>& lines) {
  std::vector<std::string> failed;
  for (const std::string& line : lines)
    if (line.rfind("FAIL ", 0) == 0 || line.rfind("error ", 0) == 0) failed.push_back(line.substr(0, 300));
  return failed;
}

std::wstring textOf(HWND window) {
  wchar_t buffer[1024] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, &copied);
  return buffer;
}

// The "Information" box of "exit ask" showing `question`, waiting for it to appear.
HWND questionBox(const std::wstring& question, DWORD timeoutMs = 20000) {
  const DWORD start = GetTickCount();
  do {
    for (HWND box = FindWindowExW(nullptr, nullptr, L"#32770", L"Information"); box;
         box = FindWindowExW(nullptr, box, L"#32770", L"Information")) {
      if (HWND text = GetDlgItem(box, 0xFFFF); text && textOf(text) == question) return box;
    }
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

// Presses a button of the box (as uidriver does, no focus needed) and waits until it is gone.
bool press(HWND box, int button) {
  if (!box) return false;
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
  for (int i = 0; i < 200 && IsWindow(box); ++i) Sleep(25);
  return !IsWindow(box);
}

// Style bits that follow the window's state, or that the system adds to top-level windows.
constexpr DWORD kStateStyle = WS_VISIBLE | WS_MAXIMIZE | WS_MINIMIZE | WS_CLIPSIBLINGS;

DWORD styleOf(HWND window) { return static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)); }
DWORD exStyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)); }
bool topmost(HWND window) { return (exStyleOf(window) & WS_EX_TOPMOST) != 0; }

RECT rectOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}
// Rectangles compared as text, so that a failure shows them.
std::string text(const RECT& r) {
  std::ostringstream out;
  out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
  return out.str();
}

// --- queries: one movie asks, the script compares each answer -------------------------------

struct Query {
  std::string command;
  std::string arguments;  // the argument text
  std::string answer;     // the value the movie gets
};

std::vector<Query> queries() {
  std::string digits;  // longer than the 2048 characters a short buffer would hold
  for (int i = 0; i < 300; ++i) digits += "0123456789";
  const std::string notFound = "\"vor_notfound\"";
  return {
      // Started as: app.exe first "second arg" C:\dir\x
      {"getCMDParams", kMarker + "0", "\"\""},
      {"getCMDParams", kMarker + "1", "\"first\""},
      {"getCMDParams", kMarker + "2", "\"second arg\""},
      {"getCMDParams", kMarker + "3", "\"C:\\dir\\x\""},
      {"getCMDParams", kMarker + "4", "\"\""},
      {"getCMDParams", kMarker + "-1", "\"\""},
      {"getEnvVar", kMarker + "LUMO_APP_TEST_MISSING", ""},
      {"getEnvVar", kMarker + "LUMO_APP_TEST_DIR", "\"C:\\\\Lumo\\\\dir\""},
      {"setEnvVar", kMarker + "LUMO_APP_TEST_SET,hello world", ""},
      {"getEnvVar", kMarker + "LUMO_APP_TEST_SET", "\"hello world\""},
      {"setEnvVar", kMarker + "LUMO_APP_TEST_EMPTY,", ""},
      {"getEnvVar", kMarker + "LUMO_APP_TEST_EMPTY", ""},
      {"setEnvVar", kMarker + "LUMO_APP_TEST_LONG," + digits, ""},
      {"getEnvVar", kMarker + "LUMO_APP_TEST_LONG", "\"" + digits + "\""},
      {"getSecureVar", "", notFound},  // no marker: no arguments at all
      {"getSecureVar", kMarker, notFound},
      {"getSecureVar", kMarker + "password", "\"s3cret\""},
      {"getSecureVar", kMarker + "Password", notFound},
      {"getSecureVar", kMarker + "quoted", "\"@q@in quotes@q@\""},
      {"getSecureVar", kMarker + "greeting", notFound},
      {"getGlobalVar", "", notFound},
      {"getGlobalVar", kMarker + "greeting", "\"hello\""},
      {"getGlobalVar", kMarker + "Greeting", notFound},
      {"getGlobalVar", kMarker + "password", notFound},
      {"getfilename", kMarker, "app.exe"},
      {"getfilenameUnicode", kMarker, "app.exe"},
      {"bArray", kMarker, ""},
      {"deleteForm", kMarker + "main", ""},
      {"doEvents", kMarker, ""},
      {"showTips", kMarker, ""},
      {"textAreaEnhance", kMarker, ""},
      {"getfilenameUnix", kMarker, ""},
      {"getpathUnix", kMarker, ""},
      {"getFormNames", kMarker, "[\"main\"]"},
      {"getisMinimized", kMarker, "false"},
      {"createForm", kMarker + "late,standard,main.swf,0,0,100", "false"},
      {"minimizeToTray", kMarker + "false", ""},
      {"delay", kMarker + "200", ""},
      {"delay", kMarker + "-5", ""},
      // No voice and no printer under Wine: each must simply return.
      {"say", kMarker + "hello", ""},
      {"printVar", kMarker + "first\r\nsecond,false", ""},
      {"printVar", kMarker + "only the text", ""},
  };
}

TEST(ApplicationCommands, QueriesAnswerTheMovieAndExitWithCodeEndsTheProcess) {
  // EI-ready, so that result encoding doubles no backslash and the answers are the commands'.
  std::string script = "wait 200\ncall vor.flash9ready 0 \"<{lumo}>\"\n";
  const auto lineCount = [&script] { return static_cast<int>(std::count(script.begin(), script.end(), '\n')); };
  const std::vector<Query> table = queries();
  std::vector<int> expectLines;
  for (const Query& q : table) {
    script += call(q.command, q.arguments);
    expectLines.push_back(lineCount() + 1);
    script += "expect " + token(q.answer) + "\n";
  }
  script += "var greeting\nexpect hello\nvar password\n" + call("getpath") + call("getpathUnicode") +
            "log queries done\n" + call("exitWithCode", kMarker + "7");
  FormsProjector projector({{L"main.swf", script}},
                           R"({"title": "AppQueries",
                               "secureVariables": {"password": "s3cret", "quoted": "\"in quotes\""},
                               "globalVariables": {"greeting": "hello"},
                               "forms": [{"name": "main", "movie": "main.swf", "windowTitle": "AppQueries",
                                          "width": 200, "height": 100, "visibleAtStart": true}]})");
  ASSERT_TRUE(projector.built());
  SetEnvironmentVariableW(L"LUMO_APP_TEST_DIR", L"C:\\Lumo\\dir");
  SetEnvironmentVariableW(L"LUMO_APP_TEST_MISSING", nullptr);
  const bool started = projector.start(L"first \"second arg\" C:\\dir\\x");
  SetEnvironmentVariableW(L"LUMO_APP_TEST_DIR", nullptr);
  ASSERT_TRUE(started);

  EXPECT_EQ(projector.process().wait(30000), 7) << "exitWithCode 7 is the process's exit code";
  const auto lines = projector.transcript();
  ASSERT_NE(lineStarting(lines, "log \"queries done\""), -1);
  for (size_t i = 0; i < table.size(); ++i) {
    SCOPED_TRACE(table[i].command + " " + table[i].arguments.substr(0, 60));
    const std::string pass = "PASS line " + std::to_string(expectLines[i]) + " ";
    const long failed = lineStarting(lines, "FAIL line " + std::to_string(expectLines[i]) + " ");
    EXPECT_NE(lineStarting(lines, pass), -1) << (failed >= 0 ? lines[failed].substr(0, 300) : "no answer");
  }
  EXPECT_TRUE(failures(lines).empty()) << failures(lines).front();

  EXPECT_NE(lineStarting(lines, "var \"greeting\" \"hello\""), -1) << "a global variable is also a FlashVar";
  EXPECT_NE(lineStarting(lines, "var \"password\" undefined"), -1) << "a secure variable is not";
  const std::wstring exe = projector.folder().file(L"app.exe");
  const std::string path = transcriptQuoted(std::string(exe.begin(), exe.end()));
  EXPECT_NE(lineStarting(lines, "call vor.Application.getpath \"0\" \"<{lumo}>\" -> \"" + path + "\""), -1) << path;
  EXPECT_NE(lineStarting(lines, "call vor.Application.getpathUnicode \"0\" \"<{lumo}>\" -> \"" + path + "\""), -1);
}

TEST(ApplicationCommands, PrintVarWithItsDialogWaitsForTheUserThenEndsSilentlyWithoutAPrinter) {
  // No printer here: the print dialog, owned by the form, tells the user so and gives up.
  const std::string script = "wait 200\n" + call("printVar", kMarker + "page text,true") + "log printed\n" +
                             call("exitWithCode", kMarker + "5");
  FormsProjector projector({{L"main.swf", script}},
                           R"({"title": "AppPrint", "forms": [{"name": "main", "movie": "main.swf",
                               "width": 200, "height": 100, "visibleAtStart": true}]})");
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  const UiResult notice = uidriver(L"text --title Print --control 65535 --timeout 20000");
  ASSERT_EQ(notice.exitCode, 0);
  EXPECT_NE(notice.output.find("install a printer"), std::string::npos) << notice.output;
  EXPECT_FALSE(projector.waitFor("log \"printed\"", 500)) << "the movie waits for the user";
  ASSERT_EQ(uidriver(L"close --title Print --control 65535").exitCode, 0);
  EXPECT_EQ(projector.process().wait(20000), 5);
  EXPECT_TRUE(projector.waitFor("log \"printed\"", 1000));
}

// --- exit and the exit handler -------------------------------------------------------------

TEST(ApplicationCommands, WithTheExitHandlerCloseRequestsBecomeEventsUntilTheMovieExits) {
  const std::string script = "wait 300\n" + call("enableExitHandler") + "log handler on\n" +
                             call("exitWithCode", kMarker + "7") + "log after exitWithCode\n" +
                             ask("exitWithCode came") +
                             // The close request is posted: its two events, each a legacy call and a
                             // dispatcher call through the variable, come before the movie goes on.
                             "watch vor.__callFunction\nuser close\nwait-for vor.__callFunction 4\nlog after close\n" +
                             ask("close box came") + call("exit");
  FormsProjector projector({{L"main.swf", script}},
                           R"({"title": "AppExit", "forms": [{"name": "main", "movie": "main.swf",
                               "windowTitle": "AppExit", "width": 200, "height": 100, "visibleAtStart": true,
                               "popupFrame": false, "systemMenu": true}]})");
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  HWND window = projector.formWindow(L"AppExit");
  ASSERT_NE(window, nullptr);

  // Each close request gives onAppExit, then onFormClose, and leaves the window open.
  const auto eventsBetween = [&projector](const std::string& from, const std::string& to) {
    const auto lines = projector.transcript();
    const long start = lineStarting(lines, from), end = lineStarting(lines, to, start);
    const long appExit = lineStarting(lines, legacyCall("onAppExit" + kSep + "true\""), start);
    const long formClose = lineStarting(lines, legacyCall("onFormClose" + kSep + "true\""), start);
    EXPECT_NE(start, -1);
    EXPECT_NE(end, -1);
    EXPECT_NE(appExit, -1);
    EXPECT_LT(appExit, formClose);
    EXPECT_LT(formClose, end);
    EXPECT_NE(lineStarting(lines, legacyCall("vor.__dispatchEvent" + kSep + "AppExit"), start), -1);
  };
  HWND box = questionBox(L"exitWithCode came");
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(projector.process().running());
  EXPECT_TRUE(IsWindowVisible(window));
  eventsBetween("log \"handler on\"", "log \"after exitWithCode\"");
  ASSERT_TRUE(press(box, IDCANCEL));

  box = questionBox(L"close box came");
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(IsWindowVisible(window));
  eventsBetween("log \"after exitWithCode\"", "log \"after close\"");
  ASSERT_TRUE(press(box, IDCANCEL));

  // exit ends the application whatever the handler says; the code set before stays.
  EXPECT_EQ(projector.process().wait(20000), 7);
}

// --- forms made at run time ----------------------------------------------------------------

// The form window of this process at `left` (created forms are all titled "form").
HWND formAt(DWORD processId, LONG left) {
  for (HWND w = FindWindowExW(nullptr, nullptr, L"VORLUMO3WINDOW", nullptr); w;
       w = FindWindowExW(nullptr, w, L"VORLUMO3WINDOW", nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == processId && rectOf(w).left == left) return w;
  }
  return nullptr;
}

TEST(ApplicationCommands, CreateFormMakesFormsThatRunTheirMoviesAndGetFormNamesListsTheOpenOnes) {
  const std::string names3 = "[\"main\",\"second\",\"third\",\"fourth\"]";
  const std::string mainScript =
      "wait 300\n" + call("createForm", kMarker + "second,standard,second.swf,10,300,200,100") + "expect true\n" +
      call("createForm", kMarker + "second,tool,plain.swf,10,300,200,100") + "expect false\n" +
      call("createForm", kMarker + "third,fancy,plain.swf,250,300,200,100") + "expect true\n" +
      call("createForm", kMarker + "fourth,sizeabletool,closing.swf,500,300,200,100") + "expect true\n" +
      call("createForm", kMarker + "fifth,standard,missing.swf,700,300,200,100") + "expect false\n" +
      call("getFormNames") + "expect " + token(names3) + "\n" + ask("forms made") + call("getFormNames") + "expect " +
      token("[\"main\",\"third\",\"fourth\"]") + "\nlog names read\n" + call("restore") + ask("restored") +
      "user close\n";
  const std::string secondScript =
      "wait 800\nlog second movie\n" + call("exitWithModalResult", kMarker + "done", 1) + "log second closed\n";
  FormsProjector projector({{L"main.swf", mainScript}, {L"second.swf", secondScript}, {L"plain.swf", "log plain\n"},
                            {L"closing.swf", "log plain\nwait 800\nuser close\n"}},
                           R"({"title": "AppForms", "forms": [{"name": "main", "movie": "main.swf",
                               "windowTitle": "AppForms", "x": 0, "y": 0, "width": 200, "height": 100,
                               "visibleAtStart": true, "popupFrame": false, "systemMenu": true}]})");
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  HWND main = projector.formWindow(L"AppForms");
  ASSERT_NE(main, nullptr);
  DWORD processId = 0;
  GetWindowThreadProcessId(main, &processId);

  // The new forms' movies run while the main movie waits in its box: the second closes itself
  // and the fourth's close box hides it.
  HWND box = questionBox(L"forms made");
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(projector.waitFor("log \"second movie\"")) << "the new form's own movie runs";
  EXPECT_TRUE(projector.waitFor(R"(call vor.Application.exitWithModalResult "1" "<{lumo}>done" -> "")"));
  HWND second = formAt(processId, 10), third = formAt(processId, 250), fourth = formAt(processId, 500);
  ASSERT_NE(second, nullptr);
  ASSERT_NE(third, nullptr);
  ASSERT_NE(fourth, nullptr);
  EXPECT_TRUE(projector.waitFor("user close"));
  test::pumpUntil([&] { return !IsWindowVisible(second) && !IsWindowVisible(fourth); }, 10000);
  EXPECT_EQ(formAt(processId, 700), nullptr) << "a missing movie file makes no form";
  EXPECT_FALSE(IsWindowVisible(second)) << "exitWithModalResult closes the calling form";
  EXPECT_TRUE(IsWindowVisible(third));
  // An unknown style word gives the standard border; a known one is honoured.
  EXPECT_EQ(styleOf(third) & ~kStateStyle, styleOf(second) & ~kStateStyle);
  EXPECT_EQ(exStyleOf(third) & WS_EX_TOOLWINDOW, 0u);
  EXPECT_EQ(styleOf(third) & (WS_CAPTION | WS_THICKFRAME), static_cast<DWORD>(WS_CAPTION));
  EXPECT_EQ(styleOf(fourth) & (WS_CAPTION | WS_THICKFRAME), static_cast<DWORD>(WS_CAPTION | WS_THICKFRAME));
  EXPECT_NE(exStyleOf(fourth) & WS_EX_TOOLWINDOW, 0u);
  EXPECT_FALSE(IsWindowVisible(fourth)) << "its close box hides it";
  ASSERT_TRUE(press(box, IDCANCEL));

  // The application's restore brings back the open forms, not one the user closed.
  ASSERT_NE(box = questionBox(L"restored"), nullptr);
  EXPECT_TRUE(IsWindowVisible(third));
  EXPECT_FALSE(IsWindowVisible(fourth));
  EXPECT_FALSE(IsWindowVisible(second));
  ASSERT_TRUE(press(box, IDCANCEL));

  // The close box of the main form without an exit handler ends the process with code 0.
  EXPECT_EQ(projector.process().wait(20000), 0);
  const auto lines = projector.transcript();
  EXPECT_NE(lineStarting(lines, "log \"names read\""), -1);
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l == "log \"plain\""; }), 2)
      << "third and fourth each run their movie";
  EXPECT_TRUE(failures(lines).empty()) << failures(lines).front();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("PASS ", 0) == 0; }), 7);
}

// --- the main window: full screen, shaking, z-order, title, state, delay, exit ------------

TEST(ApplicationCommands, WindowCommandsChangeTheMainWindowAndExitAskEndsOnOk) {
  const std::string script =
      "wait 300\n" + ask("ready") + call("switchFullScreen", kMarker + "true") +
      call("switchFullScreen", kMarker + "true") + ask("full screen") + call("switchFullScreen", kMarker + "false") +
      call("switchFullScreen", kMarker + "false") + ask("windowed") + "log shake start\n" +
      call("shake", kMarker + "3") + "log shake end\n" + ask("shaken") + call("bringToFront") + ask("in front") +
      call("sendToBack") + ask("behind") + call("settitle", kMarker + "Renamed title") + ask("renamed") +
      call("maximize") + ask("maximized") + call("restore") + ask("restored") + call("minimize") +
      call("getisMinimized") + "expect true\n" + ask("minimized") + call("restore") + call("getisMinimized") +
      "expect false\n" + ask("back") + call("delay", kMarker + "1500") + ask("delayed") + ask("Leave now?") +
      "log still here\n";
  FormsProjector projector({{L"main.swf", script}},
                           R"({"title": "AppWindow", "forms": [{"name": "main", "movie": "main.swf",
                               "windowTitle": "AppWindow", "x": 100, "y": 100, "width": 320, "height": 240,
                               "visibleAtStart": true, "popupFrame": false, "borderStyle": "sizeable",
                               "systemMenu": true, "minimizeBox": true, "maximizeBox": true}]})");
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  HWND window = projector.formWindow(L"AppWindow");
  ASSERT_NE(window, nullptr);
  const auto checkpoint = [](const wchar_t* question) {
    HWND box = questionBox(question);
    EXPECT_NE(box, nullptr) << "no box asking " << std::string(question, question + wcslen(question));
    return box;
  };

  HWND box = checkpoint(L"ready");
  ASSERT_NE(box, nullptr);
  const DWORD style = styleOf(window);
  const RECT windowed = rectOf(window);
  EXPECT_FALSE(topmost(window));
  ASSERT_TRUE(press(box, IDCANCEL));

  ASSERT_NE(box = checkpoint(L"full screen"), nullptr);
  EXPECT_EQ(styleOf(window) & ~(WS_MAXIMIZE | WS_CLIPSIBLINGS), static_cast<DWORD>(WS_POPUP | WS_VISIBLE));
  EXPECT_TRUE(IsZoomed(window));
  EXPECT_TRUE(topmost(window));
  // Its size is not checked: Wine without a window manager takes back a stale X size after
  // the style change of a mapped window, so the maximized window keeps its old client size.
  ASSERT_TRUE(press(box, IDCANCEL));

  // A second "true" remembered nothing new: the style from before the first comes back.
  ASSERT_NE(box = checkpoint(L"windowed"), nullptr);
  EXPECT_EQ(styleOf(window) & ~kStateStyle, style & ~kStateStyle);
  EXPECT_FALSE(IsZoomed(window));
  EXPECT_FALSE(topmost(window));
  EXPECT_EQ(text(rectOf(window)), text(windowed));
  const RECT before = rectOf(window);
  ASSERT_TRUE(press(box, IDCANCEL));

  // Shaking: six moves around the place, then back; every move is a FormReposition.
  ASSERT_NE(box = checkpoint(L"shaken"), nullptr);
  EXPECT_EQ(text(rectOf(window)), text(before));
  {
    const auto lines = projector.transcript();
    const long start = lineStarting(lines, "log \"shake start\""), end = lineStarting(lines, "log \"shake end\"");
    std::vector<std::string> moves;
    for (long i = start; i >= 0 && i < end; ++i)
      if (lines[i].rfind(legacyCall("onFormReposition"), 0) == 0) moves.push_back(lines[i]);
    const auto at = [](LONG x, LONG y) {
      return legacyCall("onFormReposition" + kSep + "main" + kSep + std::to_string(x) + kSep + std::to_string(y) + "\"");
    };
    std::vector<std::string> expected;
    for (int i = 0; i < 3; ++i) {
      expected.push_back(at(before.left + 2, before.top + 2));
      expected.push_back(at(before.left - 2, before.top - 2));
    }
    expected.push_back(at(before.left, before.top));
    EXPECT_EQ(moves, expected);
  }
  ASSERT_TRUE(press(box, IDCANCEL));

  ASSERT_NE(box = checkpoint(L"in front"), nullptr);
  EXPECT_TRUE(topmost(window));
  ASSERT_TRUE(press(box, IDCANCEL));
  ASSERT_NE(box = checkpoint(L"behind"), nullptr);
  EXPECT_FALSE(topmost(window));
  ASSERT_TRUE(press(box, IDCANCEL));

  ASSERT_NE(box = checkpoint(L"renamed"), nullptr);
  EXPECT_EQ(textOf(window), L"Renamed title");
  ASSERT_TRUE(press(box, IDCANCEL));

  ASSERT_NE(box = checkpoint(L"maximized"), nullptr);
  EXPECT_TRUE(IsZoomed(window));
  ASSERT_TRUE(press(box, IDCANCEL));
  ASSERT_NE(box = checkpoint(L"restored"), nullptr);
  EXPECT_FALSE(IsZoomed(window));
  EXPECT_FALSE(IsIconic(window));
  ASSERT_TRUE(press(box, IDCANCEL));
  ASSERT_NE(box = checkpoint(L"minimized"), nullptr);
  EXPECT_TRUE(IsIconic(window));
  ASSERT_TRUE(press(box, IDCANCEL));
  ASSERT_NE(box = checkpoint(L"back"), nullptr);
  EXPECT_FALSE(IsIconic(window));
  EXPECT_TRUE(IsWindowVisible(window));
  ASSERT_TRUE(press(box, IDCANCEL));

  // delay holds the main thread: the window answers no message meanwhile.
  const DWORD delayStart = GetTickCount();
  Sleep(300);
  DWORD_PTR ignored = 0;
  EXPECT_EQ(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 300, &ignored), 0);
  ASSERT_NE(box = checkpoint(L"delayed"), nullptr);
  EXPECT_GE(GetTickCount() - delayStart, 1400u);
  ASSERT_TRUE(press(box, IDCANCEL));

  // Cancel left everything as it was at each checkpoint; OK ends the application.
  ASSERT_NE(box = checkpoint(L"Leave now?"), nullptr);
  ASSERT_TRUE(press(box, IDOK));
  EXPECT_EQ(projector.process().wait(20000), 0);
  const auto lines = projector.transcript();
  EXPECT_TRUE(failures(lines).empty()) << failures(lines).front();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("PASS ", 0) == 0; }), 2);
}

}  // namespace
}  // namespace lumo::e2e
