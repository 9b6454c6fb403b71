// The command engine with a fake form and fake modules: the built-in bridge commands, routing
// to modules and methods, the runtime error box, the form checks, the poll thread and shutdown.
#include <gtest/gtest.h>

#include <atomic>

#include "bridge/BuiltInModules.h"
#include "bridge/CommandEngine.h"
#include "util/MessageBoxHelper.h"
#include "FakeForm.h"

namespace lumo {
namespace {

using test::FakeForm;

// Remembers what the last method call received and answers a fixed text.
class EchoMethod : public RuntimeMethod {
 public:
  EchoMethod(std::wstring methodName, std::wstring answer)
      : name_(std::move(methodName)), answer_(std::move(answer)) {}
  const std::wstring& invoke(FormInterface* form, const std::vector<std::wstring>& arguments) override {
    ++calls;
    lastForm = form;
    lastArguments = arguments;
    result_ = answer_;
    return result_;
  }
  std::wstring name() const override { return name_; }

  int calls = 0;
  FormInterface* lastForm = nullptr;
  std::vector<std::wstring> lastArguments;

 private:
  std::wstring name_, answer_;
};

class FakeModule : public RuntimeModule {
 public:
  explicit FakeModule(std::wstring moduleName, bool accept = true)
      : RuntimeModule(std::move(moduleName), L"1.0.0", L"test", true), accept_(accept) {}
  bool registerMethods() override {
    auto echo = std::make_unique<EchoMethod>(L"echo", L"\"C:\\dir\"");
    method = echo.get();
    addMethod(std::move(echo));
    return accept_;
  }
  void clearMethods() override {
    ++clears;
    RuntimeModule::clearMethods();
  }
  void poll() override { polls.fetch_add(1); }

  EchoMethod* method = nullptr;
  std::atomic<int> polls{0};
  int clears = 0;

 private:
  bool accept_;
};

// Runtime error boxes are recorded here instead of opening a modal box.
struct RecordedBox {
  std::wstring text, caption;
  UINT style = 0;
  HWND owner = nullptr;
  int count = 0;
};
RecordedBox recordedBox;

int WINAPI recordBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
  recordedBox = {text, caption, style, owner, recordedBox.count + 1};
  return IDOK;
}

class CommandEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    recordedBox = {};
    previousRoutine_ = MessageBoxHelper::instance().setRoutine(&recordBox);
    auto owned = std::make_unique<FakeModule>(L"vor.Test");
    owned->registerMethods();
    module_ = owned.get();
    engine_.registerModule(std::move(owned));
    engine_.addForm(0, &mainForm_);
    engine_.addForm(2, &otherForm_);
  }
  void TearDown() override { MessageBoxHelper::instance().setRoutine(previousRoutine_); }

  std::wstring run(const std::wstring& name, const std::wstring& formId = L"0",
                   const std::wstring& arguments = L"<{lumo}>") {
    return engine_.runCommand(name, formId, arguments);
  }

  CommandEngine engine_;
  FakeModule* module_ = nullptr;
  FakeForm mainForm_{0, L"main"};
  FakeForm otherForm_{2, L"palette", true};
  MessageBoxRoutine previousRoutine_ = nullptr;
};

TEST_F(CommandEngineTest, HasEICountsUpFromSixZeros) {
  EXPECT_EQ(run(L"vor.hasEI"), L"000000");
  EXPECT_EQ(run(L"vor.hasEI"), L"000001");
}

TEST_F(CommandEngineTest, InitformsListsFormsInIdOrderAndMarksTheCaller) {
  EXPECT_EQ(run(L"vor.initforms", L"0"),
            L"main&lt;{!z!}&gt;standard&lt;{!z!}&gt;thisForm&lt;{!z!!}&gt;"
            L"palette&lt;{!z!}&gt;transparent&lt;{!z!!}&gt;");
  EXPECT_EQ(run(L"vor.initforms", L"2"),
            L"main&lt;{!z!}&gt;standard&lt;{!z!!}&gt;"
            L"palette&lt;{!z!}&gt;transparent&lt;{!z!}&gt;thisForm&lt;{!z!!}&gt;");
}

TEST_F(CommandEngineTest, InitppsvAnswersInvalid) { EXPECT_EQ(run(L"vor.initppsv"), L"invalid"); }

TEST_F(CommandEngineTest, Flash9ReadyStopsBackslashDoubling) {
  EXPECT_EQ(run(L"vor.Test.echo"), L"&quot;C:\\\\dir&quot;");
  EXPECT_EQ(run(L"vor.flash9ready"), L"");
  EXPECT_TRUE(mainForm_.eiReady);
  EXPECT_FALSE(otherForm_.eiReady);
  EXPECT_EQ(run(L"vor.Test.echo"), L"&quot;C:\\dir&quot;");
  EXPECT_EQ(run(L"vor.flash9ready", L"9"), L"");  // an unknown form is ignored
}

