// Base classes of every command set (runtime module) and every command (method), built in or
// from an extension library; field and virtual slot order are a binary contract with those.
// Part of the extension SDK: the runtime and every extension library compile this same file.
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

// The layout both sides rely on, checked wherever this header is compiled: the runtime reads the
// fields of a plug-in module built by another compiler run, so a different standard library
// (string or map size) or a reordered field fails the build instead of crashing at run time.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(sizeof(void*) == 4 ? sizeof(std::wstring) == 24 : sizeof(std::wstring) == 32,
              "std::wstring of libstdc++ with the small-string buffer is expected");
static_assert(sizeof(std::map<std::wstring, std::unique_ptr<RuntimeMethod>>) == 6 * sizeof(void*),
              "std::map of libstdc++ is expected");
static_assert(offsetof(RuntimeModule, author) == sizeof(void*), "the fields follow the vtable pointer");
static_assert(offsetof(RuntimeModule, version) == offsetof(RuntimeModule, author) + sizeof(std::wstring));
static_assert(offsetof(RuntimeModule, name) == offsetof(RuntimeModule, version) + sizeof(std::wstring));
static_assert(offsetof(RuntimeModule, methods) == offsetof(RuntimeModule, name) + sizeof(std::wstring));
static_assert(offsetof(RuntimeModule, engine) ==
              offsetof(RuntimeModule, methods) + sizeof(std::map<std::wstring, std::unique_ptr<RuntimeMethod>>));
static_assert(offsetof(RuntimeModule, enabled) == offsetof(RuntimeModule, engine) + sizeof(void*));
static_assert(sizeof(RuntimeModule) == offsetof(RuntimeModule, enabled) + sizeof(void*),
              "the enabled flag ends the object, padded to a pointer");
#pragma GCC diagnostic pop

}  // namespace lumo
