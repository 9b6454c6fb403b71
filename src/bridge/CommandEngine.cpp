// Command engine: routes a movie's command to its module and method, answers the built-in
// bridge commands, encodes every result, and polls the modules on its own thread.
#include "bridge/CommandEngine.h"

#include "CallBoundary.h"

#include <cwchar>

#include "bridge/CommandRequest.h"
#include "bridge/ResultEncoding.h"
#include "bridge/Tokens.h"
#include "bridge/ValueFormat.h"
#include "lumo/FormInterface.h"
#include "util/DebugOutput.h"
#include "util/MessageBoxHelper.h"

namespace lumo {
namespace {

constexpr DWORD kPollIntervalMs = 40;


}  // namespace

CommandEngine& CommandEngine::instance() {
  static CommandEngine engine;
  return engine;
}

CommandEngine::CommandEngine() : declarationSource_([] { return DeclarationValues::fromSystem(); }) {}

CommandEngine::~CommandEngine() { stopPollThread(); }

bool CommandEngine::registerModule(std::unique_ptr<RuntimeModule> module) {
  if (!module || !registerModule(module->name, module.get())) return false;
  ownedModules_.push_back(std::move(module));
  return true;
}

bool CommandEngine::registerModule(const std::wstring& name, RuntimeModule* module) {
  return modules_.try_emplace(name, module).second;
}

RuntimeModule* CommandEngine::findModule(const std::wstring& name) const {
  auto it = modules_.find(name);
  return it == modules_.end() ? nullptr : it->second;
}

void CommandEngine::unregisterModule(const std::wstring& name) { modules_.erase(name); }

void CommandEngine::addForm(int formId, FormInterface* form) {
  std::lock_guard<std::mutex> guard(formsLock_);
  forms_[formId] = form;
}

bool CommandEngine::removeForm(int formId) {
  std::lock_guard<std::mutex> guard(formsLock_);
  return forms_.erase(formId) != 0;
}

FormInterface* CommandEngine::findForm(int formId) const {
  std::lock_guard<std::mutex> guard(formsLock_);
  auto it = forms_.find(formId);
  return it == forms_.end() ? nullptr : it->second;
}

FormInterface* CommandEngine::findFormByName(const std::wstring& name) const {
  for (const auto& [id, form] : forms_)
    if (form && form->name == name) return form;
  return nullptr;
}

void CommandEngine::addExtensionLibrary(std::unique_ptr<ExtensionLibrary> library) {
  extensions_.push_back(std::move(library));
}

void CommandEngine::setDeclarationSource(std::function<DeclarationValues()> source) {
  declarationSource_ = std::move(source);
}

std::wstring CommandEngine::handleRequest(const std::wstring& request) {
  const CommandRequest parsed = parseCommandRequest(request);
  return runCommand(parsed.name, parsed.formId, parsed.arguments);
}

std::wstring CommandEngine::runCommand(const std::wstring& name, const std::wstring& formIdText,
                                       const std::wstring& argumentText) {
  // The trace lines are only put together when somebody reads them.
  const bool traced = debugOutputListened();
  if (traced) debugOutput(name + L" - " + argumentText + L"\n");
  const std::wstring result = runBuiltInOrModule(name, formIdText, argumentText);
  // Backslashes are doubled only for a live form that is not EI-ready.
  const FormInterface* form = findForm(static_cast<int>(toInteger(formIdText)));
  const std::wstring encoded = encodeResult(result, form == nullptr || form->eiReady.load());
  if (traced) debugOutput(L"\n" + encoded + L"\nsize = " + formatInteger(static_cast<long>(encoded.size())) + L"\n");
  return encoded;
}

std::wstring CommandEngine::runBuiltInOrModule(const std::wstring& name, const std::wstring& formIdText,
                                               const std::wstring& argumentText) {
  if (name == L"vor.hasEI") {
    wchar_t counter[16];
    std::swprintf(counter, 16, L"%.6d", hasEICounter_++);
    return counter;
  }
  if (name == L"vor.initialise") return declarationString();
  if (name == L"vor.initforms") return initforms(formIdText);
  if (name == L"vor.initppsv") return L"invalid";
  if (name == L"vor.flash9ready") {
    if (FormInterface* form = findForm(static_cast<int>(toInteger(formIdText)))) form->eiReady = true;
    // Wakes the message loop, which delivers events held until the movie listens.
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
    return {};
  }

  const size_t dot = name.rfind(L'.');
  if (dot == std::wstring::npos) return {};
  const std::wstring moduleName = name.substr(0, dot);
  const std::wstring methodName = name.substr(dot + 1);

  auto moduleEntry = modules_.find(moduleName);
  if (moduleEntry == modules_.end()) {
    showRuntimeError(L"Error: couldn't locate runtime module: " + moduleName);
    return {};
  }
  RuntimeModule* module = moduleEntry->second;
  if (!module) return {};  // a name present with no module object: quietly nothing
  RuntimeMethod* method = module->findMethod(methodName);
  if (!method) {
    showRuntimeError(L"Error: couldn't locate method '" + methodName + L"' in runtime module: " + moduleName);
    return {};
  }

  const std::vector<std::wstring> arguments = decodeArgumentList(argumentText);
  FormInterface* form = findForm(static_cast<int>(toInteger(formIdText)));
  if (!form) return {};
  return std::wstring(method->invoke(form, arguments));  // the method reuses its buffer
}

std::wstring CommandEngine::initforms(const std::wstring& formIdText) const {
  const long callerId = toInteger(formIdText);
  std::wstring reply;
  for (const auto& [id, form] : forms_) {
    if (!form) continue;
    reply += form->name;
    reply += tokens::kRecordEnd;
    reply += form->transparent ? L"transparent" : L"standard";
    if (id == callerId) {
      reply += tokens::kRecordEnd;
      reply += L"thisForm";
    }
    reply += tokens::kClassEnd;
  }
  return reply;
}

std::wstring CommandEngine::declarationString() const {
  std::vector<std::wstring> names;
  names.reserve(modules_.size());
  for (const auto& entry : modules_) names.push_back(entry.first);
  return buildDeclarationString(names, declarationSource_());
}

void CommandEngine::showRuntimeError(const std::wstring& text) const {
  MessageBoxHelper::instance().show(text, L"RUNTIME ERROR", MessageBoxFlag::kWarning | MessageBoxFlag::kOk);
}

bool CommandEngine::startPollThread() {
  if (pollThread_) return true;
  // The event is private to this process: a shared name would let one projector's shutdown
  // stop the polling of another one running at the same time.
  wchar_t eventName[64];
  std::swprintf(eventName, 64, L"CommandThreadQuitEvent.%lu", GetCurrentProcessId());
  quitEvent_.reset(CreateEventW(nullptr, TRUE, FALSE, eventName));
  if (!quitEvent_) return false;
  ResetEvent(quitEvent_.get());
  pollThread_.reset(CreateThread(nullptr, 0, &CommandEngine::pollThreadMain, this, 0, &pollThreadId_));
  if (!pollThread_) {
    quitEvent_.reset();
    return false;
  }
  return true;
}

DWORD WINAPI CommandEngine::pollThreadMain(LPVOID engine) {
  return atBoundary("command poll thread", DWORD{1}, [&]() -> DWORD {
    static_cast<CommandEngine*>(engine)->pollLoop();
    return 0;
  });
}

void CommandEngine::pollLoop() {
  for (;;) {
    if (WaitForSingleObject(quitEvent_.get(), 0) == WAIT_OBJECT_0) return;
    if (pollingEnabled_.load(std::memory_order_relaxed))
      for (const auto& entry : modules_)
        if (entry.second) entry.second->poll();
    // Sleeping on the event keeps the 40 ms rhythm and lets a stop end the wait at once.
    if (WaitForSingleObject(quitEvent_.get(), kPollIntervalMs) == WAIT_OBJECT_0) return;
  }
}

// A plug-in's poll may be inside a SendMessage to a window of this thread (the main form, say):
// the wait serves such messages, or the poll could never return and the stop would end in
// the thread's termination after the whole timeout.
bool CommandEngine::waitServingSentMessages(HANDLE thread, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
    const DWORD woken = MsgWaitForMultipleObjects(1, &thread, FALSE, left, QS_SENDMESSAGE);
    if (woken == WAIT_OBJECT_0) return true;
    if (woken != WAIT_OBJECT_0 + 1) return false;  // timed out or failed
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // runs the sent ones
  }
}

void CommandEngine::stopPollThread() {
  if (pollThread_) {
    SetEvent(quitEvent_.get());
    if (!waitServingSentMessages(pollThread_.get(), pollStopTimeout_)) {
      DWORD exitCode = 0;
      if (GetExitCodeThread(pollThread_.get(), &exitCode)) TerminateThread(pollThread_.get(), exitCode);
    }
  }
  pollThread_.reset();
  pollThreadId_ = 0;
  quitEvent_.reset();
}

void CommandEngine::unloadAll() {
  stopPollThread();  // the thread reads the tables that are emptied below
  for (auto& library : extensions_) library->unload();
  extensions_.clear();
  modules_.clear();
  {
    std::lock_guard<std::mutex> guard(formsLock_);
    forms_.clear();
  }
  mainForm_ = nullptr;
  ownedModules_.clear();
}

}  // namespace lumo
