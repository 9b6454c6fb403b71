// The host's module-level operations: thin, so that forms reach the control only through its
// messages and records, exactly as any other owner would.
#include "host/HostApi.h"

#include <oleauto.h>

#include <cstring>

#include "host/MovieStreams.h"
#include "host/PlayerControl.h"
#include "host/PlayerMessages.h"
#include "host/PlayerModule.h"

namespace lumo {

std::unique_ptr<PlayerModule> loadPlayerFromMemory(const void* image, size_t size) {
  PlayerModuleOptions options;
  options.controlProcedure = &PlayerControl::moduleProcedure;
  options.streams = std::make_unique<MovieStreams>();
  return PlayerModule::loadFromMemory(image, size, std::move(options));
}

bool unloadPlayer(std::unique_ptr<PlayerModule> module) { return module != nullptr; }

ATOM controlClassAtom(const PlayerModule* module) { return module ? module->controlClassAtom() : 0; }

HWND createControlWindow(const PlayerModule* module, DWORD exStyle, DWORD style, int x, int y, int width,
                         int height, HWND parent, HMENU menuOrId, HINSTANCE instance, void* parameter) {
  const ATOM atom = controlClassAtom(module);
  if (!atom) return nullptr;
  return CreateWindowExW(exStyle, MAKEINTATOM(atom), nullptr, style, x, y, width, height, parent, menuOrId,
                         instance, parameter);
}

int registerResourceHandler(PlayerModule* module, ResourceHandlerA ansi, ResourceHandlerW wide, void* userData) {
  auto* streams = module ? dynamic_cast<MovieStreams*>(&module->streams()) : nullptr;
  return streams ? streams->registerResourceHandler(ansi, wide, userData) : 0;
}

bool layeredDrawingAvailable() {
  bool deep = false;
  if (UniqueDc display(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr)); display) {
    deep = GetDeviceCaps(display.get(), BITSPIXEL) >= 16;
  }
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return deep && user32 && GetProcAddress(user32, "UpdateLayeredWindow") != nullptr;
}

HRESULT callFunction(HWND control, const std::wstring& request, wchar_t* buffer, uint32_t* count) {
  if (buffer && !count) return E_POINTER;
  CallFunctionRecord record{SysAllocStringLen(request.data(), static_cast<UINT>(request.size())), nullptr, E_FAIL};
  SendMessageW(control, msg::kCallFunction, 0, reinterpret_cast<LPARAM>(&record));
  SysFreeString(record.request);
  if (FAILED(record.result)) {
    SysFreeString(record.response);
    return record.result;
  }
  const uint32_t needed = (record.response ? SysStringLen(record.response) : 0) + 1;
  if (!buffer) {
    if (count) *count = needed;
  } else if (*count > 0) {
    const uint32_t written = needed < *count ? needed : *count;
    if (written > 1) std::memcpy(buffer, record.response, (written - 1) * sizeof(wchar_t));
    buffer[written - 1] = L'\0';
    *count = written;
  }
  SysFreeString(record.response);
  return record.result;
}

HWND playerWindow(HWND control) {
  QueryInterfaceRecord record{IID_IOleWindow, nullptr, E_FAIL};
  SendMessageW(control, msg::kQueryInterface, 0, reinterpret_cast<LPARAM>(&record));
  if (FAILED(record.result) || !record.object) return nullptr;
  auto* window = static_cast<IOleWindow*>(record.object);
  HWND answer = nullptr;
  if (FAILED(window->GetWindow(&answer))) answer = nullptr;
  window->Release();
  return answer;
}

HRESULT setReturnValue(HWND control, const wchar_t* value) {
  ReturnValueRecord<wchar_t> record{value, E_FAIL};
  SendMessageW(control, msg::kSetReturnValueW, 0, reinterpret_cast<LPARAM>(&record));
  return record.result;
}

HRESULT setWindowMode(HWND control, const wchar_t* mode) {
  TextRecord<wchar_t> record{mode, E_FAIL};
  SendMessageW(control, msg::kPutWModeW, 0, reinterpret_cast<LPARAM>(&record));
  return record.result;
}

HRESULT getBackgroundColor(HWND control, uint32_t* color) {
  if (!color) return E_POINTER;
  NumberRecord record{0, E_FAIL};
  SendMessageW(control, msg::kGetBackgroundColor, 0, reinterpret_cast<LPARAM>(&record));
  if (record.result == S_OK) *color = static_cast<uint32_t>(record.value);
  return record.result;
}

}  // namespace lumo
