// Events to the movie from real projectors: the legacy call and the dispatcher call of each,
// by the call variable before "vor.flash9ready" and by the AS3 callback after it.
#include "forms/FormsFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace lumo::e2e {
namespace {

const std::string kSep = "!}}v{}!";

std::string setVariable(const std::string& value) {
  return "setvariable \"vor.__callFunction\" \"" + transcriptQuoted(value) + "\"";
}

std::string dispatch(const std::string& type, const std::string& properties) {
  return "vor.__dispatchEvent" + kSep + type + kSep + "Application" + kSep + kSep + properties;
}

std::string sizes(const std::string& name, int cw, int ch, int w, int h) {
  return "formname<{z}>" + name + "<{!z!}>clientWidth<{z}>" + std::to_string(cw) + "<{!z!}>clientHeight<{z}>" +
         std::to_string(ch) + "<{!z!}>width<{z}>" + std::to_string(w) + "<{!z!}>height<{z}>" + std::to_string(h);
}

// The index of the first line equal to `line` at or after `from`, or -1.
long find(const std::vector<std::string>& lines, const std::string& line, size_t from = 0) {
  for (size_t i = from; i < lines.size(); ++i)
    if (lines[i] == line) return static_cast<long>(i);
  return -1;
}

// Does `first` appear with `second` on the very next line?
bool pair(const std::vector<std::string>& lines, const std::string& first, const std::string& second) {
  for (long i = find(lines, first); i >= 0; i = find(lines, first, static_cast<size_t>(i) + 1))
    if (static_cast<size_t>(i) + 1 < lines.size() && lines[static_cast<size_t>(i) + 1] == second) return true;
  return false;
}

class FormsEvents : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    // A borderless window: its client area is its window rectangle.
    const std::string script =
        "wait 300\n"
        "user resize 640 480\n"
        "user move 0 0\n"
        // The drop is posted: its legacy call and its dispatcher call come later, from the
        // message loop, and the movie waits for both before it becomes EI-ready.
        "watch vor.__callFunction\n"
        "user drop \"C:\\\\a.txt\" \"C:\\\\b.txt\"\n"
        "wait-for vor.__callFunction 2\n"
        "callback VORAS3EVENTCALLBACK\n"
        "call vor.flash9ready 0 \"<{lumo}>\"\n"
        "user move 100 100\n"
        "user resize 600 400\n"
        "user maximize\n"
        "user restore\n"
        "user minimize\n"
        "user restore\n"
        "wait 300\n"
        "log events done\n"
        "call vor.Application.exitWithCode 0 \"<{lumo}>3\"\n";
    projector_ = new FormsProjector({{L"main.swf", script}},
                                    R"({"title": "Events", "forms": [{"name": "main", "movie": "main.swf",
                                       "x": 100, "y": 100, "width": 320, "height": 240, "borderStyle": "none",
                                       "visibleAtStart": true}]})");
    if (projector_->built() && projector_->start()) {
      // Files drop only onto a window that accepts them; an extension module would switch that on
      // through the form (DragAcceptFiles), and the test does it in its place before the drop.
      // (The form's caption is empty: it is found by its class; the suites run one at a time.)
      HWND form = nullptr;
      for (int tries = 0; !form && tries < 300; ++tries) {
        form = FindWindowW(L"VORLUMO3WINDOW", nullptr);
        if (!form) Sleep(50);
      }
      if (form) SetWindowLongPtrW(form, GWL_EXSTYLE, GetWindowLongPtrW(form, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
      projector_->waitFor("log \"events done\"", 30000);
    }
    exitCode_ = projector_->process().wait(20000);
    lines_ = projector_->transcript();
    if (!exitCode_) projector_->process().kill();
  }
  static void TearDownTestSuite() {
    delete projector_;
    projector_ = nullptr;
  }

  static FormsProjector* projector_;
  static std::vector<std::string> lines_;
  static std::optional<int> exitCode_;
};

FormsProjector* FormsEvents::projector_ = nullptr;
std::vector<std::string> FormsEvents::lines_;
std::optional<int> FormsEvents::exitCode_;

TEST_F(FormsEvents, ResizeOfAFormThatIsNotEiReadySetsTheCallVariableTwice) {
  ASSERT_NE(find(lines_, "log \"events done\""), -1) << "the movie ran to its end";
  EXPECT_EQ(exitCode_, 3) << "and ended the process with its exit code";
  EXPECT_TRUE(pair(lines_, setVariable("onFormResize" + kSep + "main" + kSep + "640" + kSep + "480" + kSep + "640" +
                                       kSep + "480"),
                   setVariable(dispatch("FormResize", sizes("main", 640, 480, 640, 480)))));
}

TEST_F(FormsEvents, AfterFlash9ReadyTheLegacyCallIsTheAs3CallbackAndTheDispatcherStillAVariable) {
  const std::string callback = "callfunction \"" +
                               transcriptQuoted("<invoke name=\"VORAS3EVENTCALLBACK\"><arguments><string>onFormResize" +
                                                kSep + "main" + kSep + "600" + kSep + "400" + kSep + "600" + kSep +
                                                "400</string></arguments></invoke>") +
                               "\" -> \"<undefined/>\"";
  EXPECT_TRUE(pair(lines_, callback, setVariable(dispatch("FormResize", sizes("main", 600, 400, 600, 400)))));
  EXPECT_EQ(find(lines_, setVariable("onFormResize" + kSep + "main" + kSep + "600" + kSep + "400" + kSep + "600" +
                                     kSep + "400")),
            -1);
}

