// The player control driven as a form drives it: creation of both kinds, the private messages
// and their records, the ExternalInterface path, notifications, listener and destruction.
#include <windows.h>
#include <oleauto.h>

#include <cstring>

#include "ControlFixture.h"
#include "host/ControlScripting.h"
#include "host/HostApi.h"

namespace hostcontrol_test {
namespace {

using lumo::PlayerControl;
namespace msg = lumo::msg;
namespace notify = lumo::notify;

constexpr DWORD kOpaqueChild = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;  // 0x52000000

std::vector<Seen> seenWith(UINT code) {
  std::vector<Seen> out;
  for (const Seen& s : HostControlTest::seen())
    if (s.code == code) out.push_back(s);
  return out;
}

// --- creation --------------------------------------------------------------------------------

struct KindCase {
  const char* name;
  DWORD style;
  DWORD exStyle;
  bool child;
  bool transparent;
};

TEST_F(HostControlTest, CreatesTransparentOrOpaqueFromStyleBitOrLayeredExtendedStyle) {
  const KindCase cases[] = {
      {"opaque child", kOpaqueChild, 0, true, false},
      {"child with bit 0x1", kOpaqueChild | 0x1, 0, true, true},
      {"layered popup", WS_POPUP | 0x1, WS_EX_LAYERED, false, true},
      {"layered popup without the bit", WS_POPUP, WS_EX_LAYERED, false, true},
  };
  EXPECT_TRUE(lumo::layeredDrawingAvailable());  // Xvfb runs at 24 bits
  HWND parent = createParent();
  for (const KindCase& c : cases) {
    SCOPED_TRACE(c.name);
    HWND control = createControl(c.style, c.exStyle, parent);
    ASSERT_NE(control, nullptr);
    PlayerControl* object = PlayerControl::fromWindow(control);
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(object->hasPlayer());
    EXPECT_EQ(object->transparent(), c.transparent);
    EXPECT_EQ(getText(control, msg::kGetWModeW), c.transparent ? L"Transparent" : L"Window");
    EXPECT_TRUE(object->inPlaceActive());
    // A transparent control hosts the player windowless; an opaque one in its own child window.
    EXPECT_EQ(object->windowless(), c.transparent);
    HWND inner = lumo::playerWindow(control);
    if (c.transparent) {
      EXPECT_EQ(GetWindow(control, GW_CHILD), nullptr);
    } else {
      ASSERT_NE(inner, nullptr);
      EXPECT_EQ(GetParent(inner), control);
    }
    // Defaults of a new control.
    lumo::ContextMenuRecord menu{0xFFFF, E_FAIL};
    EXPECT_EQ(send(control, msg::kGetContextMenu, menu), 1);
    EXPECT_EQ(menu.flag, 0);
    lumo::GetAlphaRecord alpha{0, E_FAIL};
    send(control, msg::kGetAlpha, alpha);
    EXPECT_EQ(alpha.alpha, 255u);
  }
}

TEST_F(HostControlTest, ControlWithoutPlayerAnswersFailuresAndStaysUsable) {
  host_.classObjectEntry = nullptr;  // the image has no class object: creation leaves it empty
  HWND control = createControl(kOpaqueChild, 0, createParent());
  ASSERT_NE(control, nullptr);
  EXPECT_FALSE(PlayerControl::fromWindow(control)->hasPlayer());

  lumo::QueryInterfaceRecord query{IID_IUnknown, reinterpret_cast<void*>(1), S_OK};
  EXPECT_EQ(send(control, msg::kQueryInterface, query), 1);
  EXPECT_EQ(query.result, E_POINTER);
  EXPECT_EQ(query.object, nullptr);

  lumo::CallFunctionRecord call{SysAllocString(L"<invoke name=\"x\"/>"), nullptr, S_OK};
  EXPECT_EQ(send(control, msg::kCallFunction, call), 0);
  EXPECT_EQ(call.result, E_FAIL);
  SysFreeString(call.request);

  lumo::ReturnValueRecord<wchar_t> value{L"<string>x</string>", S_OK};
  EXPECT_EQ(send(control, msg::kSetReturnValueW, value), 0);
  EXPECT_EQ(value.result, E_FAIL);

  const uint8_t bytes[4] = {'F', 'W', 'S', 9};
  lumo::MovieFromMemoryRecord movie{bytes, sizeof bytes, S_OK};
  EXPECT_EQ(send(control, msg::kPutMovieFromMemory, movie), 0);
  EXPECT_EQ(movie.result, E_FAIL);

  lumo::TargetTextAnswerRecord<wchar_t> variable{L"name", nullptr, 0, S_OK};
  EXPECT_EQ(send(control, msg::kGetVariableW, variable), 1);
  EXPECT_EQ(variable.result, E_FAIL);
  // A null record is refused without touching anything.
  EXPECT_EQ(SendMessageW(control, msg::kGetVariableW, 0, 0), 0);
}

// --- the scripting family --------------------------------------------------------------------

TEST_F(HostControlTest, ScriptingTableCoversEveryMessageOfTheFamilyOnce) {
  EXPECT_EQ(lumo::scriptingMessageCount(), size_t{msg::kScriptingLast - msg::kScriptingFirst + 1});
  for (UINT m = msg::kScriptingFirst; m <= msg::kScriptingLast; ++m) EXPECT_TRUE(lumo::isScriptingMessage(m)) << m;
  EXPECT_FALSE(lumo::isScriptingMessage(msg::kScriptingLast + 1));
}

struct NumberProperty {
  const char* name;
  UINT put;
  UINT get;
  int32_t value;
};

TEST_F(HostControlTest, NumberPropertiesRoundTripThroughTheirMessages) {
  const NumberProperty cases[] = {
      {"Quality", 0x1533, 0x1534, 2},
      {"ScaleMode", 0x1535, 0x1536, 3},
      {"AlignMode", 0x1537, 0x1538, 5},
      {"BackgroundColor", 0x1539, 0x153A, 0x123456},
      {"Loop", 0x153B, 0x153C, 0},
      {"Menu", 0x154B, 0x154C, 0},
      {"DeviceFont", 0x1555, 0x1556, 1},
      {"EmbedMovie", 0x1557, 0x1558, 1},
  };
  HWND control = createControl(kOpaqueChild, 0, createParent());
  for (const NumberProperty& c : cases) {
    SCOPED_TRACE(c.name);
    lumo::NumberRecord put{c.value, S_FALSE};
    EXPECT_EQ(send(control, c.put, put), 1);
    EXPECT_EQ(put.result, S_OK);
    lumo::NumberRecord get{-77, S_FALSE};
    EXPECT_EQ(send(control, c.get, get), 1);
    EXPECT_EQ(get.result, S_OK);
    EXPECT_EQ(get.value, c.value);
  }
  uint32_t colour = 0;
  EXPECT_EQ(lumo::getBackgroundColor(control, &colour), S_OK);
  EXPECT_EQ(colour, 0x123456u);
  EXPECT_EQ(lumo::getBackgroundColor(control, nullptr), E_POINTER);
}

struct TextProperty {
  const char* name;
  UINT putA, putW, getA, getW;
  const wchar_t* wide;  // a value the player keeps as given
  const char* ansi;
};

TEST_F(HostControlTest, TextPropertiesAnswerInBothAnsiAndWideForms) {
  const TextProperty cases[] = {
      {"WMode", 0x1543, 0x1544, 0x1545, 0x1546, L"Opaque \u00e9", "Window"},
      {"SAlign", 0x1547, 0x1548, 0x1549, 0x154A, L"T", "L"},
      {"Base", 0x154D, 0x154E, 0x154F, 0x1550, L"C:\\films \u00e9t\u00e9", "C:\\films"},
      {"Scale", 0x1551, 0x1552, 0x1553, 0x1554, L"NoScale", "ExactFit"},
      {"BGColor", 0x1559, 0x155A, 0x155B, 0x155C, L"00FF80", "123456"},
      {"Quality2", 0x155D, 0x155E, 0x155F, 0x1560, L"Best", "Low"},
      {"SWRemote", 0x1561, 0x1562, 0x1563, 0x1564, L"remote \u00e9", "remote"},
      {"FlashVars", 0x1569, 0x156A, 0x156B, 0x156C, L"a=\u00e9&b=2", "c=3"},
      {"AllowScriptAccess", 0x156D, 0x156E, 0x156F, 0x1570, L"always", "never"},
      {"MovieData", 0x1571, 0x1572, 0x1573, 0x1574, L"data \u00e9", "data"},
  };
  HWND control = createControl(kOpaqueChild, 0, createParent());
  for (const TextProperty& c : cases) {
    SCOPED_TRACE(c.name);
    lumo::TextRecord<wchar_t> wide{c.wide, E_FAIL};
    EXPECT_EQ(send(control, c.putW, wide), 1);
    EXPECT_EQ(wide.result, S_OK);
    EXPECT_EQ(getText(control, c.getW), c.wide);
    // The ANSI answer is the same text in the process's ANSI code page.
    EXPECT_EQ(widen(getTextA(control, c.getA)), c.wide);
    lumo::TextRecord<char> ansi{c.ansi, E_FAIL};
    EXPECT_EQ(send(control, c.putA, ansi), 1);
    EXPECT_EQ(ansi.result, S_OK);
    EXPECT_EQ(getText(control, c.getW), widen(c.ansi));
  }
}

TEST_F(HostControlTest, TextAnswerGivesLengthFirstAndNeverOverrunsAShortBuffer) {
  HWND control = createControl(kOpaqueChild, 0, createParent());
  lumo::TextRecord<wchar_t> put{L"0123456789", E_FAIL};
  send(control, msg::kPutBaseW, put);

  lumo::TextAnswerRecord<wchar_t> size{nullptr, 0, E_FAIL};
  EXPECT_EQ(send(control, msg::kGetBaseW, size), 1);
  EXPECT_EQ(size.result, S_OK);
  EXPECT_EQ(size.count, 11u);

  wchar_t exact[11];
  std::memset(exact, 0xAA, sizeof exact);
  lumo::TextAnswerRecord<wchar_t> full{exact, 11, E_FAIL};
  send(control, msg::kGetBaseW, full);
  EXPECT_STREQ(exact, L"0123456789");

  wchar_t small[8];
  std::memset(small, 0xAA, sizeof small);
  lumo::TextAnswerRecord<wchar_t> shortAnswer{small, 5, E_FAIL};
  send(control, msg::kGetBaseW, shortAnswer);
  EXPECT_STREQ(small, L"0123");
  EXPECT_EQ(shortAnswer.count, 11u);  // still tells how much is needed
  EXPECT_EQ(small[5], static_cast<wchar_t>(0xAAAA));
}

TEST_F(HostControlTest, RecordsWithMixedFieldsReachTheirMembers) {
  HWND control = createControl(kOpaqueChild, 0, createParent());
  // {target, int, text}, {target, int, buffer, count}
  lumo::PropertyTextRecord<wchar_t> setText{L"/clip", 7, L"seven", E_FAIL};
  EXPECT_EQ(send(control, 0x1522, setText), 1);
  EXPECT_EQ(setText.result, S_OK);
  wchar_t buffer[16]{};
  lumo::PropertyTextAnswerRecord<wchar_t> getTextRecord{L"/clip", 7, buffer, 16, E_FAIL};
  send(control, 0x1524, getTextRecord);
  EXPECT_EQ(getTextRecord.result, S_OK);
  EXPECT_STREQ(buffer, L"seven");
  EXPECT_EQ(getTextRecord.count, 6u);
  // {target, int, double}: the double sits after padding on 64-bit builds
  lumo::PropertyNumberRecord<char> setNumber{"/clip", 9, 2.5, E_FAIL};
  EXPECT_EQ(send(control, 0x1529, setNumber), 1);
  EXPECT_EQ(setNumber.result, S_OK);
  lumo::PropertyNumberRecord<wchar_t> getNumber{L"/clip", 9, 0, E_FAIL};
  send(control, 0x152C, getNumber);
  EXPECT_EQ(getNumber.result, S_OK);
  EXPECT_DOUBLE_EQ(getNumber.value, 2.5);
  lumo::PropertyNumberRecord<char> asNumber{"/clip", 9, 0, E_FAIL};
  send(control, 0x152D, asNumber);
  EXPECT_DOUBLE_EQ(asNumber.value, 2.5);

  lumo::NumberRecord version{0, E_FAIL};
  send(control, msg::kFlashVersion, version);
  EXPECT_EQ(version.result, S_OK);
  EXPECT_EQ((version.value >> 16) & 0xFF, 9);
  lumo::ZoomRectRecord zoom{1, 2, 3, 4, E_FAIL};
  EXPECT_EQ(send(control, 0x1500, zoom), 1);
  EXPECT_EQ(zoom.result, S_OK);
  lumo::PanRecord pan{10, 20, 1, E_FAIL};
  send(control, 0x1502, pan);
  EXPECT_EQ(pan.result, S_OK);
}

TEST_F(HostControlTest, GenerationFiveFlashVarsMessagesAreNotCalledOnTheCurrentLayout) {
  HWND control = createControl(kOpaqueChild, 0, createParent());
  lumo::TextRecord<wchar_t> put{L"a=1", S_OK};
  EXPECT_EQ(send(control, 0x1566, put), 1);
  EXPECT_EQ(put.result, E_NOTIMPL);
  EXPECT_EQ(getText(control, 0x156C), L"");  // nothing reached the player
}

// --- movies and variables --------------------------------------------------------------------

TEST_F(HostControlTest, MovieByPathLoadsAndVariablesRoundTripInBothForms) {
  HWND parent = createParent();
  HWND control = createControl(kOpaqueChild, 0, parent);
  ASSERT_TRUE(loadMovie(control, writeMovie("plain.swf", "set greeting hello\n")));
  ASSERT_TRUE(waitTranscript("end"));
  EXPECT_FALSE(seenWith(notify::kReadyStateChange).empty());

  // 0x1520 asked twice: length, then the text into a zero-filled buffer of that length.
  lumo::TargetTextAnswerRecord<wchar_t> first{L"greeting", nullptr, 0, E_FAIL};
  EXPECT_EQ(send(control, msg::kGetVariableW, first), 1);
  EXPECT_EQ(first.result, S_OK);
  EXPECT_EQ(first.count, 6u);
  std::wstring buffer(first.count, L'\0');
  lumo::TargetTextAnswerRecord<wchar_t> second{L"greeting", buffer.data(), first.count, E_FAIL};
  send(control, msg::kGetVariableW, second);
  EXPECT_STREQ(buffer.c_str(), L"hello");

  lumo::TwoTextRecord<char> setA{"answer", "forty-two", E_FAIL};
  EXPECT_EQ(send(control, msg::kSetVariableA, setA), 1);
  EXPECT_EQ(setA.result, S_OK);
  char ansi[32]{};
  lumo::TargetTextAnswerRecord<char> getA{"answer", ansi, 32, E_FAIL};
  send(control, msg::kGetVariableA, getA);
  EXPECT_STREQ(ansi, "forty-two");

  lumo::TargetTextAnswerRecord<wchar_t> missing{L"nothing", nullptr, 0, S_OK};
  send(control, msg::kGetVariableW, missing);
  EXPECT_TRUE(FAILED(missing.result));

  // Movie reads back through both get Movie forms.
  EXPECT_NE(getText(control, 0x1540).find(L"plain.swf"), std::wstring::npos);
  EXPECT_NE(getTextA(control, 0x153F).find("plain.swf"), std::string::npos);
}

// --- ExternalInterface -----------------------------------------------------------------------

TEST_F(HostControlTest, FlashCallReachesParentWideThenAnsiAndIsAnsweredBySetReturnValue) {
  HWND parent = createParent();
  HWND control = createControl(kOpaqueChild, 0, parent, 42);
  listen(control);
  flashCallAnswer() = L"<string>pong</string>";
  ASSERT_TRUE(loadMovie(control, writeMovie("call.swf", "call vor.test first second\nexpect pong\n")));
  ASSERT_TRUE(waitTranscript("end"));
  EXPECT_TRUE(transcriptHas("PASS line 2")) << "the movie did not receive the answer";

  std::vector<Seen> calls;
  for (const Seen& s : seen())
    if (s.code == notify::kFlashCallW || s.code == notify::kFlashCallA) calls.push_back(s);
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].who + ":" + std::to_string(calls[0].code), "parent:" + std::to_string(notify::kFlashCallW));
  EXPECT_EQ(calls[1].who + ":" + std::to_string(calls[1].code), "listener:" + std::to_string(notify::kFlashCallW));
  EXPECT_EQ(calls[2].who + ":" + std::to_string(calls[2].code), "parent:" + std::to_string(notify::kFlashCallA));
  EXPECT_EQ(calls[3].who + ":" + std::to_string(calls[3].code), "listener:" + std::to_string(notify::kFlashCallA));
  for (const Seen& s : calls) {
    EXPECT_EQ(s.from, control);
    EXPECT_EQ(s.id, 42u);
    EXPECT_EQ(s.text.rfind(L"<invoke name=\"vor.test\"", 0), 0u) << s.text;
    EXPECT_NE(s.text.find(L"<string>second</string>"), std::wstring::npos);
  }
  EXPECT_EQ(calls[0].text, calls[2].text);
}

