// A sample extension library: the module vor.Extensions.Demo, which a movie sees as
// vor.Extensions.Demo and calls like any built-in module.
//   echo(args...)         the arguments joined by commas
//   pollCount()           how many times the runtime has polled the module so far
//   setCallerTitle(text)  sets the calling form's window title; answers the title it now has
//   callerName()          the calling form's name and id, "main#0"
#include <lumo/Extension.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace {

// Each method keeps its answer in its own result buffer, as the runtime expects.
class Echo : public lumo::RuntimeMethod {
 public:
  const std::wstring& invoke(lumo::FormInterface*, const std::vector<std::wstring>& arguments) override {
    result_.clear();
    for (size_t i = 0; i < arguments.size(); ++i) result_ += (i ? L"," : L"") + arguments[i];
    return result_;
  }
  std::wstring name() const override { return L"echo"; }
};

class PollCount : public lumo::RuntimeMethod {
 public:
  explicit PollCount(const std::atomic<long>& polls) : polls_(polls) {}
  const std::wstring& invoke(lumo::FormInterface*, const std::vector<std::wstring>&) override {
    result_ = std::to_wstring(polls_.load());
    return result_;
  }
  std::wstring name() const override { return L"pollCount"; }

 private:
  const std::atomic<long>& polls_;
};

class SetCallerTitle : public lumo::RuntimeMethod {
 public:
  const std::wstring& invoke(lumo::FormInterface* form, const std::vector<std::wstring>& arguments) override {
    result_.clear();
    if (arguments.empty()) return result_;  // too few arguments: the empty answer, as built-ins do
    form->setTitle(arguments[0]);
    result_ = form->windowText();
    return result_;
  }
  std::wstring name() const override { return L"setCallerTitle"; }
};

class CallerName : public lumo::RuntimeMethod {
 public:
  const std::wstring& invoke(lumo::FormInterface* form, const std::vector<std::wstring>&) override {
    result_ = form->name + L"#" + std::to_wstring(form->id());
    return result_;
  }
  std::wstring name() const override { return L"callerName"; }
};

class DemoModule : public lumo::RuntimeModule {
 public:
  DemoModule() : RuntimeModule(L"vor.Extensions.Demo", L"1.0.0", L"Lumo sample", true) {}

  bool registerMethods() override {
    addMethod(std::make_unique<Echo>());
    addMethod(std::make_unique<PollCount>(polls_));
    addMethod(std::make_unique<SetCallerTitle>());
    addMethod(std::make_unique<CallerName>());
    return true;
  }
  // Runs on the runtime's poll thread while the methods run on the main thread: the counter
  // is the only state they share, and it is atomic.
  void poll() override { polls_.fetch_add(1, std::memory_order_relaxed); }

 private:
  std::atomic<long> polls_{0};
};

DemoModule demo;  // lives as long as the library is loaded

}  // namespace

int GetNumPlugins() { return 1; }

lumo::RuntimeModule* GetPluginInstance(int index) { return index == 0 ? &demo : nullptr; }
