// Base classes of every command set (runtime module) and every command (method), built in or
// from an extension library; field and virtual slot order are a binary contract with those.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace lumo {

class CommandEngine;
class FormInterface;

// One command. Do not reorder the virtual operations.
class RuntimeMethod {
 public:
  virtual ~RuntimeMethod() = default;
  // Runs the command for the calling form; the text stays valid until the next invoke of this
  // method, so callers copy it at once.
  virtual const std::wstring& invoke(FormInterface* form, const std::vector<std::wstring>& arguments) = 0;
  virtual std::wstring name() const = 0;

 protected:
  std::wstring result_;  // the method's own result buffer

 private:
  friend struct ModuleLayoutCheck;
};

// A named table of methods. Do not reorder the fields or the virtual operations.
class RuntimeModule {
 public:
  RuntimeModule(std::wstring moduleName, std::wstring moduleVersion, std::wstring moduleAuthor,
                bool isEnabled)
      : author(std::move(moduleAuthor)),
        version(std::move(moduleVersion)),
        name(std::move(moduleName)),
        enabled(isEnabled) {}
  RuntimeModule(const RuntimeModule&) = delete;
  RuntimeModule& operator=(const RuntimeModule&) = delete;

  virtual ~RuntimeModule() = default;
  // Creates the methods and adds each under the name it reports; false refuses the module.
  virtual bool registerMethods() = 0;
  // Destroys every method and empties the table.
  virtual void clearMethods() { methods.clear(); }
  // Called every 40 ms by the command poll thread once start-up has completed.
  virtual void poll() = 0;

  // Adds a method under its own name; a name already present keeps its first method.
  bool addMethod(std::unique_ptr<RuntimeMethod> method) {
    std::wstring key = method->name();
    return methods.try_emplace(std::move(key), std::move(method)).second;
  }
  RuntimeMethod* findMethod(const std::wstring& methodName) const {
    auto it = methods.find(methodName);
    return it == methods.end() ? nullptr : it->second.get();
  }

  std::wstring author;
  std::wstring version;
  std::wstring name;
  std::map<std::wstring, std::unique_ptr<RuntimeMethod>> methods;
  CommandEngine* engine = nullptr;  // set when a plug-in module is registered
  bool enabled;
};

// The layout both sides of the contract must agree on, checked wherever this header is built:
// a different standard library (another string or map, a debug-mode container, the old string
// ABI) or another architecture's numbers fail here instead of corrupting a running projector.
// offsetof on these polymorphic classes is what the check needs; GCC gives exact offsets for
// classes without virtual bases, so its warning is silenced here and only here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
struct ModuleLayoutCheck {
#if defined(_WIN64)
  static constexpr std::size_t kString = 32, kMap = 48;
#else
  static constexpr std::size_t kString = 24, kMap = 24;
#endif
  static constexpr std::size_t kPointer = sizeof(void*);
  static_assert(sizeof(std::wstring) == kString && sizeof(std::map<std::wstring, void*>) == kMap,
                "the standard library's string or map differs from the runtime's");
  static_assert(offsetof(RuntimeMethod, result_) == kPointer);
  static_assert(sizeof(RuntimeMethod) == kPointer + kString);
  static_assert(offsetof(RuntimeModule, author) == kPointer);
  static_assert(offsetof(RuntimeModule, version) == kPointer + kString);
  static_assert(offsetof(RuntimeModule, name) == kPointer + 2 * kString);
  static_assert(offsetof(RuntimeModule, methods) == kPointer + 3 * kString);
  static_assert(offsetof(RuntimeModule, engine) == kPointer + 3 * kString + kMap);
  static_assert(offsetof(RuntimeModule, enabled) == 2 * kPointer + 3 * kString + kMap);
  static_assert(sizeof(RuntimeModule) == 3 * kPointer + 3 * kString + kMap);
};
#pragma GCC diagnostic pop

}  // namespace lumo
