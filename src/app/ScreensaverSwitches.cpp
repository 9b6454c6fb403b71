// Parsing of the screensaver command-line switches.
#include "ScreensaverSwitches.h"

#include <cwctype>
#include <string>
#include <vector>

namespace lumo {
namespace {

// The command line split at blanks outside double quotes, quotes dropped.
std::vector<std::wstring> words(std::wstring_view line) {
  std::vector<std::wstring> result;
  std::wstring word;
  bool quoted = false, inWord = false;
  for (const wchar_t c : line) {
    if (c == L'"') {
      quoted = !quoted;
      inWord = true;
    } else if ((c == L' ' || c == L'\t') && !quoted) {
      if (inWord) result.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) result.push_back(std::move(word));
  return result;
}

// A window handle written in decimal, as Windows writes it; null for anything else.
HWND windowNumber(std::wstring_view text) {
  if (text.empty() || text.size() > 20) return nullptr;
  unsigned long long value = 0;
  for (const wchar_t c : text) {
    if (c < L'0' || c > L'9') return nullptr;
    value = value * 10 + static_cast<unsigned long long>(c - L'0');
  }
  return reinterpret_cast<HWND>(static_cast<ULONG_PTR>(value));
}

}  // namespace

ScreensaverSwitches parseScreensaverSwitches(std::wstring_view commandLine) {
  const std::vector<std::wstring> arguments = words(commandLine);
  ScreensaverSwitches switches;
  if (arguments.size() < 2) return switches;
  const std::wstring& first = arguments[1];
  if (first.size() < 2 || (first[0] != L'/' && first[0] != L'-')) return switches;
  const wchar_t letter = static_cast<wchar_t>(std::towlower(first[1]));
  std::wstring_view rest = std::wstring_view(first).substr(2);
  if (!rest.empty() && rest.front() == L':') rest.remove_prefix(1);
  else if (!rest.empty()) return switches;  // "/sx" is no switch of ours
  const HWND window = !rest.empty() ? windowNumber(rest) : arguments.size() > 2 ? windowNumber(arguments[2]) : nullptr;
  if (letter == L'c') {
    switches.action = ScreensaverSwitches::Action::Configure;
    switches.window = window;
  } else if (letter == L'p' && window) {
    switches.action = ScreensaverSwitches::Action::Preview;
    switches.window = window;
  }
  return switches;
}

}  // namespace lumo
