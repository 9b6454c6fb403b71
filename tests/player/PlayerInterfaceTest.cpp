// The player's scripting interface through its vtable slot by slot, its IDispatch, and its
// events on the connection point.
#include <gtest/gtest.h>
#include <olectl.h>

#include "PlayerHarness.h"

using namespace player_test;

namespace {

class PlayerInterface : public ::testing::Test, public PlayerFixtureBase {};

enum class Kind { Long, Int, Bool, Text };

// A property pair by slot number: put a value, read it back through the get slot.
struct PropertyCase {
  const char* name;
  int getSlot, putSlot;
  Kind kind;
  long number;
  const wchar_t* text;
};

const PropertyCase kProperties[] = {
    {"Playing", 9, 10, Kind::Bool, 0, nullptr},
    {"Quality", 11, 12, Kind::Int, 4, nullptr},
    {"ScaleMode", 13, 14, Kind::Int, 2, nullptr},
    {"AlignMode", 15, 16, Kind::Int, 5, nullptr},
    {"BackgroundColor", 17, 18, Kind::Long, 0x123456, nullptr},
    {"Loop", 19, 20, Kind::Bool, 0, nullptr},
    {"WMode", 40, 41, Kind::Text, 0, L"Transparent"},
    {"SAlign", 42, 43, Kind::Text, 0, L"LT"},
    {"Menu", 44, 45, Kind::Bool, 0, nullptr},
    {"Base", 46, 47, Kind::Text, 0, L"C:\\movies\\"},
    {"Scale", 48, 49, Kind::Text, 0, L"NoScale"},
    {"DeviceFont", 50, 51, Kind::Bool, -1, nullptr},
    {"EmbedMovie", 52, 53, Kind::Bool, -1, nullptr},
    {"BGColor", 54, 55, Kind::Text, 0, L"ABCDEF"},
    {"Quality2", 56, 57, Kind::Text, 0, L"Best"},
    {"SWRemote", 74, 75, Kind::Text, 0, L"remote"},
    {"FlashVars", 76, 77, Kind::Text, 0, L"a=1&b=two"},
    {"AllowScriptAccess", 78, 79, Kind::Text, 0, L"always"},
    {"MovieData", 80, 81, Kind::Text, 0, L"data"},
    {"SeamlessTabbing", 84, 85, Kind::Bool, 0, nullptr},
    {"Profile", 87, 88, Kind::Bool, -1, nullptr},
    {"ProfileAddress", 89, 90, Kind::Text, 0, L"127.0.0.1"},
    {"ProfilePort", 91, 92, Kind::Long, 9999, nullptr},
    {"AllowNetworking", 96, 97, Kind::Text, 0, L"internal"},
    {"AllowFullScreen", 98, 99, Kind::Text, 0, L"true"},
    {"Movie", 21, 22, Kind::Text, 0, L"no-such-movie.swf"},
};

TEST_F(PlayerInterface, EachPropertySlotKeepsWhatWasPut) {
  ASSERT_TRUE(player);
  IUnknown* p = player.Get();
  for (const PropertyCase& c : kProperties) {
    SCOPED_TRACE(c.name);
    switch (c.kind) {
      case Kind::Long: {
        ASSERT_EQ(S_OK, callSlot(p, c.putSlot, c.number));
        long got = -7;
        ASSERT_EQ(S_OK, callSlot(p, c.getSlot, &got));
        EXPECT_EQ(c.number, got);
        break;
      }
      case Kind::Int: {
        ASSERT_EQ(S_OK, callSlot(p, c.putSlot, static_cast<int>(c.number)));
        int got = -7;
        ASSERT_EQ(S_OK, callSlot(p, c.getSlot, &got));
        EXPECT_EQ(c.number, got);
        break;
      }
      case Kind::Bool: {
        VARIANT_BOOL put = static_cast<VARIANT_BOOL>(c.number);
        ASSERT_EQ(S_OK, callSlot(p, c.putSlot, put));
        VARIANT_BOOL got = 7;
        ASSERT_EQ(S_OK, callSlot(p, c.getSlot, &got));
        EXPECT_EQ(put, got);
        break;
      }
      case Kind::Text: {
        BSTR put = bstr(c.text);
        ASSERT_EQ(S_OK, callSlot(p, c.putSlot, put));
        SysFreeString(put);
        BSTR got = nullptr;
        ASSERT_EQ(S_OK, callSlot(p, c.getSlot, &got));
        EXPECT_EQ(std::wstring(c.text), std::wstring(got, SysStringLen(got)));
        SysFreeString(got);
        break;
      }
    }
  }
}

TEST_F(PlayerInterface, TextAndNumberFormsOfASettingAgree) {
  IUnknown* p = player.Get();
  BSTR scale = bstr(L"ExactFit");
  callSlot(p, 49, scale);  // put_Scale
  SysFreeString(scale);
  int mode = -1;
  callSlot(p, 13, &mode);  // get_ScaleMode
  EXPECT_EQ(2, mode);

  callSlot(p, 18, 0x00FF8000L);  // put_BackgroundColor
  BSTR color = nullptr;
  callSlot(p, 54, &color);  // get_BGColor
  EXPECT_STREQ(L"FF8000", color);
  SysFreeString(color);

  BSTR align = bstr(L"RB");
  callSlot(p, 43, align);  // put_SAlign
  SysFreeString(align);
  int alignMode = 0;
  callSlot(p, 15, &alignMode);  // get_AlignMode
  EXPECT_EQ(2 | 8, alignMode);

  BSTR bad = bstr(L"Sideways");
  EXPECT_EQ(E_INVALIDARG, callSlot(p, 49, bad));  // an unknown scale is refused
  SysFreeString(bad);
}

TEST_F(PlayerInterface, FlashVersionAnswersGenerationNine) {
  long version = 0;
  ASSERT_EQ(S_OK, callSlot(player.Get(), 39, &version));
  EXPECT_EQ(9, flash::flashGeneration(version));
}

TEST_F(PlayerInterface, VariableAndTargetPropertySlotsRoundTrip) {
  IUnknown* p = player.Get();
  BSTR name = bstr(L"vor.__callFunction"), value = bstr(L"a<b>&c"), target = bstr(L"/clip");
  ASSERT_EQ(S_OK, callSlot(p, 65, name, value));  // SetVariable
  BSTR got = nullptr;
  ASSERT_EQ(S_OK, callSlot(p, 66, name, &got));  // GetVariable
  EXPECT_STREQ(L"a<b>&c", got);
  SysFreeString(got);

  BSTR missing = bstr(L"nothing.here");
  got = nullptr;
  EXPECT_EQ(E_FAIL, callSlot(p, 66, missing, &got));
  EXPECT_EQ(nullptr, got);

  ASSERT_EQ(S_OK, callSlot(p, 67, target, 5, value));  // TSetProperty
  got = nullptr;
  ASSERT_EQ(S_OK, callSlot(p, 68, target, 5, &got));  // TGetProperty
  EXPECT_STREQ(L"a<b>&c", got);
  SysFreeString(got);

  ASSERT_EQ(S_OK, callSlot(p, 71, target, 3, 2.5));  // TSetPropertyNum
  double number = 0;
  ASSERT_EQ(S_OK, callSlot(p, 72, target, 3, &number));  // TGetPropertyNum
  EXPECT_DOUBLE_EQ(2.5, number);
  number = 0;
  ASSERT_EQ(S_OK, callSlot(p, 73, target, 3, &number));  // TGetPropertyAsNumber
  EXPECT_DOUBLE_EQ(2.5, number);

  ComPtr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, &stream);
  ASSERT_EQ(S_OK, callSlot(p, 83, static_cast<IUnknown*>(stream.Get())));  // put_InlineData
  IUnknown* inline_ = nullptr;
  ASSERT_EQ(S_OK, callSlot(p, 82, &inline_));
  EXPECT_EQ(static_cast<IUnknown*>(stream.Get()), inline_);
  inline_->Release();

