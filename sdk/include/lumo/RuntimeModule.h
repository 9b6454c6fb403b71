// Base classes of every command set (runtime module) and every command (method), built in or
// from an extension library; field and virtual slot order are a binary contract with those.
#pragma once

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

}  // namespace lumo