TEST_F(FormsEvents, TwoDroppedFilesGiveTheJoinedListAndAnArrayPayload) {
  auto dropLines = [] {
    std::string text;
    for (const std::string& l : lines_)
      if (l.find("drop") != std::string::npos) text += l + "\n";
    return text;
  };
  EXPECT_TRUE(pair(lines_, setVariable("onDragDrop" + kSep + "C:\\a.txt|C:\\b.txt"),
                   setVariable(dispatch("DragDrop", "files<{z}>[\"C:\\\\a.txt\",\"C:\\\\b.txt\"]"))))
      << dropLines();
}

TEST_F(FormsEvents, TheWorkAreasTopLeftCornerHitsLeftThenTop) {
  const std::string hit = "0" + kSep + "1";
  const long left = find(lines_, setVariable("onLeftHit" + kSep + hit));
  const long top = find(lines_, setVariable("onTopHit" + kSep + hit));
  ASSERT_NE(left, -1);
  ASSERT_NE(top, -1);
  EXPECT_LT(left, top);
  EXPECT_EQ(lines_[static_cast<size_t>(left) + 1], setVariable(dispatch("LeftHit", "status<{z}>true")));
  EXPECT_EQ(find(lines_, setVariable("onRightHit" + kSep + hit)), -1);
  EXPECT_EQ(find(lines_, setVariable("onBottomHit" + kSep + hit)), -1);
}

TEST_F(FormsEvents, AMoveRaisesFormRepositionWithTheWindowsEdges) {
  EXPECT_TRUE(pair(lines_, setVariable("onFormReposition" + kSep + "main" + kSep + "0" + kSep + "0"),
                   setVariable(dispatch("FormReposition", "formname<{z}>main<{!z!}>x<{z}>0<{!z!}>y<{z}>0"))));
}

std::string callbackOf(const std::string& handler) {
  return "callfunction \"" +
         transcriptQuoted("<invoke name=\"VORAS3EVENTCALLBACK\"><arguments><string>" + handler + kSep);
}

TEST_F(FormsEvents, MaximizeAndRestoreReachTheMovieAndTheMainFormAlsoRestoresTheApplication) {
  // Resizes restore too (SIZE_RESTORED): look only after the maximize.
  const auto first = [](const std::vector<std::string>& lines, const std::string& prefix, long from) {
    for (size_t i = static_cast<size_t>(from < 0 ? 0 : from); i < lines.size(); ++i)
      if (lines[i].rfind(prefix, 0) == 0) return static_cast<long>(i);
    return -1L;
  };
  const long maximized = first(lines_, callbackOf("onFormMaximize") + transcriptQuoted("main" + kSep), 0);
  ASSERT_NE(maximized, -1);
  const std::string dispatcher = setVariable(dispatch("FormMaximize", "formname<{z}>main"));
  EXPECT_EQ(lines_[static_cast<size_t>(maximized) + 1].rfind(dispatcher.substr(0, dispatcher.size() - 1), 0), 0u);
  const long restored = first(lines_, callbackOf("onFormRestore") + transcriptQuoted("main" + kSep), maximized);
  ASSERT_NE(restored, -1);
  EXPECT_NE(first(lines_, callbackOf("onAppRestore") + "true", restored), -1)
      << "the main form's restore is also the application's";
}

// The dispatcher line (without its closing quote) right after the first line starting with
// `legacy`, from `from` on; -1 when there is none.
long legacyThenDispatcher(const std::vector<std::string>& lines, const std::string& legacy,
                          const std::string& dispatcher, size_t from = 0) {
  const std::string prefix = setVariable(dispatcher).substr(0, setVariable(dispatcher).size() - 1);
  for (size_t i = from; i + 1 < lines.size(); ++i)
    if (lines[i].rfind(legacy, 0) == 0 && lines[i + 1].rfind(prefix, 0) == 0) return static_cast<long>(i);
  return -1;
}

TEST_F(FormsEvents, MinimizeAndTheApplicationsFocusCarryTheirPayloads) {
  // The main form's minimize: its sizes, then the application's minimize.
  const long minimized = legacyThenDispatcher(lines_, callbackOf("onFormMinimize") + transcriptQuoted("main" + kSep),
                                              dispatch("FormMinimize", "formname<{z}>main<{!z!}>clientWidth<{z}>"));
  ASSERT_NE(minimized, -1);
  const std::string& payload = lines_[static_cast<size_t>(minimized) + 1];
  for (const char* key : {"<{!z!}>clientHeight<{z}>", "<{!z!}>width<{z}>", "<{!z!}>height<{z}>"})
    EXPECT_NE(payload.find(key), std::string::npos) << payload;
  EXPECT_NE(legacyThenDispatcher(lines_, callbackOf("onAppMinimize") + "true",
                                 dispatch("AppMinimize", "status<{z}>true"), static_cast<size_t>(minimized)),
            -1);
  // The application's focus, before or after flash9ready: its status in both calls.
  bool seen = false;
  for (const char* status : {"true", "false"}) {
    const std::string dispatcher = dispatch("AppChangeFocus", std::string("status<{z}>") + status);
    seen |= legacyThenDispatcher(lines_, setVariable("onAppChangeFocus" + kSep + status), dispatcher) != -1 ||
            legacyThenDispatcher(lines_, callbackOf("onAppChangeFocus") + status, dispatcher) != -1;
  }
  EXPECT_TRUE(seen) << "no AppChangeFocus with its status";
}

}  // namespace
}  // namespace lumo::e2e