  for (BSTR b : {name, value, target, missing}) SysFreeString(b);
}

TEST_F(PlayerInterface, TimelineSlotsMoveThroughTheFramesOfALoadedMovie) {
  movie::SwfMovie m = makeMovie(100, 80, 0x336699);
  m.frameCount = 5;
  ASSERT_TRUE(loadMovie(writeMovie(folder.file(L"frames.swf"), m)));
  IUnknown* p = player.Get();
  long value = 0;
  ASSERT_EQ(S_OK, callSlot(p, 8, &value));  // get_TotalFrames
  EXPECT_EQ(5, value);
  ASSERT_EQ(S_OK, callSlot(p, 37, &value));  // PercentLoaded
  EXPECT_EQ(100, value);
  ASSERT_EQ(S_OK, callSlot(p, 7, &value));  // get_ReadyState
  EXPECT_EQ(4, value);

  struct Step {
    int slot;
    long argument;  // -1: none
    long frame;
  } steps[] = {{34, 3, 3}, {31, -1, 4}, {31, -1, 4}, {30, -1, 3}, {32, -1, 0}, {24, 2, 2}};
  for (const Step& s : steps) {
    if (s.argument >= 0)
      ASSERT_EQ(S_OK, callSlot(p, s.slot, s.argument));
    else
      ASSERT_EQ(S_OK, callSlot(p, s.slot));
    ASSERT_EQ(S_OK, callSlot(p, 35, &value));  // CurrentFrame
    EXPECT_EQ(s.frame, value) << "after slot " << s.slot;
    ASSERT_EQ(S_OK, callSlot(p, 23, &value));  // get_FrameNum
    EXPECT_EQ(s.frame, value);
  }

  VARIANT_BOOL playing = VARIANT_TRUE;
  ASSERT_EQ(S_OK, callSlot(p, 29));  // Stop
  callSlot(p, 36, &playing);         // IsPlaying
  EXPECT_EQ(VARIANT_FALSE, playing);
  ASSERT_EQ(S_OK, callSlot(p, 28));  // Play
  callSlot(p, 36, &playing);
  EXPECT_EQ(VARIANT_TRUE, playing);
  ASSERT_EQ(S_OK, callSlot(p, 33));  // StopPlay
  callSlot(p, 9, &playing);          // get_Playing
  EXPECT_EQ(VARIANT_FALSE, playing);

  VARIANT_BOOL loaded = VARIANT_FALSE;
  callSlot(p, 38, 4L, &loaded);  // FrameLoaded
  EXPECT_EQ(VARIANT_TRUE, loaded);
  callSlot(p, 38, 5L, &loaded);
  EXPECT_EQ(VARIANT_FALSE, loaded);
  EXPECT_TRUE(transcript->has("stop"));
  EXPECT_TRUE(transcript->has("gotoframe 3"));
}

