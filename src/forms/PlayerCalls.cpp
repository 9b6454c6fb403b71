// Player members reached through the control's private messages: each call fills the
// message's record, sends it, and answers the record's result.
#include "forms/PlayerCalls.h"

#include "host/PlayerMessages.h"

#include <vector>

namespace lumo::player {
namespace {

template <typename Record>
HRESULT send(HWND control, UINT message, Record& record) {
  if (!control) return E_FAIL;
  SendMessageW(control, message, 0, reinterpret_cast<LPARAM>(&record));
  return record.result;
}

}  // namespace

HRESULT putText(HWND control, UINT message, const std::wstring& text) {
  TextRecord<wchar_t> record{text.c_str(), E_FAIL};
  return send(control, message, record);
}

HRESULT putNumber(HWND control, UINT message, int32_t value) {
  NumberRecord record{value, E_FAIL};
  return send(control, message, record);
}

HRESULT noArgument(HWND control, UINT message) {
  NoArgRecord record{E_FAIL};
  return send(control, message, record);
}

HRESULT setVariable(HWND control, const std::wstring& name, const std::wstring& value) {
  TwoTextRecord<wchar_t> record{name.c_str(), value.c_str(), E_FAIL};
  return send(control, msg::kSetVariableW, record);
}

std::wstring getVariable(HWND control, const std::wstring& name) {
  // First the length, then the text.
  TargetTextAnswerRecord<wchar_t> probe{name.c_str(), nullptr, 0, E_FAIL};
  if (FAILED(send(control, msg::kGetVariableW, probe)) || probe.count == 0) return {};
  std::vector<wchar_t> buffer(probe.count + 1, L'\0');
  TargetTextAnswerRecord<wchar_t> record{name.c_str(), buffer.data(), static_cast<uint32_t>(buffer.size()), E_FAIL};
  if (FAILED(send(control, msg::kGetVariableW, record))) return {};
  return std::wstring(buffer.data());
}

HRESULT gotoLabel(HWND control, const std::wstring& target, const std::wstring& label) {
  TwoTextRecord<wchar_t> record{target.c_str(), label.c_str(), E_FAIL};
  return send(control, msg::kTGotoLabelW, record);
}

HRESULT loadMovie(HWND control, int32_t layer, const std::wstring& url) {
  LayerTextRecord<wchar_t> record{layer, url.c_str(), E_FAIL};
  return send(control, msg::kLoadMovieW, record);
}

HRESULT putMovieFromMemory(HWND control, const void* data, size_t size) {
  MovieFromMemoryRecord record{data, size, E_FAIL};
  return send(control, msg::kPutMovieFromMemory, record);
}

HRESULT setContextMenu(HWND control, uint16_t flag) {
  ContextMenuRecord record{flag, E_FAIL};
  return send(control, msg::kSetContextMenu, record);
}

HRESULT setAlpha(HWND control, uint8_t alpha) {
  SetAlphaRecord record{alpha, E_FAIL};
  return send(control, msg::kSetAlpha, record);
}

int getAlpha(HWND control) {
  GetAlphaRecord record{0, E_FAIL};
  if (FAILED(send(control, msg::kGetAlpha, record))) return -1;
  return static_cast<int>(record.alpha);
}

}  // namespace lumo::player
