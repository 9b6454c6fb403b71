// Extension libraries for the end-to-end tests, one source built as several .vdd files; the
// compile definition PROBE_KIND picks what the library does:
//   1 two modules, vor.Extensions.ProbeA and vor.Extensions.ProbeB
//   2 GetNumPlugins answers 0 (and GetPluginInstance is not exported)
//   3 one module, vor.Extensions.Refused, whose registerMethods refuses
//   4 GetNumPlugins answers 1, but GetPluginInstance is not exported
// ProbeA's methods: echo (answers its own name, "=", the arguments joined by "|"), polls (how
// often it was polled), pollThread ("other" when polls ran off the calling thread), and
// watchClose: from then on every poll sends the calling form a message.
#include <lumo/Extension.h>

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

namespace {

class ProbeModule;

class ProbeMethod : public lumo::RuntimeMethod {
 public:
  ProbeMethod(ProbeModule& module, std::wstring methodName) : module_(module), name_(std::move(methodName)) {}
  const std::wstring& invoke(lumo::FormInterface* form, const std::vector<std::wstring>& arguments) override;
  std::wstring name() const override { return name_; }

 private:
  ProbeModule& module_;
  std::wstring name_;
};

class ProbeModule : public lumo::RuntimeModule {
 public:
  ProbeModule(const wchar_t* moduleName, bool refuse) : RuntimeModule(moduleName, L"1.0.0", L"tests", true), refuse_(refuse) {}

  bool registerMethods() override {
    if (refuse_) return false;
    for (const wchar_t* method : {L"echo", L"polls", L"pollThread", L"watchClose"})
      addMethod(std::make_unique<ProbeMethod>(*this, method));
    return true;
  }

  void poll() override {
    polls.fetch_add(1);
    pollThreadId.store(GetCurrentThreadId());
    // Once watching, each poll takes 3 s and then sends to the form: a projector that closes
    // meanwhile stops the poll thread while it is in here, about to send to a window whose
    // thread is waiting for it.
    if (HWND window = watched.load()) {
      Sleep(3000);
      SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    }
  }

  std::atomic<long> polls{0};
  std::atomic<DWORD> pollThreadId{0};
  std::atomic<HWND> watched{nullptr};

 private:
  bool refuse_;
};

const std::wstring& ProbeMethod::invoke(lumo::FormInterface* form, const std::vector<std::wstring>& arguments) {
  result_.clear();
  if (name_ == L"echo") {
    result_ = module_.name + L"=";
    for (size_t i = 0; i < arguments.size(); ++i) result_ += (i ? L"|" : L"") + arguments[i];
  } else if (name_ == L"polls") {
    result_ = std::to_wstring(module_.polls.load());
  } else if (name_ == L"pollThread") {
    const DWORD poller = module_.pollThreadId.load();
    result_ = poller == 0 ? L"none" : poller == GetCurrentThreadId() ? L"same" : L"other";
  } else if (name_ == L"watchClose") {
    module_.watched.store(form->windowHandle());
    result_ = L"watching";
  }
  return result_;
}

#if PROBE_KIND == 1
ProbeModule probeA(L"vor.Extensions.ProbeA", false);
ProbeModule probeB(L"vor.Extensions.ProbeB", false);
#elif PROBE_KIND == 3
ProbeModule refused(L"vor.Extensions.Refused", true);
#endif

}  // namespace

int GetNumPlugins() {
#if PROBE_KIND == 1
  return 2;
#elif PROBE_KIND == 2
  return 0;
#else
  return 1;
#endif
}

#if PROBE_KIND == 1
lumo::RuntimeModule* GetPluginInstance(int index) { return index == 0 ? &probeA : index == 1 ? &probeB : nullptr; }
#elif PROBE_KIND == 3
lumo::RuntimeModule* GetPluginInstance(int index) { return index == 0 ? &refused : nullptr; }
#endif