// The settings a host puts before it loads a movie, each reached by its slot number and each
// seen in what the movie does: Base resolves the relative movie, FlashVars become variables,
// BGColor paints the stage, WMode decides windowless siting.
TEST_F(PlayerInterface, HostSettingsTakeEffectThroughTheirVtableNumbers) {
  IUnknown* p = player.Get();
  TestSite& site = makeSite(/*allowWindowless=*/true, 120, 90);
  BSTR window = bstr(L"Window");
  ASSERT_EQ(S_OK, callSlot(p, 41, window));  // put_WMode
  SysFreeString(window);
  ASSERT_EQ(S_OK, activate(site));
  EXPECT_FALSE(site.called("OnInPlaceActivateEx windowless")) << "Window mode keeps a window of its own";

  writeMovie(folder.file(L"settings.swf"), makeMovie(120, 90, 0xFFFFFF, "var greeting\n"));
  BSTR base = bstr((folder.path() + L"\\").c_str()), vars = bstr(L"greeting=hello%20there&n=2"),
       colour = bstr(L"00FF00"), name = bstr(L"settings.swf");
  ASSERT_EQ(S_OK, callSlot(p, 47, base));    // put_Base
  ASSERT_EQ(S_OK, callSlot(p, 77, vars));    // put_FlashVars
  ASSERT_EQ(S_OK, callSlot(p, 55, colour));  // put_BGColor
  ASSERT_EQ(S_OK, callSlot(p, 22, name));    // put_Movie, relative to Base
  for (BSTR b : {base, vars, colour, name}) SysFreeString(b);
  ASSERT_TRUE(pumpUntil([&] {
    long state = 0;
    callSlot(p, 7, &state);  // get_ReadyState
    return state == 4 && transcript->has("end");
  }));
  EXPECT_TRUE(transcript->has("movie ") && !transcript->has("movie-failed"));
  EXPECT_TRUE(transcript->has("var \"greeting\" \"hello there\"")) << "the script sees the FlashVar";
  BSTR greeting = bstr(L"greeting"), got = nullptr;
  ASSERT_EQ(S_OK, callSlot(p, 66, greeting, &got));  // GetVariable
  EXPECT_STREQ(L"hello there", got);
  SysFreeString(got);
  SysFreeString(greeting);
  long rgb = 0;
  ASSERT_EQ(S_OK, callSlot(p, 17, &rgb));  // get_BackgroundColor
  EXPECT_EQ(0x00FF00, rgb);
  ComPtr<IViewObject> view;
  ASSERT_EQ(S_OK, player.As(&view));
  const std::vector<uint32_t> px = renderPixels(120, 90, 0x000000, [&](HDC dc) {
    RECTL bounds{0, 0, 120, 90};
    view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0);
  });
  EXPECT_EQ(0x00FF00u, px[80 * 120 + 100]) << "the container's colour wins over the movie's white";
}

