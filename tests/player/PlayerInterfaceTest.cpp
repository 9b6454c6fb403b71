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