TEST_F(HostControlTest, WithoutParentOnlyTheListenerSeesNotifications) {
  HWND control = createControl(WS_POPUP, 0, nullptr);
  listen(control);
  const std::wstring path = writeMovie("alone.swf", "call vor.alone\n");
  lumo::TextRecord<wchar_t> movie{path.c_str(), E_FAIL};
  send(control, msg::kPutMovieW, movie);
  ASSERT_TRUE(waitTranscript("end"));
  auto wide = seenWith(notify::kFlashCallW);
  auto ansi = seenWith(notify::kFlashCallA);
  ASSERT_EQ(wide.size(), 1u);
  ASSERT_EQ(ansi.size(), 1u);
  EXPECT_EQ(wide[0].who, "listener");
  EXPECT_EQ(ansi[0].who, "listener");
  for (const Seen& s : seen()) EXPECT_EQ(s.who, "listener");
}

TEST_F(HostControlTest, CallFunctionReachesTheMovieCallbackAndCopiesItsAnswer) {
  HWND control = createControl(kOpaqueChild, 0, createParent());
  ASSERT_TRUE(loadMovie(control, writeMovie("callback.swf", "callback ping pong\n")));
  ASSERT_TRUE(waitTranscript("callback ping"));
  const std::wstring request = L"<invoke name=\"ping\" returntype=\"xml\"><arguments></arguments></invoke>";
  const std::wstring expected = L"<string>pong</string>";

  uint32_t count = 0;
  EXPECT_EQ(lumo::callFunction(control, request, nullptr, &count), S_OK);
  EXPECT_EQ(count, expected.size() + 1);

  wchar_t buffer[1023];
  count = 1023;
  EXPECT_EQ(lumo::callFunction(control, request, buffer, &count), S_OK);
  EXPECT_EQ(std::wstring(buffer), expected);
  EXPECT_EQ(count, expected.size() + 1);

  wchar_t small[6];
  count = 6;
  EXPECT_EQ(lumo::callFunction(control, request, small, &count), S_OK);
  EXPECT_EQ(std::wstring(small), L"<stri");
  EXPECT_EQ(count, 6u);

  EXPECT_EQ(lumo::callFunction(control, request, buffer, nullptr), E_POINTER);

  // A callback the movie never registered: the failure comes back and nothing is copied.
  wcscpy(buffer, L"untouched");
  count = 1023;
  HRESULT hr = lumo::callFunction(control, L"<invoke name=\"nobody\" returntype=\"xml\"><arguments></arguments></invoke>",
                                  buffer, &count);
  EXPECT_TRUE(FAILED(hr));
  EXPECT_STREQ(buffer, L"untouched");
  EXPECT_EQ(count, 1023u);
}

