// The scripting family as data: each line names a message, a member and the text form; the
// record is read field by field in the member's parameter order, so no message has its own code.
#include "host/ControlScripting.h"

#include "host/AnsiText.h"

#include <oleauto.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>

namespace lumo {
namespace {

using Microsoft::WRL::ComPtr;

// Walks a record's fields in order with their natural alignment: the layout of a C struct
// declaring the same fields (see PlayerMessages.h).
class RecordCursor {
 public:
  explicit RecordCursor(void* record) : base_(static_cast<uint8_t*>(record)) {}
  template <typename T>
  T* next() {
    offset_ = (offset_ + alignof(T) - 1) / alignof(T) * alignof(T);
    T* field = reinterpret_cast<T*>(base_ + offset_);
    offset_ += sizeof(T);
    return field;
  }

 private:
  uint8_t* base_;
  size_t offset_ = 0;
};

// --- text in both forms ----------------------------------------------------------------------

BSTR toBstr(const wchar_t* text) { return text ? SysAllocString(text) : nullptr; }
BSTR toBstr(const char* text) { return ansiToBstr(text); }

std::wstring fromBstr(BSTR text, wchar_t) { return text ? std::wstring(text, SysStringLen(text)) : std::wstring(); }
std::string fromBstr(BSTR text, char) {
  return text ? toAnsi(std::wstring_view(text, SysStringLen(text))) : std::string();
}

// A text answer: `count` becomes the length plus one; a buffer gets as much as its capacity
// (the count given) holds, always terminated, so a short buffer is never overrun.
template <typename Char>
void storeAnswer(const std::basic_string<Char>& answer, Char* buffer, uint32_t* count) {
  const uint32_t needed = static_cast<uint32_t>(answer.size() + 1);
  if (buffer && *count > 0) {
    const uint32_t copied = needed <= *count ? needed : *count;
    std::memcpy(buffer, answer.data(), (copied - 1) * sizeof(Char));
    buffer[copied - 1] = 0;
  }
  *count = needed;
}

// --- one record field per member parameter ---------------------------------------------------

template <typename Param, typename Char>
struct Field;

template <typename Number, typename Char>
struct NumberIn {  // long, int: a 32-bit field
  explicit NumberIn(RecordCursor& cursor) : field(cursor.next<int32_t>()) {}
  Number arg() { return static_cast<Number>(*field); }
  void store() {}
  int32_t* field;
};
template <typename Char>
struct Field<long, Char> : NumberIn<long, Char> { using NumberIn<long, Char>::NumberIn; };
template <typename Char>
struct Field<int, Char> : NumberIn<int, Char> { using NumberIn<int, Char>::NumberIn; };

template <typename Char>
struct Field<VARIANT_BOOL, Char> {  // a 32-bit truth value
  explicit Field(RecordCursor& cursor) : field(cursor.next<int32_t>()) {}
  VARIANT_BOOL arg() { return *field ? VARIANT_TRUE : VARIANT_FALSE; }
  void store() {}
  int32_t* field;
};

template <typename Char>
struct Field<double, Char> {
  explicit Field(RecordCursor& cursor) : field(cursor.next<double>()) {}
  double arg() { return *field; }
  void store() {}
  double* field;
};

template <typename Char>
struct Field<BSTR, Char> {  // a text pointer, handed over as a BSTR of its own
  explicit Field(RecordCursor& cursor) : text(toBstr(*cursor.next<const Char*>())) {}
  ~Field() { SysFreeString(text); }
  Field(const Field&) = delete;
  Field(Field&& other) noexcept : text(std::exchange(other.text, nullptr)) {}
  BSTR arg() { return text; }
  void store() {}
  BSTR text;
};

template <typename Number, typename Char>
struct NumberOut {  // long*, int*: a 32-bit field the control fills
  explicit NumberOut(RecordCursor& cursor) : field(cursor.next<int32_t>()) {}
  Number* arg() { return &value; }
  void store() { *field = static_cast<int32_t>(value); }
  int32_t* field;
  Number value{};
};
template <typename Char>
struct Field<long*, Char> : NumberOut<long, Char> { using NumberOut<long, Char>::NumberOut; };
template <typename Char>
struct Field<int*, Char> : NumberOut<int, Char> { using NumberOut<int, Char>::NumberOut; };

template <typename Char>
struct Field<VARIANT_BOOL*, Char> {  // answered as 1 or 0
  explicit Field(RecordCursor& cursor) : field(cursor.next<int32_t>()) {}
  VARIANT_BOOL* arg() { return &value; }
  void store() { *field = value != VARIANT_FALSE ? 1 : 0; }
  int32_t* field;
  VARIANT_BOOL value = VARIANT_FALSE;
};

template <typename Char>
struct Field<double*, Char> {
  explicit Field(RecordCursor& cursor) : field(cursor.next<double>()) {}
  double* arg() { return &value; }
  void store() { *field = value; }
  double* field;
  double value = 0;
};

template <typename Char>
struct Field<BSTR*, Char> {  // a caller buffer and its count; the BSTR is the control's to free
  explicit Field(RecordCursor& cursor) : buffer(*cursor.next<Char*>()), count(cursor.next<uint32_t>()) {}
  ~Field() { SysFreeString(answer); }
  Field(const Field&) = delete;
  Field(Field&& other) noexcept
      : buffer(other.buffer), count(other.count), answer(std::exchange(other.answer, nullptr)) {}
  BSTR* arg() { return &answer; }
  void store() { storeAnswer(fromBstr(answer, Char{}), buffer, count); }
  Char* buffer;
  uint32_t* count;
  BSTR answer = nullptr;
};

// --- the call through a member ---------------------------------------------------------------

template <typename Member>
struct MemberParams;
template <typename... Params>
struct MemberParams<HRESULT (STDMETHODCALLTYPE IShockwaveFlash::*)(Params...)> {
  template <typename Char>
  static void call(HRESULT (STDMETHODCALLTYPE IShockwaveFlash::*member)(Params...), IShockwaveFlash* player,
                   void* record, HRESULT refusal) {
    RecordCursor cursor(record);
    // Braced initialisation reads the fields left to right, in parameter order.
    std::tuple<Field<Params, Char>...> fields{Field<Params, Char>(cursor)...};
    HRESULT* result = cursor.next<HRESULT>();
    *result = E_FAIL;
    if (!player) {
      *result = refusal;
      return;
    }
    HRESULT hr = std::apply([&](auto&... f) { return (player->*member)(f.arg()...); }, fields);
    if (SUCCEEDED(hr)) std::apply([](auto&... f) { (f.store(), ...); }, fields);
    *result = hr;
  }
};

// Calls the member on `player`; with no player only sets the record's result to `refusal`
// (the record is walked the same way to find where that field lies).
using Invoker = void (*)(IShockwaveFlash* player, void* record, HRESULT refusal);

template <auto Member, typename Char>
void invoke(IShockwaveFlash* player, void* record, HRESULT refusal) {
  MemberParams<decltype(Member)>::template call<Char>(Member, player, record, refusal);
}

struct ScriptingMessage {
  UINT message;
  Invoker run;
  int onlyGeneration;  // 0: the current layout, from generation 8 on
};

using I = IShockwaveFlash;
template <auto M>
constexpr ScriptingMessage wide(UINT message, int onlyGeneration = 0) {
  return {message, &invoke<M, wchar_t>, onlyGeneration};
}
template <auto M>
constexpr ScriptingMessage ansi(UINT message, int onlyGeneration = 0) {
  return {message, &invoke<M, char>, onlyGeneration};
}

// Message → member. Members without text have one message; text members an A/W pair.
const ScriptingMessage kScripting[] = {
    wide<&I::SetZoomRect>(0x1500),
    wide<&I::Zoom>(0x1501),
    wide<&I::Pan>(0x1502),
    wide<&I::Play>(0x1503),
    wide<&I::Stop>(0x1504),
    wide<&I::Back>(0x1505),
    wide<&I::Forward>(0x1506),
    wide<&I::Rewind>(0x1507),
    wide<&I::StopPlay>(0x1508),
    wide<&I::GotoFrame>(0x1509),
    wide<&I::CurrentFrame>(0x150A),
    wide<&I::IsPlaying>(0x150B),
    wide<&I::PercentLoaded>(0x150C),
    wide<&I::FrameLoaded>(0x150D),
    wide<&I::FlashVersion>(0x150E),
    ansi<&I::LoadMovie>(0x150F),
    wide<&I::LoadMovie>(0x1510),
    ansi<&I::TGotoFrame>(0x1511),
    wide<&I::TGotoFrame>(0x1512),
    ansi<&I::TGotoLabel>(0x1513),
    wide<&I::TGotoLabel>(0x1514),
    ansi<&I::TCurrentFrame>(0x1515),
    wide<&I::TCurrentFrame>(0x1516),
    ansi<&I::TCurrentLabel>(0x1517),
    wide<&I::TCurrentLabel>(0x1518),
    ansi<&I::TPlay>(0x1519),
    wide<&I::TPlay>(0x151A),
    ansi<&I::TStopPlay>(0x151B),
    wide<&I::TStopPlay>(0x151C),
    ansi<&I::SetVariable>(0x151D),
    wide<&I::SetVariable>(0x151E),
    ansi<&I::GetVariable>(0x151F),
    wide<&I::GetVariable>(0x1520),
    ansi<&I::TSetProperty>(0x1521),
    wide<&I::TSetProperty>(0x1522),
    ansi<&I::TGetProperty>(0x1523),
    wide<&I::TGetProperty>(0x1524),
    ansi<&I::TCallFrame>(0x1525),
    wide<&I::TCallFrame>(0x1526),
    ansi<&I::TCallLabel>(0x1527),
    wide<&I::TCallLabel>(0x1528),
    ansi<&I::TSetPropertyNum>(0x1529),
    wide<&I::TSetPropertyNum>(0x152A),
    ansi<&I::TGetPropertyNum>(0x152B),
    wide<&I::TGetPropertyNum>(0x152C),
    ansi<&I::TGetPropertyAsNumber>(0x152D),
    wide<&I::TGetPropertyAsNumber>(0x152E),
    wide<&I::get_ReadyState>(0x152F),
    wide<&I::get_TotalFrames>(0x1530),
    wide<&I::put_Playing>(0x1531),
    wide<&I::get_Playing>(0x1532),
    wide<&I::put_Quality>(0x1533),
    wide<&I::get_Quality>(0x1534),
    wide<&I::put_ScaleMode>(0x1535),
    wide<&I::get_ScaleMode>(0x1536),
    wide<&I::put_AlignMode>(0x1537),
    wide<&I::get_AlignMode>(0x1538),
    wide<&I::put_BackgroundColor>(0x1539),
    wide<&I::get_BackgroundColor>(0x153A),
    wide<&I::put_Loop>(0x153B),
    wide<&I::get_Loop>(0x153C),
    ansi<&I::put_Movie>(0x153D),
    wide<&I::put_Movie>(0x153E),
    ansi<&I::get_Movie>(0x153F),
    wide<&I::get_Movie>(0x1540),
    wide<&I::put_FrameNum>(0x1541),
    wide<&I::get_FrameNum>(0x1542),
    ansi<&I::put_WMode>(0x1543),
    wide<&I::put_WMode>(0x1544),
    ansi<&I::get_WMode>(0x1545),
    wide<&I::get_WMode>(0x1546),
    ansi<&I::put_SAlign>(0x1547),
    wide<&I::put_SAlign>(0x1548),
    ansi<&I::get_SAlign>(0x1549),
    wide<&I::get_SAlign>(0x154A),
    wide<&I::put_Menu>(0x154B),
    wide<&I::get_Menu>(0x154C),
    ansi<&I::put_Base>(0x154D),
    wide<&I::put_Base>(0x154E),
    ansi<&I::get_Base>(0x154F),
    wide<&I::get_Base>(0x1550),
    ansi<&I::put_Scale>(0x1551),
    wide<&I::put_Scale>(0x1552),
    ansi<&I::get_Scale>(0x1553),
    wide<&I::get_Scale>(0x1554),
    wide<&I::put_DeviceFont>(0x1555),
    wide<&I::get_DeviceFont>(0x1556),
    wide<&I::put_EmbedMovie>(0x1557),
    wide<&I::get_EmbedMovie>(0x1558),
    ansi<&I::put_BGColor>(0x1559),
    wide<&I::put_BGColor>(0x155A),
    ansi<&I::get_BGColor>(0x155B),
    wide<&I::get_BGColor>(0x155C),
    ansi<&I::put_Quality2>(0x155D),
    wide<&I::put_Quality2>(0x155E),
    ansi<&I::get_Quality2>(0x155F),
    wide<&I::get_Quality2>(0x1560),
    ansi<&I::put_SWRemote>(0x1561),
    wide<&I::put_SWRemote>(0x1562),
    ansi<&I::get_SWRemote>(0x1563),
    wide<&I::get_SWRemote>(0x1564),
    ansi<&I::put_FlashVars>(0x1565, 5),
    wide<&I::put_FlashVars>(0x1566, 5),
    ansi<&I::get_FlashVars>(0x1567, 5),
    wide<&I::get_FlashVars>(0x1568, 5),
    ansi<&I::put_FlashVars>(0x1569),
    wide<&I::put_FlashVars>(0x156A),
    ansi<&I::get_FlashVars>(0x156B),
    wide<&I::get_FlashVars>(0x156C),
    ansi<&I::put_AllowScriptAccess>(0x156D),
    wide<&I::put_AllowScriptAccess>(0x156E),
    ansi<&I::get_AllowScriptAccess>(0x156F),
    wide<&I::get_AllowScriptAccess>(0x1570),
    ansi<&I::put_MovieData>(0x1571),
    wide<&I::put_MovieData>(0x1572),
    ansi<&I::get_MovieData>(0x1573),
    wide<&I::get_MovieData>(0x1574),
};

const ScriptingMessage* findScripting(UINT message) {
  for (const ScriptingMessage& entry : kScripting)
    if (entry.message == message) return &entry;
  return nullptr;
}

IShockwaveFlash* anyPlayer(const GenerationPointers& players) {
  for (const auto& player : players)
    if (player) return player.Get();
  return nullptr;
}

}  // namespace

int playerGeneration(IShockwaveFlash* player) {
  long version = 0;
  if (!player || FAILED(player->FlashVersion(&version))) return 0;
  return flash::flashGeneration(version);
}

bool runScriptingMessage(const GenerationPointers& players, UINT message, void* record) {
  const ScriptingMessage* entry = findScripting(message);
  if (!entry) return false;
  if (!record) return true;
  const int generation = playerGeneration(anyPlayer(players));
  // Generations 3 to 7 lay their members out differently and are not carried: only the
  // current layout (8 and later) is called, so the messages of generation 5 alone answer
  // E_NOTIMPL. Below 3 nothing is called and the result stays E_FAIL.
  if (generation < 3) {
    entry->run(nullptr, record, E_FAIL);
    return true;
  }
  const bool layoutKnown = entry->onlyGeneration == 0 && generation >= 8;
  if (!layoutKnown) {
    entry->run(nullptr, record, E_NOTIMPL);
    return true;
  }
  entry->run(players[8 - 3].Get(), record, E_FAIL);
  return true;
}

size_t scriptingMessageCount() { return sizeof kScripting / sizeof kScripting[0]; }
bool isScriptingMessage(UINT message) { return findScripting(message) != nullptr; }

}  // namespace lumo
