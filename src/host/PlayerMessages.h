// The player control's message boundary: private message ids with their parameter records,
// notification codes with their records, and the names of the three registered messages.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <oleauto.h>

#include <cstdint>

namespace lumo {

// Every record ends with `result`, which the control presets to E_FAIL before it acts.
namespace msg {
inline constexpr UINT kQueryInterface = 0x1401;
inline constexpr UINT kPutMovieFromMemory = 0x1402;
inline constexpr UINT kLoadMovieFromMemory = 0x1403;
inline constexpr UINT kCaptureFrame = 0x1404;
inline constexpr UINT kSetContextMenu = 0x1405;
inline constexpr UINT kGetContextMenu = 0x1406;
inline constexpr UINT kSetAlpha = 0x1408;
inline constexpr UINT kGetAlpha = 0x1409;
inline constexpr UINT kPutMovieFromStream = 0x140A;
inline constexpr UINT kLoadMovieFromStream = 0x140B;
inline constexpr UINT kCallFunction = 0x140C;
inline constexpr UINT kSetReturnValueA = 0x140E;
inline constexpr UINT kSetReturnValueW = 0x140F;
// The scripting family: one message (or an A/W pair) per IShockwaveFlash member.
inline constexpr UINT kScriptingFirst = 0x1500;
inline constexpr UINT kScriptingLast = 0x1574;
// Members the runtime names directly.
inline constexpr UINT kStop = 0x1504;
inline constexpr UINT kGotoFrame = 0x1509;
inline constexpr UINT kFlashVersion = 0x150E;
inline constexpr UINT kLoadMovieW = 0x1510;
inline constexpr UINT kTGotoLabelW = 0x1514;
inline constexpr UINT kSetVariableA = 0x151D;
inline constexpr UINT kSetVariableW = 0x151E;
inline constexpr UINT kGetVariableA = 0x151F;
inline constexpr UINT kGetVariableW = 0x1520;
inline constexpr UINT kPutScaleMode = 0x1535;
inline constexpr UINT kPutAlignMode = 0x1537;
inline constexpr UINT kPutBackgroundColor = 0x1539;
inline constexpr UINT kGetBackgroundColor = 0x153A;
inline constexpr UINT kPutMovieW = 0x153E;
inline constexpr UINT kPutWModeW = 0x1544;
inline constexpr UINT kGetWModeW = 0x1546;
inline constexpr UINT kPutBaseW = 0x154E;
inline constexpr UINT kGetBaseA = 0x154F;
inline constexpr UINT kGetBaseW = 0x1550;
inline constexpr UINT kPutScaleW = 0x1552;
inline constexpr UINT kPutBGColorW = 0x155A;
inline constexpr UINT kPutFlashVarsW = 0x156A;
}  // namespace msg

// --- records of the control messages ------------------------------------------------------

struct QueryInterfaceRecord {  // 0x1401
  IID iid;
  void* object;
  HRESULT result;
};
struct MovieFromMemoryRecord {  // 0x1402
  const void* data;
  size_t size;
  HRESULT result;
};
struct LayerFromMemoryRecord {  // 0x1403
  int layer;
  const void* data;
  size_t size;
  HRESULT result;
};
struct CaptureFrameRecord {  // 0x1404; the caller owns the bitmap
  HBITMAP bitmap;
  HRESULT result;
};
struct ContextMenuRecord {  // 0x1405, 0x1406
  uint16_t flag;
  HRESULT result;
};
struct SetAlphaRecord {  // 0x1408
  uint8_t alpha;
  HRESULT result;
};
struct GetAlphaRecord {  // 0x1409
  uint32_t alpha;
  HRESULT result;
};
struct MovieStreamRecord {  // 0x140A; the caller owns a reference to the stream
  IStream* stream;
  HRESULT result;
};
struct LayerStreamRecord {  // 0x140B
  int layer;
  IStream* stream;
  HRESULT result;
};
struct CallFunctionRecord {  // 0x140C; the caller frees the response
  BSTR request;
  BSTR response;
  HRESULT result;
};
template <typename Char>
struct ReturnValueRecord {  // 0x140E (char), 0x140F (wchar_t)
  const Char* value;
  HRESULT result;
};

// Scripting family records: the member's parameters in order, then the result. A text
// parameter is a pointer, a 32-bit number is int32_t, a double is 64 bits; a text answer is a
// caller buffer and a count in characters (in: the buffer's capacity; out: length plus one).
struct NoArgRecord {
  HRESULT result;
};
struct NumberRecord {  // put or get of one 32-bit number
  int32_t value;
  HRESULT result;
};
struct ZoomRectRecord {
  int32_t left, top, right, bottom;
  HRESULT result;
};
struct PanRecord {
  int32_t x, y, mode;
  HRESULT result;
};
struct FrameLoadedRecord {
  int32_t frame;
  int32_t loaded;
  HRESULT result;
};
template <typename Char>
struct TextRecord {  // put of one text
  const Char* text;
  HRESULT result;
};
template <typename Char>
struct TextAnswerRecord {  // get of one text
  Char* buffer;
  uint32_t count;
  HRESULT result;
};
template <typename Char>
struct LayerTextRecord {  // LoadMovie
  int32_t layer;
  const Char* url;
  HRESULT result;
};
template <typename Char>
struct TargetNumberRecord {  // TGotoFrame, TCallFrame, TCurrentFrame (out)
  const Char* target;
  int32_t value;
  HRESULT result;
};
template <typename Char>
struct TwoTextRecord {  // TGotoLabel, SetVariable, TCallLabel
  const Char* first;
  const Char* second;
  HRESULT result;
};
template <typename Char>
struct TargetTextAnswerRecord {  // TCurrentLabel, GetVariable
  const Char* target;
  Char* buffer;
  uint32_t count;
  HRESULT result;
};
template <typename Char>
struct PropertyTextRecord {  // TSetProperty
  const Char* target;
  int32_t property;
  const Char* value;
  HRESULT result;
};
template <typename Char>
struct PropertyTextAnswerRecord {  // TGetProperty
  const Char* target;
  int32_t property;
  Char* buffer;
  uint32_t count;
  HRESULT result;
};
template <typename Char>
struct PropertyNumberRecord {  // TSetPropertyNum, TGetPropertyNum (out), TGetPropertyAsNumber (out)
  const Char* target;
  int32_t property;
  double value;
  HRESULT result;
};

// --- notifications: WM_NOTIFY to the parent, then the listener ----------------------------

namespace notify {
inline constexpr UINT kFSCommandW = 0x12FD;
inline constexpr UINT kFSCommandA = 0x12FE;
inline constexpr UINT kProgress = 0x12FF;
inline constexpr UINT kReadyStateChange = 0x1300;
inline constexpr UINT kDrawStage = 0x13F5;
inline constexpr UINT kInvalidate = 0x13F6;
inline constexpr UINT kFrameReady = 0x13F7;
inline constexpr UINT kResourceAnswerableW = 0x13F8;
inline constexpr UINT kResourceAnswerableA = 0x13F9;
inline constexpr UINT kFlashCallW = 0x13FA;
inline constexpr UINT kFlashCallA = 0x13FB;
inline constexpr UINT kResourceW = 0x13FC;
inline constexpr UINT kResourceA = 0x13FD;
}  // namespace notify

template <typename Char>
struct FSCommandNotification {  // 0x12FD, 0x12FE
  NMHDR header;
  const Char* command;
  const Char* arguments;
};
struct NumberNotification {  // 0x12FF percent, 0x1300 ready state
  NMHDR header;
  int32_t value;
};
struct DrawStageNotification {  // 0x13F5; stage 0 before, 1 after the player draws
  NMHDR header;
  HDC dc;
  int32_t stage;
};
struct InvalidateNotification {  // 0x13F6
  NMHDR header;
  int32_t left, top, right, bottom;
};
struct FrameReadyNotification {  // 0x13F7
  NMHDR header;
  void* pixels;
};
template <typename Char>
struct ResourceNotification {  // 0x13F8/0x13F9 (answerable: `handled` in/out), 0x13FC/0x13FD
  NMHDR header;
  const Char* url;
  IStream* stream;
  BOOL handled;
};
template <typename Char>
struct FlashCallNotification {  // 0x13FA, 0x13FB
  NMHDR header;
  const Char* request;
};

// --- registered messages ------------------------------------------------------------------

inline constexpr char kSetEventListenerMessage[] =
    "DEF_PRIVATE_MESSAGE__SET_EVENT_LISTENER__cfde450f-A1B5-422b-AC7E-AFCD35AB3671";
inline constexpr char kLoadExternalResourceMessage[] =
    "DEF_PRIVATE_MESSAGE__CALL_LOAD_EXTERNAL_RESOURCE__4006D732-0800-4a8e-BD45-8D7A153facf0";
inline constexpr char kGetObjectPointerMessage[] =
    "DEF_PRIVATE_MESSAGE__GET_OBJECT_PTR__A4679BFB-0972-46ae-A032-1A46711970F9";

// The listener sees every notification after the parent did, under the control's lock.
using PlayerEventListener = void(CALLBACK*)(HWND control, void* userData, NMHDR* notification);
struct EventListenerRecord {
  PlayerEventListener callback;
  void* userData;
};
struct ExternalResourceRecord {
  BSTR url;
  char* ansiUrl;          // receives the ANSI form of the url (may be null)
  uint32_t ansiCapacity;  // characters that fit in ansiUrl, the terminator included
  IStream* stream;
  int32_t handled;
};

}  // namespace lumo