TEST_F(HostControlTest, FsCommandAndReadyStateBecomeNotificationsInOrder) {
  HWND parent = createParent();
  HWND control = createControl(kOpaqueChild, 0, parent);
  ASSERT_TRUE(loadMovie(control, writeMovie("fs.swf", "fscommand quit now\nfscommand bare\n")));
  ASSERT_TRUE(waitTranscript("end"));
  std::vector<Seen> fs;
  for (const Seen& s : seen())
    if (s.code == notify::kFSCommandW || s.code == notify::kFSCommandA) fs.push_back(s);
  ASSERT_EQ(fs.size(), 4u);
  EXPECT_EQ(fs[0].code, notify::kFSCommandW);
  EXPECT_EQ(fs[0].text, L"quit");
  EXPECT_EQ(fs[0].second, L"now");
  EXPECT_EQ(fs[1].code, notify::kFSCommandA);
  EXPECT_EQ(fs[1].text, L"quit");
  EXPECT_EQ(fs[1].second, L"now");
  EXPECT_EQ(fs[2].text, L"bare");
  EXPECT_EQ(fs[2].second, L"");
  auto ready = seenWith(notify::kReadyStateChange);
  ASSERT_FALSE(ready.empty());
  EXPECT_EQ(ready.back().number, 4);
}

