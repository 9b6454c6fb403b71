// vor.Application's window commands: forms made at run time, the main form's place in the
// z-order, its state, title, shaking and full screen.
#include "modules/ApplicationModule.h"

#include "forms/Form.h"
#include "RuntimeApp.h"
#include "bridge/CommandEngine.h"
#include "bridge/TextHelpers.h"
#include "bridge/ValueFormat.h"

namespace lumo {
namespace {

HWND mainWindow() {
  const Form* form = RuntimeApp::instance().mainForm;
  return form ? form->windowHandle() : nullptr;
}

void setTopmost(HWND window, bool topmost, UINT extraFlags = 0) {
  SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | extraFlags);
}

}  // namespace

std::wstring ApplicationModule::createForm(FormInterface*, const Arguments& arguments) {
  if (arguments.size() < 7) return unquote(L"false");
  const bool created = RuntimeApp::instance().createForm(
      arguments[0], arguments[2], static_cast<int>(toInteger(arguments[3])), static_cast<int>(toInteger(arguments[4])),
      static_cast<int>(toInteger(arguments[5])), static_cast<int>(toInteger(arguments[6])), arguments[1]);
  return unquote(created ? L"true" : L"false");
}

std::wstring ApplicationModule::bringToFront(FormInterface*, const Arguments&) {
  if (HWND window = mainWindow()) setTopmost(window, true);
  return {};
}

std::wstring ApplicationModule::sendToBack(FormInterface*, const Arguments&) {
  if (HWND window = mainWindow()) setTopmost(window, false);
  return {};
}

std::wstring ApplicationModule::maximize(FormInterface* form, const Arguments&) {
  if (form) form->maximize();
  return {};
}

std::wstring ApplicationModule::minimize(FormInterface* form, const Arguments&) {
  if (form) RuntimeApp::instance().minimizeApplication(form->id());
  return {};
}

std::wstring ApplicationModule::restore(FormInterface*, const Arguments&) {
  RuntimeApp::instance().restoreApplication();
  return {};
}

std::wstring ApplicationModule::minimizeToTray(FormInterface*, const Arguments& arguments) {
  if (!arguments.empty()) RuntimeApp::instance().minimizeToTray = arguments[0] == L"true";
  return {};
}

std::wstring ApplicationModule::shake(FormInterface*, const Arguments& arguments) {
  HWND window = mainWindow();
  if (arguments.empty() || !window) return {};
  RECT r{};
  GetWindowRect(window, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  for (long i = 0, count = toInteger(arguments[0]); i < count; ++i) {
    MoveWindow(window, r.left + 2, r.top + 2, width, height, TRUE);
    UpdateWindow(window);
    Sleep(10);
    MoveWindow(window, r.left - 2, r.top - 2, width, height, TRUE);
    UpdateWindow(window);
    Sleep(10);
  }
  MoveWindow(window, r.left, r.top, width, height, TRUE);
  return {};
}

std::wstring ApplicationModule::setTitle(FormInterface*, const Arguments& arguments) {
  if (arguments.empty()) return {};
  RuntimeApp::instance().applicationTitle = arguments[0];
  if (HWND window = mainWindow()) SetWindowTextW(window, arguments[0].c_str());
  return {};
}

std::wstring ApplicationModule::isMinimized(FormInterface*, const Arguments&) {
  Form* form = RuntimeApp::instance().mainForm;
  if (!form) return {};
  return unquote(form->windowState() == L"min" ? L"true" : L"false");
}

std::wstring ApplicationModule::formNames(FormInterface*, const Arguments&) {
  const CommandEngine& engine = CommandEngine::instance();
  std::vector<std::wstring> names;
  for (int id = 0; id <= RuntimeApp::instance().nextFormId; ++id)
    if (const FormInterface* form = engine.findForm(id)) names.push_back(form->name);
  return arrayLiteral(join(names, L"|"), L"|");
}

std::wstring ApplicationModule::switchFullScreen(FormInterface*, const Arguments& arguments) {
  Form* form = RuntimeApp::instance().mainForm;
  if (arguments.empty() || !form) return {};
  HWND window = form->windowHandle();
  if (arguments[0] == L"true" && !fullScreen_) {
    styleBeforeFullScreen_ = GetWindowLongPtrW(window, GWL_STYLE);
    SetWindowLongPtrW(window, GWL_STYLE, WS_POPUP | WS_VISIBLE);
    form->maximize();
    setTopmost(window, true);
    fullScreen_ = true;
  } else if (arguments[0] == L"false" && fullScreen_) {
    form->restore();
    SetWindowLongPtrW(window, GWL_STYLE, styleBeforeFullScreen_);
    setTopmost(window, false, SWP_FRAMECHANGED);
    fullScreen_ = false;
  }
  return {};
}

}  // namespace lumo