TEST_F(CommandEngineTest, MethodGetsTheCallingFormAndDecodedArguments) {
  run(L"vor.Test.echo", L"2", L"&lt;{lumo}&gt;&quot;a@co@b&quot;,&quot;x&quot;");
  ASSERT_EQ(module_->method->calls, 1);
  EXPECT_EQ(module_->method->lastForm, &otherForm_);
  EXPECT_EQ(module_->method->lastArguments, (std::vector<std::wstring>{L"a,b", L"x"}));
  run(L"vor.Test.echo", L"0", L"");
  EXPECT_TRUE(module_->method->lastArguments.empty());
}

TEST_F(CommandEngineTest, HandleRequestRunsTheParsedCommand) {
  EXPECT_EQ(engine_.handleRequest(L"<invoke name=\"vor.Test.echo\" returntype=\"xml\"><arguments>"
                                  L"<string>2</string><string>&lt;{lumo}&gt;&quot;q&quot;</string>"
                                  L"</arguments></invoke>"),
            L"&quot;C:\\\\dir&quot;");
  EXPECT_EQ(module_->method->lastArguments, (std::vector<std::wstring>{L"q"}));
}

TEST_F(CommandEngineTest, UnknownFormIdDoesNotRunTheMethod) {
  EXPECT_EQ(run(L"vor.Test.echo", L"7"), L"");
  EXPECT_EQ(module_->method->calls, 0);
  EXPECT_EQ(recordedBox.count, 0);
}

TEST_F(CommandEngineTest, NameWithoutDotGivesEmptyResultAndNoBox) {
  EXPECT_EQ(run(L"nodot"), L"");
  EXPECT_EQ(recordedBox.count, 0);
}