// How the stage fills the container, put by slot number as a form's start puts it, and seen
// in the pixels: a 100 x 80 stage with a red strip along its bottom (y 60 to 80), drawn into
// 200 x 160. Pixels are (x, y, colour) away from the caption line at the top left.
TEST_F(PlayerInterface, ScaleAlignAndColourPutsByTheirVtableNumbersChangeTheDrawnStage) {
  struct Pixel {
    int x, y;
    uint32_t colour;
  };
  struct Case {
    const char* name;
    const wchar_t* scale;  // put_Scale (slot 49), or null
    int scaleMode;         // put_ScaleMode (slot 14) when >= 0
    int alignMode;         // put_AlignMode (slot 16)
    long background;       // put_BackgroundColor (slot 18)
    Pixel pixels[2];
  } cases[] = {
      // Stretched: the strip is the bottom quarter of the whole area.
      {"ExactFit", L"ExactFit", -1, 0, 0x0000FF, {{150, 150, 0xFF0000}, {150, 100, 0x0000FF}}},
      // Unscaled at the top left: the strip stays at y 60 to 80, the rest is background.
      {"NoScale top left", nullptr, 3, 1 | 4, 0x00FF00, {{50, 70, 0xFF0000}, {50, 150, 0x00FF00}}},
      // Unscaled at the bottom right: the stage sits at 100, 80.
      {"NoScale bottom right", nullptr, 3, 2 | 8, 0xFFFFFF, {{150, 150, 0xFF0000}, {50, 70, 0xFFFFFF}}},
  };
  IUnknown* p = player.Get();
  ASSERT_TRUE(loadMovie(writeMovie(folder.file(L"strip.swf"),
                                   makeMovie(100, 80, 0x808080, "draw rect 0 60 100 20 FF0000 255\n"))));
  ASSERT_TRUE(transcript->waitFor("end"));
  ComPtr<IViewObject> view;
  ASSERT_EQ(S_OK, player.As(&view));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.scale) {
      BSTR scale = bstr(c.scale);
      ASSERT_EQ(S_OK, callSlot(p, 49, scale));
      SysFreeString(scale);
    }
    if (c.scaleMode >= 0) {
      ASSERT_EQ(S_OK, callSlot(p, 14, c.scaleMode));
    }
    ASSERT_EQ(S_OK, callSlot(p, 16, c.alignMode));
    ASSERT_EQ(S_OK, callSlot(p, 18, c.background));
    const std::vector<uint32_t> px = renderPixels(200, 160, 0x000000, [&](HDC dc) {
      RECTL bounds{0, 0, 200, 160};
      view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0);
    });
    for (const Pixel& at : c.pixels)
      EXPECT_EQ(at.colour, px[static_cast<size_t>(at.y * 200 + at.x)]) << "at " << at.x << ", " << at.y;
  }
}

TEST_F(PlayerInterface, TransparentModePutByItsVtableNumberSitesWindowless) {
  TestSite& site = makeSite(/*allowWindowless=*/true, 100, 80);
  BSTR mode = bstr(L"Transparent");
  ASSERT_EQ(S_OK, callSlot(player.Get(), 41, mode));  // put_WMode
  SysFreeString(mode);
  ASSERT_EQ(S_OK, activate(site));
  EXPECT_TRUE(site.called("OnInPlaceActivateEx windowless"));
}

// A host's event sink that answers every FlashCall through SetReturnValue reached by its slot
// number, during the event as a host must.
class SlotAnsweringSink final : public IDispatch {
 public:
  SlotAnsweringSink(IUnknown* player, const wchar_t* answer) : player_(player), answer_(answer) {}
  int flashCalls = 0;
  HRESULT answered = E_PENDING;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == flash::DIID_IShockwaveFlashEvents) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs_; }  // lives on the test's stack
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    if (id != flash::kDispFlashCall) return S_OK;
    ++flashCalls;
    BSTR value = bstr(answer_);
    answered = callSlot(player_, 94, value);  // SetReturnValue
    SysFreeString(value);
    return S_OK;
  }

 private:
  IUnknown* player_;
  const wchar_t* answer_;
  ULONG refs_ = 1;
};

