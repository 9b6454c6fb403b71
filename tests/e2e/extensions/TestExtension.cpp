// Extension libraries for the tests, one source built in six variants:
//   LUMO_TEST_TWO        two modules, vor.Extensions.One and vor.Extensions.Two
//   LUMO_TEST_ZERO       GetNumPlugins answers 0
//   LUMO_TEST_NOINSTANCE GetNumPlugins answers 1 but GetPluginInstance is missing
//   LUMO_TEST_REFUSING   one module, vor.Extensions.Refusing, whose registerMethods refuses
//   LUMO_TEST_MINUSONE   GetNumPlugins answers -1
//   LUMO_TEST_NULLMODULE GetNumPlugins answers 1 and GetPluginInstance a null module
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "lumo/Extension.h"
#include "TestSignal.h"

namespace {

using Arguments = std::vector<std::wstring>;

// A method answering through a function, for short tables.
class Method final : public lumo::RuntimeMethod {
 public:
  using Body = std::wstring (*)(lumo::FormInterface*, const Arguments&);
  Method(const wchar_t* name, Body body) : name_(name), body_(body) {}
  const std::wstring& invoke(lumo::FormInterface* form, const Arguments& arguments) override {
    result_ = body_(form, arguments);
    return result_;
  }
  std::wstring name() const override { return name_; }

 private:
  std::wstring name_;
  Body body_;
};

class Module final : public lumo::RuntimeModule {
 public:
  using Poll = void (*)();
  Module(const wchar_t* name, bool refuse, std::vector<std::pair<const wchar_t*, Method::Body>> methods,
         Poll onPoll = nullptr)
      : RuntimeModule(name, L"1.0.0", L"tests", true), refuse_(refuse), table_(std::move(methods)), onPoll_(onPoll) {}
  bool registerMethods() override {
    if (refuse_) return false;
    for (const auto& [name, body] : table_) addMethod(std::make_unique<Method>(name, body));
    return true;
  }
  void clearMethods() override;
  void poll() override {
    if (onPoll_) onPoll_();
  }

 private:
  bool refuse_;
  std::vector<std::pair<const wchar_t*, Method::Body>> table_;
  Poll onPoll_;
};

std::atomic<long> polls{0};
std::atomic<HWND> pollTarget{nullptr};
std::atomic<bool> inPoll{false};

// Once a movie asked for it, every poll sends a message to the calling form's window and waits
// for the main thread to answer it. When the form has been hidden (the projector is closing) it
// keeps sending, so that a send is under way while the main thread leaves its message loop and
// destroys the form: only a shutdown that serves sent messages lets this poll end.
[[maybe_unused]] void pollSendingToTheForm() {
  ++polls;
  if (HWND window = pollTarget.load()) {
    inPoll = true;
    int sends = 0;
    do {
      SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    } while (!IsWindowVisible(window) && ++sends < 50);
    inPoll = false;
  }
}

// What the runtime did at unloading, for the test to read: whether a poll was cut off in the
// middle (the poll thread terminated instead of ending).
void Module::clearMethods() {
  methods.clear();
  if (pollTarget.load()) {
    if (std::FILE* log = std::fopen("extension-unload.txt", "w")) {
      std::fprintf(log, "cleared polls %ld in-poll %s\n", polls.load(), inPoll.load() ? "yes" : "no");
      std::fclose(log);
    }
  }
}

// A menu bar put on the calling form as an extension may (File: Open 4242, a separator, Quit
// 4243), and the id of the last WM_COMMAND the form's window received, for menus chosen by
// input to be seen; the movie also hears each such command as the variable "command". And the
// test's signals (TestSignal.h) to the movie of the form that asked for them.
[[maybe_unused]] std::atomic<long> lastCommand{0};
[[maybe_unused]] std::atomic<lumo::FormInterface*> commandsForm{nullptr};
[[maybe_unused]] std::atomic<lumo::FormInterface*> signalledForm{nullptr};
[[maybe_unused]] WNDPROC formProcedure = nullptr;

[[maybe_unused]] LRESULT CALLBACK watchForm(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && HIWORD(wParam) == 0 && !lParam) {
    lastCommand = LOWORD(wParam);
    if (lumo::FormInterface* form = commandsForm.load()) form->setMovieVariable(L"command", std::to_wstring(LOWORD(wParam)));
  }
  if (message == lumo::test::kSignalMessage) {
    if (lumo::FormInterface* form = signalledForm.load())
      form->setMovieVariable(lumo::test::kSignalVariable, std::to_wstring(wParam));
    return 0;
  }
  return CallWindowProcW(formProcedure, window, message, wParam, lParam);
}

// One subclass for the one form the tests watch.
[[maybe_unused]] bool watchFormWindow(HWND window) {
  if (!formProcedure)
    formProcedure =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&watchForm)));
  return formProcedure != nullptr;
}

[[maybe_unused]] std::wstring putMenuBar(lumo::FormInterface* form, const Arguments&) {
  HWND window = form ? form->windowHandle() : nullptr;
  if (!window || commandsForm.load() || !watchFormWindow(window)) return L"false";
  HMENU bar = CreateMenu(), file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, 4242, L"&Open...\tCtrl+O");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, 4243, L"&Quit");
  AppendMenuW(bar, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
  commandsForm = form;
  return SetMenu(window, bar) ? L"true" : L"false";
}

[[maybe_unused]] std::wstring listenForSignals(lumo::FormInterface* form, const Arguments&) {
  HWND window = form ? form->windowHandle() : nullptr;
  if (!window || !watchFormWindow(window)) return L"false";
  signalledForm = form;
  return L"true";
}

#if defined(LUMO_TEST_TWO)
Module one(L"vor.Extensions.One", false,
           {{L"hello", [](lumo::FormInterface*, const Arguments& a) { return L"one:" + (a.empty() ? L"" : a[0]); }},
            {L"quote", [](lumo::FormInterface*, const Arguments&) { return std::wstring(L"say \"hi\" \\ bye"); }},
            {L"polls", [](lumo::FormInterface*, const Arguments&) { return std::to_wstring(polls.load()); }},
            {L"menuBar", putMenuBar},
            {L"signals", listenForSignals},
            {L"lastCommand", [](lumo::FormInterface*, const Arguments&) { return std::to_wstring(lastCommand.load()); }},
            {L"sendOnPoll",
             [](lumo::FormInterface* form, const Arguments&) {
               pollTarget = form ? form->windowHandle() : nullptr;
               return std::wstring(form ? L"true" : L"false");
             }}},
           &pollSendingToTheForm);
Module two(L"vor.Extensions.Two", false,
           {{L"hello", [](lumo::FormInterface*, const Arguments&) { return std::wstring(L"two"); }}});
#elif defined(LUMO_TEST_REFUSING)
Module refusing(L"vor.Extensions.Refusing", true, {});
#endif

}  // namespace

LUMO_EXTENSION_EXPORT int GetNumPlugins() {
#if defined(LUMO_TEST_TWO)
  return 2;
#elif defined(LUMO_TEST_ZERO)
  return 0;
#elif defined(LUMO_TEST_MINUSONE)
  return -1;
#else
  return 1;
#endif
}

#if !defined(LUMO_TEST_NOINSTANCE)
LUMO_EXTENSION_EXPORT lumo::RuntimeModule* GetPluginInstance(int index) {
#if defined(LUMO_TEST_TWO)
  return index == 0 ? &one : index == 1 ? &two : nullptr;
#elif defined(LUMO_TEST_REFUSING)
  return index == 0 ? &refusing : nullptr;
#else
  (void)index;
  return nullptr;
#endif
}
#endif
