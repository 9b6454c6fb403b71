#include "forms/MenuClick.h"

#include "bridge/Tokens.h"
#include "forms/FormEvents.h"
#include "lumo/FormInterface.h"

#include <algorithm>

namespace lumo {
namespace {

struct MenuNames {
  const wchar_t* eventPrefix;
  const wchar_t* className;
  const wchar_t* handlerPrefix;
};

// By the record's kind: main, context, tray.
constexpr MenuNames kMenuNames[] = {
    {L"MenuClick_", L"Menu.Main", L"onMenuClick_"},
    {L"ContextMenuClick_", L"Menu.Context", L"onContextMenuClick_"},
    {L"TrayMenuClick_", L"Menu.Tray", L"onTrayMenuClick_"},
};

}  // namespace

std::wstring sanitizeMenuItemName(std::wstring_view name) {
  std::wstring sanitized;
  sanitized.reserve(name.size());
  for (wchar_t c : name) {
    if (c == L'&') continue;
    constexpr std::wstring_view replaced = L"(),\".{} ";
    sanitized.push_back(replaced.find(c) == std::wstring_view::npos ? c : L'_');
  }
  return sanitized;
}

void dispatchMenuClick(FormInterface& form, const std::wstring& menuType, const std::wstring& trayMenuType,
                       const std::wstring& contextMenuType, const MenuItemRecord& record) {
  const std::wstring name = sanitizeMenuItemName(record.name);
  const MenuNames& names = kMenuNames[std::min<UINT>(static_cast<UINT>(record.kind), 2)];
  sendEvent(form, std::wstring(tokens::kDispatchEventFunction),
            names.eventPrefix + name + L"{}" + names.className + L"{}{}status" +
                std::wstring(tokens::kFieldSeparator) + L"true",
            std::wstring(tokens::kEventPartSeparator));

  const std::wstring& type = record.kind == MenuKind::main      ? menuType
                             : record.kind == MenuKind::context ? contextMenuType
                                                                : trayMenuType;
  if (type == L"function") sendEvent(form, names.handlerPrefix + name, L"true", L"");
  else if (type == L"variable") form.setVariable(L"menu_" + name, L"true");
  else if (type == L"frame") form.gotoLabel(L"/", name);
}

}  // namespace lumo