// The event and scripting members a host drives, all by slot number: the connection point
// found and advised, a FlashCall answered, a variable set into the script and read back, a
// callback called, and no event after the sink is unadvised.
TEST_F(PlayerInterface, EventsAndScriptingMembersWorkThroughTheirVtableNumbers) {
  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(S_OK, player.As(&container));
  IConnectionPoint* point = nullptr;
  ASSERT_EQ(S_OK, callSlot(static_cast<IUnknown*>(container.Get()), 4,  // FindConnectionPoint
                           static_cast<const IID*>(&flash::DIID_IShockwaveFlashEvents), &point));
  ASSERT_NE(nullptr, point);
  SlotAnsweringSink host(player.Get(), L"<string>from the host</string>");
  DWORD cookie = 0;
  ASSERT_EQ(S_OK, callSlot(static_cast<IUnknown*>(point), 5, static_cast<IUnknown*>(&host), &cookie));  // Advise
  EXPECT_NE(0u, cookie);

  const char* script =
      "watch flag\n"
      "on flag\n"
      "log flag $1\n"
      "end\n"
      "on ping\n"
      "call again\n"
      "return \"pong $1\"\n"
      "end\n"
      "set kept value\n"
      "call ask\n"
      "expect \"from the host\"\n";
  TestSite& site = makeSite(/*allowWindowless=*/false);
  ASSERT_EQ(S_OK, activate(site));
  ASSERT_TRUE(loadMovie(writeMovie(folder.file(L"events.swf"), makeMovie(100, 80, 0xFFFFFF, script))));
  ASSERT_TRUE(transcript->waitFor("end"));
  EXPECT_EQ(1, host.flashCalls);
  EXPECT_EQ(S_OK, host.answered) << "SetReturnValue during the FlashCall";
  EXPECT_TRUE(transcript->has("call ask -> \"from the host\""));
  EXPECT_TRUE(transcript->has("PASS line 11"));

  IUnknown* p = player.Get();
  BSTR flag = bstr(L"flag"), up = bstr(L"up"), kept = bstr(L"kept"), got = nullptr;
  ASSERT_EQ(S_OK, callSlot(p, 65, flag, up));  // SetVariable
  EXPECT_TRUE(transcript->waitFor("log \"flag up\"")) << "the watched variable ran its block";
  ASSERT_EQ(S_OK, callSlot(p, 66, kept, &got));  // GetVariable
  EXPECT_STREQ(L"value", got);
  for (BSTR b : {flag, up, kept, got}) SysFreeString(b);

  ASSERT_EQ(S_OK, callSlot(static_cast<IUnknown*>(point), 6, cookie));  // Unadvise
  BSTR request = bstr(L"<invoke name=\"ping\" returntype=\"xml\"><arguments><string>7</string></arguments></invoke>");
  BSTR response = nullptr;
  ASSERT_EQ(S_OK, callSlot(p, 93, request, &response));  // CallFunction
  EXPECT_STREQ(L"<string>pong 7</string>", response);
  SysFreeString(response);
  SysFreeString(request);
  EXPECT_EQ(1, host.flashCalls) << "an unadvised sink hears nothing more";
  EXPECT_TRUE(transcript->has("call again -> ")) << "the callback's own call went out";
  point->Release();
}

TEST_F(PlayerInterface, DispatchReachesTheSameMembersByName) {
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(S_OK, player.As(&dispatch));
  auto id = [&](const wchar_t* name) {
    DISPID d = DISPID_UNKNOWN;
    LPOLESTR n = const_cast<LPOLESTR>(name);
    EXPECT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, &n, 1, 0, &d)) << narrow(name);
    return d;
  };
  VARIANT arg;
  arg.vt = VT_BSTR;
  arg.bstrVal = bstr(L"NoBorder");
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS put{&arg, &named, 1, 1};
  ASSERT_EQ(S_OK, dispatch->Invoke(id(L"Scale"), IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr, nullptr));
  VariantClear(&arg);
  int mode = 0;
  player->get_ScaleMode(&mode);
  EXPECT_EQ(1, mode);

  VARIANT result;
  VariantInit(&result);
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  ASSERT_EQ(S_OK, dispatch->Invoke(id(L"FlashVersion"), IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr));
  EXPECT_EQ(VT_I4, result.vt);
  EXPECT_EQ(9, flash::flashGeneration(result.lVal));

  // SetVariable(name, value) with the arguments last first, then GetVariable(name).
  VARIANT two[2];
  two[0].vt = VT_BSTR;
  two[0].bstrVal = bstr(L"value");
  two[1].vt = VT_BSTR;
  two[1].bstrVal = bstr(L"name");
  DISPPARAMS setArgs{two, nullptr, 2, 0};
  ASSERT_EQ(S_OK, dispatch->Invoke(id(L"SetVariable"), IID_NULL, 0, DISPATCH_METHOD, &setArgs, nullptr, nullptr, nullptr));
  DISPPARAMS getArgs{&two[1], nullptr, 1, 0};
  VariantInit(&result);
  ASSERT_EQ(S_OK, dispatch->Invoke(id(L"GetVariable"), IID_NULL, 0, DISPATCH_METHOD, &getArgs, &result, nullptr, nullptr));
  EXPECT_EQ(VT_BSTR, result.vt);
  EXPECT_STREQ(L"value", result.bstrVal);
  VariantClear(&result);
  VariantClear(&two[0]);
  VariantClear(&two[1]);

  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, dispatch->Invoke(4242, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
}

