// The process-wide registry through which a movie reaches native code: runtime modules, forms,
// extension libraries, the built-in bridge commands and the command poll thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "bridge/DeclarationTable.h"
#include "bridge/ExtensionLibrary.h"
#include "lumo/RuntimeModule.h"
#include "UniqueHandle.h"

namespace lumo {

class FormInterface;

class CommandEngine {
 public:
  static CommandEngine& instance();

  CommandEngine();  // the process has one (instance()); tests make their own
  ~CommandEngine();
  CommandEngine(const CommandEngine&) = delete;
  CommandEngine& operator=(const CommandEngine&) = delete;

  // Built-in modules, owned by the engine. False (and the module is dropped) when the name is
  // taken: the first registration keeps it.
  bool registerModule(std::unique_ptr<RuntimeModule> module);
  // Plug-in modules, owned by their library.
  bool registerModule(const std::wstring& name, RuntimeModule* module);
  RuntimeModule* findModule(const std::wstring& name) const;
  void unregisterModule(const std::wstring& name);
  const std::map<std::wstring, RuntimeModule*>& modules() const { return modules_; }

  // The forms table changes on the main thread only; findForm also serves timer ticks, so the
  // changes and findForm take a lock.
  void addForm(int formId, FormInterface* form);
  bool removeForm(int formId);
  FormInterface* findForm(int formId) const;
  FormInterface* findFormByName(const std::wstring& name) const;
  const std::map<int, FormInterface*>& forms() const { return forms_; }

  // Start-up sets these once the main form is shown; the poll thread polls only from then.
  void setMainForm(FormInterface* form) { mainForm_ = form; }
  FormInterface* mainForm() const { return mainForm_; }
  void setPollingEnabled(bool enabled) { pollingEnabled_.store(enabled, std::memory_order_relaxed); }

  // The encoded result text; the host wraps it in <string> and </string>.
  std::wstring runCommand(const std::wstring& name, const std::wstring& formIdText,
                          const std::wstring& argumentText);
  std::wstring handleRequest(const std::wstring& request);

  // Extension libraries, in load order.
  void addExtensionLibrary(std::unique_ptr<ExtensionLibrary> library);
  // Loads every ".vdd" library of `directory` in listing order, stopping at the first that
  // fails; true when all loaded and the poll thread was started.
  bool loadExtensions(const std::wstring& directory);
  // Loads one library and registers its plug-in modules; on failure nothing of it stays.
  bool loadExtension(const std::wstring& path);
  const std::vector<std::unique_ptr<ExtensionLibrary>>& extensionLibraries() const { return extensions_; }

  // Starts the command poll thread with its quit event; false when either cannot be made.
  bool startPollThread();
  bool pollThreadRunning() const { return static_cast<bool>(pollThread_); }
  void stopPollThread();
  // Shutdown: stops the poll thread, unloads the extension libraries, empties every table.
  void unloadAll();

  // Where "vor.initialise" reads its run-time values; the system by default.
  void setDeclarationSource(std::function<DeclarationValues()> source);
  // How long stopPollThread waits before terminating the thread (10 s).
  void setPollStopTimeout(DWORD milliseconds) { pollStopTimeout_ = milliseconds; }

 private:
  std::wstring runBuiltInOrModule(const std::wstring& name, const std::wstring& formIdText,
                                  const std::wstring& argumentText);
  std::wstring initforms(const std::wstring& formIdText) const;
  std::wstring declarationString() const;
  void showRuntimeError(const std::wstring& text) const;
  static DWORD WINAPI pollThreadMain(LPVOID engine);
  static bool waitServingSentMessages(HANDLE thread, DWORD timeoutMs);
  void pollLoop();

  std::vector<std::unique_ptr<ExtensionLibrary>> extensions_;
  std::map<std::wstring, RuntimeModule*> modules_;
  std::vector<std::unique_ptr<RuntimeModule>> ownedModules_;
  std::map<int, FormInterface*> forms_;
  mutable std::mutex formsLock_;
  FormInterface* mainForm_ = nullptr;
  std::atomic<bool> pollingEnabled_{false};
  UniqueKernelHandle pollThread_;
  DWORD pollThreadId_ = 0;
  UniqueKernelHandle quitEvent_;
  DWORD pollStopTimeout_ = 10000;
  int hasEICounter_ = 0;
  std::function<DeclarationValues()> declarationSource_;
};

}  // namespace lumo
