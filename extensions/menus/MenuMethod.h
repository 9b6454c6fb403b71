// One command of the menu classes: a name, how many arguments it needs and a function that
// turns the movie's arguments into form operations. The three classes are tables of these.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "lumo/Extension.h"

namespace lumo::menus {

using Arguments = std::vector<std::wstring>;

// "true" or "1" is on, "false" or "0" off (any letter case); anything else is no flag.
std::optional<bool> parseFlag(const std::wstring& text);

inline const std::wstring kDone = L"true";
inline const std::wstring kRefused = L"false";

struct MethodSpec {
  const wchar_t* name;
  std::size_t minimumArguments;
  // Called only with a form and at least minimumArguments arguments; gives the answer text.
  std::wstring (*run)(FormInterface& form, const Arguments& arguments);
};

class MenuMethod final : public RuntimeMethod {
 public:
  explicit MenuMethod(const MethodSpec& spec) : spec_(spec) {}
  // Under-supplied calls, and calls that come without a form, do nothing and answer "false".
  const std::wstring& invoke(FormInterface* form, const Arguments& arguments) override;
  std::wstring name() const override { return spec_.name; }

 private:
  const MethodSpec& spec_;
};

}  // namespace lumo::menus