TEST_F(PlayerInterface, LoadingAMovieFiresReadyStateAndProgressToEverySink) {
  EventSink* second = new EventSink();
  DWORD secondCookie = 0;
  ASSERT_EQ(S_OK, connection->Advise(second, &secondCookie));
  ASSERT_TRUE(loadMovie(writeMovie(folder.file(L"events.swf"), makeMovie(100, 80, 0xFF0000))));
  for (EventSink* s : {sink, second}) {
    ASSERT_GE(s->count(flash::kDispOnReadyStateChange), 2);
    EXPECT_EQ(L"0", s->events.front().args.at(0));  // loading first
    EXPECT_GE(s->count(flash::kDispOnProgress), 1);
    const EventSink::Event* last = nullptr;
    for (const auto& e : s->events)
      if (e.id == flash::kDispOnReadyStateChange) last = &e;
    EXPECT_EQ(L"4", last->args.at(0));  // complete last
  }
  // After unadvising, the second sink hears nothing more.
  ASSERT_EQ(S_OK, connection->Unadvise(secondCookie));
  size_t heard = second->events.size();
  ASSERT_TRUE(loadMovie(writeMovie(folder.file(L"events2.swf"), makeMovie(100, 80, 0x00FF00))));
  EXPECT_EQ(heard, second->events.size());
  EXPECT_EQ(CONNECT_E_NOCONNECTION, connection->Unadvise(secondCookie));
  second->Release();
}

TEST_F(PlayerInterface, ConnectionPointIsFoundOnlyForTheEventInterface) {
  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(S_OK, player.As(&container));
  ComPtr<IConnectionPoint> point;
  EXPECT_EQ(CONNECT_E_NOCONNECTION, container->FindConnectionPoint(IID_IPropertyNotifySink, &point));
  IID iid{};
  connection->GetConnectionInterface(&iid);
  EXPECT_EQ(flash::DIID_IShockwaveFlashEvents, iid);
}

TEST_F(PlayerInterface, AnswersTheEmbeddingInterfaces) {
  const IID* wanted[] = {&IID_IOleObject, &IID_IOleInPlaceObject, &IID_IOleInPlaceObjectWindowless,
                         &IID_IOleInPlaceActiveObject, &IID_IViewObject, &IID_IViewObject2, &IID_IViewObjectEx,
                         &IID_IObjectWithSite, &IID_IOleWindow, &IID_IConnectionPointContainer, &IID_IDispatch};
  for (const IID* iid : wanted) {
    ComPtr<IUnknown> out;
    EXPECT_EQ(S_OK, player->QueryInterface(*iid, reinterpret_cast<void**>(out.GetAddressOf())));
  }
  ComPtr<IUnknown> none;
  EXPECT_EQ(E_NOINTERFACE, player->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(none.GetAddressOf())));
  ComPtr<IOleObject> ole;
  player.As(&ole);
  DWORD status = 0;
  ole->GetMiscStatus(DVASPECT_CONTENT, &status);
  EXPECT_EQ(0u, status & OLEMISC_INVISIBLEATRUNTIME);
  SIZEL size{2540, 1270};
  EXPECT_EQ(S_OK, ole->SetExtent(DVASPECT_CONTENT, &size));
  SIZEL back{};
  ole->GetExtent(DVASPECT_CONTENT, &back);
  EXPECT_EQ(2540, back.cx);
  EXPECT_EQ(1270, back.cy);
}

}  // namespace
