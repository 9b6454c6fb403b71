// The item commands the three menu classes share, made from a form operation: add and remove,
// set a flag from the movie's "true"/"false", or set it to a fixed value (checkItem,
// disableItem, ...). Main-menu operations take the menu's name before the item's.
#pragma once

#include "MenuMethod.h"

namespace lumo::menus {

using Name = const std::wstring&;

// Names the movie gives must not be empty: an empty menu or item could never be found again.
inline bool named(const Arguments& arguments, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    if (arguments[i].empty()) return false;
  return true;
}

template <void (FormInterface::*Operation)()>
std::wstring plain(FormInterface& form, const Arguments&) {
  (form.*Operation)();
  return kDone;
}

// One name, or one text (a menu type, a path, a hint) when `mustBeNamed` is false.
template <void (FormInterface::*Operation)(Name), bool mustBeNamed = true>
std::wstring withText(FormInterface& form, const Arguments& arguments) {
  if (mustBeNamed && !named(arguments, 1)) return kRefused;
  (form.*Operation)(arguments[0]);
  return kDone;
}

template <void (FormInterface::*Operation)(Name, Name)>
std::wstring withMenuAndItem(FormInterface& form, const Arguments& arguments) {
  if (!named(arguments, 2)) return kRefused;
  (form.*Operation)(arguments[0], arguments[1]);
  return kDone;
}

// The flag is the argument after the names.
template <void (FormInterface::*Operation)(Name, bool)>
std::wstring itemFlag(FormInterface& form, const Arguments& arguments) {
  const auto flag = parseFlag(arguments[1]);
  if (!flag || !named(arguments, 1)) return kRefused;
  (form.*Operation)(arguments[0], *flag);
  return kDone;
}

template <void (FormInterface::*Operation)(Name, bool), bool value>
std::wstring itemFixed(FormInterface& form, const Arguments& arguments) {
  if (!named(arguments, 1)) return kRefused;
  (form.*Operation)(arguments[0], value);
  return kDone;
}

template <void (FormInterface::*Operation)(Name, Name, bool)>
std::wstring menuItemFlag(FormInterface& form, const Arguments& arguments) {
  const auto flag = parseFlag(arguments[2]);
  if (!flag || !named(arguments, 2)) return kRefused;
  (form.*Operation)(arguments[0], arguments[1], *flag);
  return kDone;
}

template <void (FormInterface::*Operation)(Name, Name, bool), bool value>
std::wstring menuItemFixed(FormInterface& form, const Arguments& arguments) {
  if (!named(arguments, 2)) return kRefused;
  (form.*Operation)(arguments[0], arguments[1], value);
  return kDone;
}

}  // namespace lumo::menus
