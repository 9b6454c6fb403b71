// The event catalogue: names, legacy arguments and dispatcher payloads of every form and
// application event.
#include "forms/FormEvents.h"

#include "bridge/MovieCall.h"
#include "bridge/TextHelpers.h"
#include "bridge/Tokens.h"
#include "bridge/ValueFormat.h"
#include "lumo/FormInterface.h"
#include "forms/PlayerCalls.h"
#include "host/HostApi.h"

namespace lumo {
namespace {

constexpr wchar_t kComma[] = L",";
const std::wstring kPartSeparator(tokens::kEventPartSeparator);

// Legacy call, then dispatcher call with the four payload parts.
void raise(FormInterface& form, const std::wstring& handler, const std::wstring& arguments,
           const std::wstring& separator, const std::wstring& payload) {
  sendEvent(form, handler, arguments, separator);
  sendEvent(form, std::wstring(tokens::kDispatchEventFunction), payload, kPartSeparator);
}

std::wstring payload(const std::wstring& type, const std::wstring& properties) {
  return type + L"{}Application{}{}" + properties;
}

std::wstring property(const std::wstring& key, const std::wstring& value) {
  return key + std::wstring(tokens::kFieldSeparator) + value;
}

std::wstring number(long value) { return formatInteger(value); }

void statusEvent(FormInterface& form, const std::wstring& type, bool status) {
  const std::wstring text = status ? L"true" : L"false";
  raise(form, L"on" + type, text, std::wstring(tokens::kWholeTextSeparator), payload(type, property(L"status", text)));
}

// The four sizes of FormMaximize, FormMinimize, FormRestore and FormResize.
void sizeEvent(FormInterface& form, const std::wstring& type) {
  RECT client{}, window{};
  GetClientRect(form.windowHandle(), &client);
  GetWindowRect(form.windowHandle(), &window);
  const std::wstring cw = number(client.right - client.left), ch = number(client.bottom - client.top);
  const std::wstring w = number(window.right - window.left), h = number(window.bottom - window.top);
  const std::wstring record(tokens::kRecordEnd);
  raise(form, L"on" + type, form.name + kComma + cw + kComma + ch + kComma + w + kComma + h, kComma,
        payload(type, property(L"formname", form.name) + record + property(L"clientWidth", cw) + record +
                          property(L"clientHeight", ch) + record + property(L"width", w) + record +
                          property(L"height", h)));
}

void hitEvent(FormInterface& form, const std::wstring& type) {
  raise(form, L"on" + type, L"0,1", kComma, payload(type, property(L"status", L"true")));
}

}  // namespace

bool sendEvent(FormInterface& form, const std::wstring& function, const std::wstring& arguments,
               const std::wstring& separator) {
  HWND control = form.playerControlHandle();
  if (form.eiReady.load() && function != tokens::kDispatchEventFunction) {
    uint32_t count = 0;
    callFunction(control, buildEventCallback(function, arguments, separator), nullptr, &count);
    return true;
  }
  return SUCCEEDED(player::setVariable(control, std::wstring(tokens::kCallFunctionVariable),
                                       buildVariableMovieCall(function, arguments, separator)));
}

namespace events {

void formChangeFocus(FormInterface& form, bool gained) {
  const std::wstring status = gained ? L"true" : L"false";
  raise(form, L"onFormChangeFocus", form.name + kComma + status, kComma,
        payload(L"FormChangeFocus", property(L"status", status)));
}

void appExit(FormInterface& form) { statusEvent(form, L"AppExit", true); }
void formClose(FormInterface& form) { statusEvent(form, L"FormClose", true); }
void appMinimize(FormInterface& form) { statusEvent(form, L"AppMinimize", true); }
void appRestore(FormInterface& form) { statusEvent(form, L"AppRestore", true); }
void splashClosed(FormInterface& form) {
  raise(form, L"onSplashClosed", L"", std::wstring(tokens::kSplashSeparator),
        payload(L"SplashClosed", property(L"status", L"true")));
}
void appChangeFocus(FormInterface& form, bool active) { statusEvent(form, L"AppChangeFocus", active); }

void formMaximize(FormInterface& form) { sizeEvent(form, L"FormMaximize"); }
void formResize(FormInterface& form) { sizeEvent(form, L"FormResize"); }

void formMinimize(FormInterface& form) {
  sizeEvent(form, L"FormMinimize");
  if (form.id() == 0) appMinimize(form);
}

void formRestore(FormInterface& form) {
  sizeEvent(form, L"FormRestore");
  if (form.id() == 0) appRestore(form);
}

void formReposition(FormInterface& form) {
  RECT window{};
  GetWindowRect(form.windowHandle(), &window);
  const std::wstring x = number(window.left), y = number(window.top);
  const std::wstring record(tokens::kRecordEnd);
  raise(form, L"onFormReposition", form.name + kComma + x + kComma + y, kComma,
        payload(L"FormReposition",
                property(L"formname", form.name) + record + property(L"x", x) + record + property(L"y", y)));
}

void edgeHits(FormInterface& form, const RECT& window, const RECT& workArea) {
  if (window.left <= workArea.left) hitEvent(form, L"LeftHit");
  if (window.right >= workArea.right) hitEvent(form, L"RightHit");
  if (window.top <= workArea.top) hitEvent(form, L"TopHit");
  if (window.bottom >= workArea.bottom) hitEvent(form, L"BottomHit");
}

void dragDrop(FormInterface& form, const std::vector<std::wstring>& paths) {
  const std::wstring list = join(paths, tokens::kListSeparator);
  std::wstring doubled = list;
  replaceAll(doubled, L"\\", L"\\\\");
  raise(form, L"onDragDrop", list, std::wstring(tokens::kDropSeparator),
        payload(L"DragDrop", property(L"files", arrayLiteral(doubled, tokens::kListSeparator))));
}

void appTimer(FormInterface& form, int timerId, unsigned long count) {
  const std::wstring id = number(timerId);
  const std::wstring ticks = std::to_wstring(count);  // unsigned: a long-running timer never turns negative
  raise(form, L"onAppTimer" + id, ticks, std::wstring(tokens::kTimerSeparator),
        L"Timer" + id + L"{}Application.Timer{}{}" + property(L"count", ticks));
}

}  // namespace events
}  // namespace lumo