TEST_F(CommandEngineTest, UnknownModuleShowsRuntimeErrorBox) {
  EXPECT_EQ(run(L"vor.Application"), L"");
  EXPECT_EQ(recordedBox.count, 1);
  EXPECT_EQ(recordedBox.text, L"Error: couldn't locate runtime module: vor");
  EXPECT_EQ(recordedBox.caption, L"RUNTIME ERROR");
  EXPECT_EQ(recordedBox.style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_EQ(recordedBox.owner, GetDesktopWindow());
}

TEST_F(CommandEngineTest, MethodNameIsCaseSensitive) {
  EXPECT_EQ(run(L"vor.Test.Echo"), L"");
  EXPECT_EQ(module_->method->calls, 0);
  EXPECT_EQ(recordedBox.text, L"Error: couldn't locate method 'Echo' in runtime module: vor.Test");
}

TEST_F(CommandEngineTest, FirstRegistrationOfANameIsKept) {
  FakeModule second(L"vor.Test");
  EXPECT_FALSE(engine_.registerModule(L"vor.Test", &second));
  EXPECT_EQ(engine_.findModule(L"vor.Test"), module_);
}

TEST_F(CommandEngineTest, FormsTableLookups) {
  EXPECT_EQ(engine_.findFormByName(L"palette"), &otherForm_);
  EXPECT_EQ(engine_.findFormByName(L"Palette"), nullptr);
  EXPECT_TRUE(engine_.removeForm(2));
  EXPECT_FALSE(engine_.removeForm(2));
  EXPECT_EQ(engine_.findForm(2), nullptr);
}

// Debugger output arrives as an exception that a vectored handler sees before the system
// turns it into a debug event: the wide form where the system raises it, the ANSI form always.
std::vector<std::wstring> tracedWide, tracedAnsi;
LONG CALLBACK catchTrace(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* record = info->ExceptionRecord;
  if (record->NumberParameters < 2) return EXCEPTION_CONTINUE_SEARCH;
  const size_t length = static_cast<size_t>(record->ExceptionInformation[0]) - 1;
  if (record->ExceptionCode == 0x4001000A)  // DBG_PRINTEXCEPTION_WIDE_C
    tracedWide.emplace_back(reinterpret_cast<const wchar_t*>(record->ExceptionInformation[1]), length);
  if (record->ExceptionCode == DBG_PRINTEXCEPTION_C) {
    const char* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    tracedAnsi.emplace_back(text, text + length);  // the traced texts here are ASCII
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

TEST_F(CommandEngineTest, TracesTheRequestAndTheEncodedResultWhileSomebodyListens) {
  const auto traceOf = [this] {
    tracedWide.clear();
    tracedAnsi.clear();
    PVOID handler = AddVectoredExceptionHandler(1, catchTrace);
    run(L"vor.Test.echo", L"0", L"<{lumo}>a");
    RemoveVectoredExceptionHandler(handler);
    return tracedWide.empty() ? tracedAnsi : tracedWide;
  };
  Sleep(60);  // a listener check of an earlier test runs out
  EXPECT_TRUE(traceOf().empty()) << "trace lines written with nobody listening";

  // A DBWIN listener announces itself with this event; the engine looks for it every 50 ms.
  HANDLE listener = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY");
  ASSERT_NE(listener, nullptr);
  Sleep(60);
  const std::vector<std::wstring> traced = traceOf();
  CloseHandle(listener);
  EXPECT_EQ(traced, (std::vector<std::wstring>{L"vor.Test.echo - <{lumo}>a\n",
                                               L"\n&quot;C:\\\\dir&quot;\nsize = 19\n"}));
}

TEST_F(CommandEngineTest, PollThreadPollsEvery40MsOnceEnabledAndStops) {
  ASSERT_TRUE(engine_.startPollThread());
  Sleep(150);
  EXPECT_EQ(module_->polls.load(), 0);  // start-up not complete yet
  engine_.setPollingEnabled(true);
  Sleep(420);
  const int polls = module_->polls.load();
  EXPECT_GE(polls, 5);
  EXPECT_LE(polls, 15);
  const DWORD before = GetTickCount();
  engine_.stopPollThread();
  EXPECT_LT(GetTickCount() - before, 1000u);
  EXPECT_FALSE(engine_.pollThreadRunning());
  const int afterStop = module_->polls.load();
  Sleep(120);
  EXPECT_EQ(module_->polls.load(), afterStop);
}

class StuckModule : public FakeModule {
 public:
  StuckModule() : FakeModule(L"vor.Stuck") {}
  void poll() override {
    entered = true;
    Sleep(INFINITE);
  }
  std::atomic<bool> entered{false};
};

TEST_F(CommandEngineTest, StopTerminatesAPollThatNeverReturns) {
  StuckModule stuck;
  engine_.registerModule(stuck.name, &stuck);
  engine_.setPollStopTimeout(200);
  engine_.setPollingEnabled(true);
  ASSERT_TRUE(engine_.startPollThread());
  for (int i = 0; i < 100 && !stuck.entered; ++i) Sleep(10);
  ASSERT_TRUE(stuck.entered);
  const DWORD before = GetTickCount();
  engine_.stopPollThread();
  const DWORD waited = GetTickCount() - before;
  EXPECT_GE(waited, 150u);
  EXPECT_LT(waited, 2000u);
  EXPECT_FALSE(engine_.pollThreadRunning());
}

TEST_F(CommandEngineTest, UnloadAllClearsPluginsAndEmptiesEveryTable) {
  FakeModule plugin(L"vor.Extensions.Demo");
  plugin.registerMethods();
  auto library = std::make_unique<ExtensionLibrary>();
  library->plugins.push_back(&plugin);
  engine_.addExtensionLibrary(std::move(library));
  engine_.registerModule(plugin.name, &plugin);
  ASSERT_TRUE(engine_.startPollThread());

  engine_.unloadAll();
  EXPECT_FALSE(engine_.pollThreadRunning());
  EXPECT_EQ(plugin.clears, 1);
  EXPECT_TRUE(plugin.methods.empty());
  EXPECT_TRUE(engine_.modules().empty());
  EXPECT_TRUE(engine_.forms().empty());
  EXPECT_EQ(run(L"vor.Test.echo"), L"");
  EXPECT_EQ(recordedBox.text, L"Error: couldn't locate runtime module: vor.Test");
}

TEST(BuiltInModules, RegisterInOrderByModeAndStopAtARefusal) {
  static std::vector<std::wstring> created;
  created.clear();
  const BuiltInModule table[] = {
      {L"a", BuiltInModule::When::Always,
       [] { created.push_back(L"a"); return std::unique_ptr<RuntimeModule>(new FakeModule(L"a")); }},
      {L"k", BuiltInModule::When::KioskMode,
       [] { created.push_back(L"k"); return std::unique_ptr<RuntimeModule>(new FakeModule(L"k")); }},
      {L"s", BuiltInModule::When::ScreensaverMode,
       [] { created.push_back(L"s"); return std::unique_ptr<RuntimeModule>(new FakeModule(L"s")); }},
      {L"missing", BuiltInModule::When::Always, nullptr},
      {L"t", BuiltInModule::When::Always,
       [] { created.push_back(L"t"); return std::unique_ptr<RuntimeModule>(new FakeModule(L"t")); }},
  };
  CommandEngine engine;
  EXPECT_TRUE(registerBuiltInModules(engine, false, true, table));
  EXPECT_EQ(created, (std::vector<std::wstring>{L"a", L"s", L"t"}));
  EXPECT_NE(engine.findModule(L"s"), nullptr);
  EXPECT_EQ(engine.findModule(L"k"), nullptr);

  const BuiltInModule refusing[] = {
      {L"r", BuiltInModule::When::Always,
       [] { return std::unique_ptr<RuntimeModule>(new FakeModule(L"r", false)); }},
      {L"after", BuiltInModule::When::Always,
       [] { return std::unique_ptr<RuntimeModule>(new FakeModule(L"after")); }},
  };
  CommandEngine second;
  EXPECT_FALSE(registerBuiltInModules(second, false, false, refusing));
  EXPECT_TRUE(second.modules().empty());
}

}  // namespace
}  // namespace lumo
