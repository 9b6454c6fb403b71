// A command made of its name and a function: the shape of every built-in command, so a
// module lists its commands as a table instead of a class each.
#pragma once

#include "lumo/RuntimeModule.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace lumo {

using Arguments = std::vector<std::wstring>;

class CommandMethod final : public RuntimeMethod {
 public:
  using Function = std::function<std::wstring(FormInterface* form, const Arguments& arguments)>;

  CommandMethod(std::wstring name, Function function) : name_(std::move(name)), function_(std::move(function)) {}

  const std::wstring& invoke(FormInterface* form, const Arguments& arguments) override {
    result_ = function_(form, arguments);
    return result_;
  }
  std::wstring name() const override { return name_; }

 private:
  std::wstring name_;
  Function function_;
};

}  // namespace lumo