TEST_F(HostControlTest, UnknownEventAnswersMemberNotFoundAndRaisesNothing) {
  HWND control = createControl(kOpaqueChild, 0, createParent());
  listen(control);
  seen().clear();
  ComPtr<IDispatch> sink;
  ASSERT_EQ(PlayerControl::fromWindow(control)->QueryInterface(flash::DIID_IShockwaveFlashEvents, &sink), S_OK);
  DISPPARAMS none{};
  EXPECT_EQ(sink->Invoke(4242, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(sink->Invoke(-701 /* an ambient property */, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, nullptr, nullptr,
                         nullptr),
            DISP_E_MEMBERNOTFOUND);
  EXPECT_TRUE(seen().empty());

  // A known event raises its pair.
  VARIANT request;
  request.vt = VT_BSTR;
  request.bstrVal = SysAllocString(L"<invoke name=\"direct\"/>");
  DISPPARAMS one{&request, nullptr, 1, 0};
  EXPECT_EQ(sink->Invoke(197, IID_NULL, 0, DISPATCH_METHOD, &one, nullptr, nullptr, nullptr), S_OK);
  VariantClear(&request);
  ASSERT_EQ(seenWith(notify::kFlashCallA).size(), 2u);  // parent and listener
}

TEST_F(HostControlTest, ListenerCanBeReplacedAndCleared) {
  HWND control = createControl(WS_POPUP, 0, nullptr);
  listen(control);
  ComPtr<IDispatch> sink;
  PlayerControl::fromWindow(control)->QueryInterface(IID_IDispatch, &sink);
  VARIANT state;
  state.vt = VT_I4;
  state.lVal = 3;
  DISPPARAMS one{&state, nullptr, 1, 0};
  sink->Invoke(-609, IID_NULL, 0, DISPATCH_METHOD, &one, nullptr, nullptr, nullptr);
  ASSERT_EQ(seenWith(notify::kReadyStateChange).size(), 1u);
  EXPECT_EQ(seenWith(notify::kReadyStateChange)[0].number, 3);

  lumo::EventListenerRecord cleared{nullptr, nullptr};
  EXPECT_EQ(SendMessageW(control, RegisterWindowMessageA(lumo::kSetEventListenerMessage), 0,
                         reinterpret_cast<LPARAM>(&cleared)),
            1);
  sink->Invoke(-609, IID_NULL, 0, DISPATCH_METHOD, &one, nullptr, nullptr, nullptr);
  EXPECT_EQ(seenWith(notify::kReadyStateChange).size(), 1u);
}

TEST_F(HostControlTest, ExternalResourceMessageRaisesFourNotificationsAndReportsHandled) {
  HWND parent = createParent();
  HWND control = createControl(kOpaqueChild, 0, parent);
  BSTR url = SysAllocString(L"images/a.jpg");
  char ansi[64];
  std::memset(ansi, 'x', sizeof ansi);
  lumo::ExternalResourceRecord record{url, ansi, sizeof ansi, nullptr, 0};
  EXPECT_EQ(SendMessageW(control, RegisterWindowMessageA(lumo::kLoadExternalResourceMessage), 0,
                         reinterpret_cast<LPARAM>(&record)),
            1);
  SysFreeString(url);
  EXPECT_STREQ(ansi, "images/a.jpg");
  ASSERT_EQ(seen().size(), 4u);
  EXPECT_EQ(seen()[0].code, notify::kResourceA);
  EXPECT_EQ(seen()[1].code, notify::kResourceAnswerableA);
  EXPECT_EQ(seen()[2].code, notify::kResourceW);
  EXPECT_EQ(seen()[3].code, notify::kResourceAnswerableW);
  EXPECT_EQ(seen()[3].number, TRUE);  // the parent's answer to the ANSI one carried over
  EXPECT_EQ(seen()[2].text, L"images/a.jpg");
  EXPECT_EQ(record.handled, TRUE);

  PlayerControl* pointer = nullptr;
  EXPECT_EQ(SendMessageW(control, RegisterWindowMessageA(lumo::kGetObjectPointerMessage), 0,
                         reinterpret_cast<LPARAM>(&pointer)),
            1);
  EXPECT_EQ(pointer, PlayerControl::fromWindow(control));
}

// --- other control messages ------------------------------------------------------------------

TEST_F(HostControlTest, ContextMenuFlagKeepsRightButtonReleaseFromThePlayer) {
  HWND control = createControl(kOpaqueChild, 0, createParent());
  HWND inner = lumo::playerWindow(control);
  ASSERT_NE(inner, nullptr);
  ASSERT_TRUE(loadMovie(control, writeMovie("menu.swf", "")));

  PostMessageW(inner, WM_RBUTTONUP, 0, MAKELPARAM(12, 13));
  pumpFor(100);
  EXPECT_FALSE(transcriptHas("mouse right up")) << "the player saw the release with the flag at 0";
  EXPECT_FALSE(transcriptHas("menu"));

  lumo::ContextMenuRecord on{1, E_FAIL};
  EXPECT_EQ(send(control, msg::kSetContextMenu, on), 1);
  EXPECT_EQ(on.result, S_OK);
  lumo::ContextMenuRecord read{0, E_FAIL};
  send(control, msg::kGetContextMenu, read);
  EXPECT_EQ(read.flag, 1);
  closeMenuSoon();
  PostMessageW(inner, WM_RBUTTONUP, 0, MAKELPARAM(12, 13));
  EXPECT_TRUE(waitTranscript("mouse right up", 2000));
  EXPECT_TRUE(waitTranscript("menu-dismissed", 2000)) << "the player's own menu opened on the release";
}

TEST_F(HostControlTest, ConstantAlphaAndQueryInterfaceAndCaptureFrame) {
  HWND control = createControl(kOpaqueChild, 0, createParent());
  lumo::SetAlphaRecord set{128, E_FAIL};
  EXPECT_EQ(send(control, msg::kSetAlpha, set), 1);
  lumo::GetAlphaRecord get{0, E_FAIL};
  send(control, msg::kGetAlpha, get);
  EXPECT_EQ(get.alpha, 128u);

  lumo::QueryInterfaceRecord query{flash::IID_IShockwaveFlash, nullptr, E_FAIL};
  EXPECT_EQ(send(control, msg::kQueryInterface, query), 1);
  ASSERT_EQ(query.result, S_OK);
  ASSERT_NE(query.object, nullptr);
  static_cast<IUnknown*>(query.object)->Release();
  lumo::QueryInterfaceRecord refused{IID_IServiceProvider, reinterpret_cast<void*>(1), S_OK};
  send(control, msg::kQueryInterface, refused);
  EXPECT_EQ(refused.result, E_NOINTERFACE);

  lumo::CaptureFrameRecord frame{nullptr, E_FAIL};
  EXPECT_EQ(send(control, msg::kCaptureFrame, frame), 1);
  EXPECT_EQ(frame.result, S_OK);
  ASSERT_NE(frame.bitmap, nullptr);
  BITMAP info{};
  GetObjectW(frame.bitmap, sizeof info, &info);
  RECT client;
  GetClientRect(control, &client);
  EXPECT_EQ(info.bmWidth, client.right);
  EXPECT_EQ(info.bmHeight, client.bottom);
  DeleteObject(frame.bitmap);

  EXPECT_EQ(lumo::setWindowMode(control, L"Opaque"), S_OK);
  EXPECT_EQ(getText(control, msg::kGetWModeW), L"Opaque");
}

// The module's side of movies from memory, recorded: the stream it hands out and its path.
struct StartedMovie {
  HWND control = nullptr;
  int count = 0;
  ComPtr<IStream> stream;
};

HRESULT startIntoMemory(void* context, HWND control, std::wstring* path, IStream** writer) {
  auto* started = static_cast<StartedMovie*>(context);
  started->control = control;
  *path = L"memory-movie-" + std::to_wstring(++started->count) + L".swf";
  started->stream.Reset();
  HRESULT hr = CreateStreamOnHGlobal(nullptr, TRUE, &started->stream);
  if (FAILED(hr)) return hr;
  return started->stream.CopyTo(writer);
}

std::string streamText(IStream* stream) {
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  std::string bytes(static_cast<size_t>(stat.cbSize.QuadPart), '\0');
  LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  ULONG read = 0;
  stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
  return bytes;
}

TEST_F(HostControlTest, MoviesFromMemoryLoadTheResetUrlThenTheirPathAndAreWrittenThrough) {
  HWND control = createControl(kOpaqueChild, 0, createParent());
  const char movieBytes[] = "FWS-movie-bytes";
  lumo::MovieFromMemoryRecord refused{movieBytes, sizeof movieBytes, S_OK};
  EXPECT_EQ(send(control, msg::kPutMovieFromMemory, refused), 1);
  EXPECT_EQ(refused.result, E_NOTIMPL);  // a host that serves no memory movies

  StartedMovie started;
  DestroyWindow(control);
  host_.startMemoryMovie = &startIntoMemory;
  host_.context = &started;
  control = createControl(kOpaqueChild, 0, createParent());

  lumo::MovieFromMemoryRecord main{movieBytes, sizeof movieBytes, E_FAIL};
  EXPECT_EQ(send(control, msg::kPutMovieFromMemory, main), 1);
  EXPECT_EQ(main.result, S_OK);
  EXPECT_EQ(started.control, control);
  EXPECT_EQ(streamText(started.stream.Get()), std::string(movieBytes, sizeof movieBytes));
  EXPECT_EQ(getText(control, 0x1540), L"memory-movie-1.swf");

  lumo::LayerFromMemoryRecord layer{3, movieBytes, 4, E_FAIL};
  EXPECT_EQ(send(control, msg::kLoadMovieFromMemory, layer), 1);
  EXPECT_EQ(layer.result, S_OK);
  EXPECT_EQ(streamText(started.stream.Get()), "FWS-");

  lumo::LayerStreamRecord handed{5, nullptr, E_FAIL};
  EXPECT_EQ(send(control, msg::kLoadMovieFromStream, handed), 1);
  EXPECT_EQ(handed.result, S_OK);
  ASSERT_EQ(handed.stream, started.stream.Get());  // the caller writes the movie into it
  handed.stream->Release();

  // The player was told the reset URL as well as the memory path (a replaced main movie leaves
  // no trace in the stand-in's transcript, a layer's loads both do).
  std::vector<std::string> loads;
  pumpUntil([&] {
    loads.clear();
    for (const std::string& line : transcript())
      if (line.find("AGKJGSAKLHASKLASKLSAKLKLSAKLAKLL") != std::string::npos ||
          line.find("memory-movie-") != std::string::npos)
        loads.push_back(line);
    return loads.size() >= 3;
  });
  ASSERT_GE(loads.size(), 2u);
  bool reset = false;
  for (const std::string& line : loads) reset = reset || line.find("AGKJGSAKLHASKLASKLSAKLKLSAKLAKLL") != std::string::npos;
  EXPECT_TRUE(reset);

  lumo::MovieFromMemoryRecord missing{nullptr, 10, S_OK};
  send(control, msg::kPutMovieFromMemory, missing);
  EXPECT_EQ(missing.result, E_POINTER);
}

TEST_F(HostControlTest, ResizingAndFocusingTheControlReachThePlayer) {
  HWND control = createControl(kOpaqueChild, 0, createParent());
  HWND inner = lumo::playerWindow(control);
  ASSERT_NE(inner, nullptr);
  MoveWindow(control, 0, 0, 200, 120, TRUE);
  RECT size{};
  GetClientRect(inner, &size);
  EXPECT_EQ(size.right, 200);
  EXPECT_EQ(size.bottom, 120);

  // The focus given to the control goes on to the player's window, which becomes UI-active.
  SetFocus(control);
  EXPECT_EQ(GetFocus(), inner);
  lumo::NumberRecord loop{0, E_FAIL};
  EXPECT_EQ(send(control, 0x153C, loop), 1);  // still answering after the focus moved
  EXPECT_EQ(loop.result, S_OK);
}

TEST_F(HostControlTest, WantAllKeysStyleBitAnswersGetDlgCode) {
  HWND parent = createParent();
  HWND plain = createControl(kOpaqueChild, 0, parent, 1);
  HWND wanting = createControl(kOpaqueChild | 0x2, 0, parent, 2);
  EXPECT_EQ(SendMessageW(wanting, WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);
  EXPECT_NE(SendMessageW(plain, WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);
}

TEST_F(HostControlTest, DestroyingTheWindowReleasesThePlayer) {
  HWND parent = createParent();
  HWND control = createControl(kOpaqueChild, 0, parent);
  ASSERT_TRUE(loadMovie(control, writeMovie("gone.swf", "")));
  EXPECT_FALSE(playerCanUnload());
  DestroyWindow(control);
  pumpFor(50);
  EXPECT_EQ(PlayerControl::fromWindow(control), nullptr);
  EXPECT_TRUE(playerCanUnload()) << "a player object or lock is still alive";
}

}  // namespace
}  // namespace hostcontrol_test
