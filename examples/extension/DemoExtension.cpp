// vor.Extensions.Demo: a small extension module. Movies see it as the class Extensions.Demo and
// call its methods like any other: echo its arguments, count the polls it received, and set the
// calling form's caption through the form interface.
#include <atomic>
#include <string>
#include <vector>

#include "lumo/Extension.h"

namespace {

std::atomic<long> polls{0};

class Echo final : public lumo::RuntimeMethod {
 public:
  const std::wstring& invoke(lumo::FormInterface*, const std::vector<std::wstring>& arguments) override {
    result_.clear();
    for (const std::wstring& argument : arguments) result_ += (result_.empty() ? L"" : L",") + argument;
    return result_;
  }
  std::wstring name() const override { return L"echo"; }
};

class PollCount final : public lumo::RuntimeMethod {
 public:
  const std::wstring& invoke(lumo::FormInterface*, const std::vector<std::wstring>&) override {
    result_ = std::to_wstring(polls.load());
    return result_;
  }
  std::wstring name() const override { return L"pollCount"; }
};

class SetCallerTitle final : public lumo::RuntimeMethod {
 public:
  const std::wstring& invoke(lumo::FormInterface* form, const std::vector<std::wstring>& arguments) override {
    result_ = L"false";
    if (form && !arguments.empty()) {
      form->setTitle(arguments[0]);
      result_ = L"true";
    }
    return result_;
  }
  std::wstring name() const override { return L"setCallerTitle"; }
};

class DemoModule final : public lumo::RuntimeModule {
 public:
  DemoModule() : RuntimeModule(L"vor.Extensions.Demo", L"1.0.0", L"Lumo sample", true) {}
  bool registerMethods() override {
    return addMethod(std::make_unique<Echo>()) && addMethod(std::make_unique<PollCount>()) &&
           addMethod(std::make_unique<SetCallerTitle>());
  }
  void poll() override { ++polls; }
};

DemoModule demo;

}  // namespace

LUMO_EXTENSION_EXPORT int GetNumPlugins() { return 1; }
LUMO_EXTENSION_EXPORT lumo::RuntimeModule* GetPluginInstance(int index) { return index == 0 ? &demo : nullptr; }
