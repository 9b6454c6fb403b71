// IShockwaveFlash: every property kept and answered, the timeline members, variables, target
// properties and the ExternalInterface entry points.
#include <cwchar>

#include "ActionScriptMovie.h"
#include "ExternalInterface.h"
#include "FlashPlayer.h"
#include "PlayerBoundary.h"
#include "ScriptRunner.h"
#include "Text.h"
#include "Transcript.h"

namespace {

// Names of the numbered settings, index = number.
constexpr const wchar_t* kQualityNames[] = {L"Low", L"High", L"AutoLow", L"AutoHigh", L"Medium", L"Best"};
constexpr const wchar_t* kScaleNames[] = {L"ShowAll", L"NoBorder", L"ExactFit", L"NoScale"};
// SAlign letters and their AlignMode bits.
constexpr struct {
  wchar_t letter;
  int bit;
} kAlignLetters[] = {{L'L', 1}, {L'R', 2}, {L'T', 4}, {L'B', 8}};

template <size_t N>
int indexOf(const wchar_t* const (&names)[N], const std::wstring& text) {
  for (size_t i = 0; i < N; ++i)
    if (equalsNoCase(names[i], text)) return static_cast<int>(i);
  return -1;
}

HRESULT putBool(VARIANT_BOOL* out, bool value) {
  if (!out) return E_POINTER;
  *out = value ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

template <typename T, typename V>
HRESULT putValue(T* out, V value) {
  if (!out) return E_POINTER;
  *out = static_cast<T>(value);
  return S_OK;
}

// A text property kept as given: copying it is the one step that can fail.
HRESULT keepText(std::wstring& field, BSTR value) {
  return guardedCall("player text property", HRESULT{E_OUTOFMEMORY}, [&]() -> HRESULT {
    field = fromBstr(value);
    return S_OK;
  });
}

}  // namespace

HRESULT STDMETHODCALLTYPE FlashPlayer::get_ReadyState(long* state) { return putValue(state, readyState_); }
HRESULT STDMETHODCALLTYPE FlashPlayer::get_TotalFrames(long* frames) {
  return putValue(frames, movie_ ? movie_->frameCount : 0);
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_Playing(VARIANT_BOOL* playing) { return putBool(playing, playing_); }
HRESULT STDMETHODCALLTYPE FlashPlayer::put_Playing(VARIANT_BOOL playing) {
  playing_ = playing != VARIANT_FALSE;
  updatePlayTimer();
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_Quality(int* quality) { return putValue(quality, quality_); }
HRESULT STDMETHODCALLTYPE FlashPlayer::put_Quality(int quality) {
  if (quality < 0 || quality >= static_cast<int>(std::size(kQualityNames))) return E_INVALIDARG;
  quality_ = quality;
  invalidateStage();
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_ScaleMode(int* mode) { return putValue(mode, scaleMode_); }
HRESULT STDMETHODCALLTYPE FlashPlayer::put_ScaleMode(int mode) {
  if (mode < 0 || mode >= static_cast<int>(std::size(kScaleNames))) return E_INVALIDARG;
  scaleMode_ = mode;
  bindStageLayout();
  invalidateStage();
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_AlignMode(int* mode) { return putValue(mode, alignMode_); }
HRESULT STDMETHODCALLTYPE FlashPlayer::put_AlignMode(int mode) {
  alignMode_ = mode & 0xF;
  bindStageLayout();
  invalidateStage();
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_BackgroundColor(long* color) {
  if (!color) return E_POINTER;
  *color = backgroundColor_ >= 0 ? backgroundColor_ : movie_ ? static_cast<long>(movie_->background.value_or(0xFFFFFF)) : -1;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::put_BackgroundColor(long color) {
  backgroundColor_ = color < 0 ? -1 : (color & 0xFFFFFF);
  invalidateStage();
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_Loop(VARIANT_BOOL* loop) { return putBool(loop, loop_); }
HRESULT STDMETHODCALLTYPE FlashPlayer::put_Loop(VARIANT_BOOL loop) {
  loop_ = loop != VARIANT_FALSE;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_Movie(BSTR* movie) { return toBstr(movieUrl_, movie); }
HRESULT STDMETHODCALLTYPE FlashPlayer::put_Movie(BSTR movie) {
  return guardedCall("player put_Movie", HRESULT{E_FAIL}, [&]() -> HRESULT {
    movieUrl_ = fromBstr(movie);
    if (!movieUrl_.empty()) startLoad(0, movieUrl_);
    return S_OK;
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_FrameNum(long* frame) { return putValue(frame, frame_); }
HRESULT STDMETHODCALLTYPE FlashPlayer::put_FrameNum(long frame) { return GotoFrame(frame); }
HRESULT STDMETHODCALLTYPE FlashPlayer::SetZoomRect(long left, long top, long right, long bottom) {
  zoomRect_ = RECT{left, top, right, bottom};
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::Zoom(int factor) {
  zoom_ = factor;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::Pan(long x, long y, int) {
  pan_ = POINT{x, y};
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::Play() {
  return guardedCall("player Play", HRESULT{E_FAIL}, [&]() -> HRESULT {
    transcript::write(L"play");
    return put_Playing(VARIANT_TRUE);
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::Stop() {
  return guardedCall("player Stop", HRESULT{E_FAIL}, [&]() -> HRESULT {
    transcript::write(L"stop");
    return put_Playing(VARIANT_FALSE);
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::Back() { return GotoFrame(frame_ - 1); }
HRESULT STDMETHODCALLTYPE FlashPlayer::Forward() { return GotoFrame(frame_ + 1); }
HRESULT STDMETHODCALLTYPE FlashPlayer::Rewind() { return GotoFrame(0); }
HRESULT STDMETHODCALLTYPE FlashPlayer::StopPlay() { return Stop(); }
HRESULT STDMETHODCALLTYPE FlashPlayer::GotoFrame(long frame) {
  return guardedCall("player GotoFrame", HRESULT{E_FAIL}, [&]() -> HRESULT {
    long last = movie_ ? movie_->frameCount - 1 : 0;
    frame_ = frame < 0 ? 0 : frame > last ? last : frame;
    movieView_.gotoFrame(frame_);
    refreshMovie();
    transcript::write(L"gotoframe " + std::to_wstring(frame_));
    return S_OK;
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::CurrentFrame(long* frame) { return putValue(frame, frame_); }
HRESULT STDMETHODCALLTYPE FlashPlayer::IsPlaying(VARIANT_BOOL* playing) { return putBool(playing, playing_); }
HRESULT STDMETHODCALLTYPE FlashPlayer::PercentLoaded(long* percent) { return putValue(percent, percentLoaded_); }
HRESULT STDMETHODCALLTYPE FlashPlayer::FrameLoaded(long frame, VARIANT_BOOL* loaded) {
  return putBool(loaded, movie_ && frame >= 0 && frame < movie_->frameCount);
}
HRESULT STDMETHODCALLTYPE FlashPlayer::FlashVersion(long* version) { return putValue(version, 0x00090000L); }
HRESULT STDMETHODCALLTYPE FlashPlayer::get_WMode(BSTR* mode) { return toBstr(wmode_, mode); }
HRESULT STDMETHODCALLTYPE FlashPlayer::put_WMode(BSTR mode) {
  // Takes effect at the next in-place activation, as the window is made then.
  return keepText(wmode_, mode);
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_SAlign(BSTR* align) {
  std::wstring text;
  for (const auto& a : kAlignLetters)
    if (alignMode_ & a.bit) text += a.letter;
  return toBstr(text, align);
}
HRESULT STDMETHODCALLTYPE FlashPlayer::put_SAlign(BSTR align) {
  return guardedCall("player put_SAlign", HRESULT{E_FAIL}, [&]() -> HRESULT {
    int mode = 0;
    for (wchar_t c : fromBstr(align))
      for (const auto& a : kAlignLetters)
        if (towupper(c) == a.letter) mode |= a.bit;
    return put_AlignMode(mode);
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_Menu(VARIANT_BOOL* menu) { return putBool(menu, menu_); }
HRESULT STDMETHODCALLTYPE FlashPlayer::put_Menu(VARIANT_BOOL menu) {
  menu_ = menu != VARIANT_FALSE;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_Base(BSTR* base) { return toBstr(base_, base); }
HRESULT STDMETHODCALLTYPE FlashPlayer::put_Base(BSTR base) {
  return keepText(base_, base);
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_Scale(BSTR* scale) { return toBstr(kScaleNames[scaleMode_], scale); }
HRESULT STDMETHODCALLTYPE FlashPlayer::put_Scale(BSTR scale) {
  return guardedCall("player put_Scale", HRESULT{E_FAIL}, [&]() -> HRESULT {
    int mode = indexOf(kScaleNames, fromBstr(scale));
    return mode < 0 ? E_INVALIDARG : put_ScaleMode(mode);
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_DeviceFont(VARIANT_BOOL* deviceFont) { return putBool(deviceFont, deviceFont_); }
HRESULT STDMETHODCALLTYPE FlashPlayer::put_DeviceFont(VARIANT_BOOL deviceFont) {
  deviceFont_ = deviceFont != VARIANT_FALSE;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_EmbedMovie(VARIANT_BOOL* embed) { return putBool(embed, embedMovie_); }
HRESULT STDMETHODCALLTYPE FlashPlayer::put_EmbedMovie(VARIANT_BOOL embed) {
  embedMovie_ = embed != VARIANT_FALSE;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_BGColor(BSTR* color) {
  if (backgroundColor_ < 0) return toBstr(L"", color);
  wchar_t text[8];
  swprintf(text, 8, L"%06lX", static_cast<unsigned long>(backgroundColor_));
  return toBstr(text, color);
}
HRESULT STDMETHODCALLTYPE FlashPlayer::put_BGColor(BSTR color) {
  return guardedCall("player put_BGColor", HRESULT{E_FAIL}, [&]() -> HRESULT {
    std::wstring text = fromBstr(color);
    if (!text.empty() && text[0] == L'#') text.erase(0, 1);
    if (text.empty()) return put_BackgroundColor(-1);
    wchar_t* end = nullptr;
    unsigned long value = wcstoul(text.c_str(), &end, 16);
    if (*end || text.size() > 6) return E_INVALIDARG;
    return put_BackgroundColor(static_cast<long>(value));
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_Quality2(BSTR* quality) { return toBstr(kQualityNames[quality_], quality); }
HRESULT STDMETHODCALLTYPE FlashPlayer::put_Quality2(BSTR quality) {
  return guardedCall("player put_Quality2", HRESULT{E_FAIL}, [&]() -> HRESULT {
    int value = indexOf(kQualityNames, fromBstr(quality));
    return value < 0 ? E_INVALIDARG : put_Quality(value);
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::LoadMovie(int layer, BSTR url) {
  return guardedCall("player LoadMovie", HRESULT{E_FAIL}, [&]() -> HRESULT {
    if (layer < 0) return E_INVALIDARG;
    std::wstring text = fromBstr(url);
    if (layer == 0) movieUrl_ = text;
    if (!text.empty()) startLoad(layer, text);
    return S_OK;
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::TGotoFrame(BSTR target, long frame) {
  return guardedCall("player TGotoFrame", HRESULT{E_FAIL}, [&]() -> HRESULT {
    transcript::write(L"tgotoframe " + transcript::quote(fromBstr(target)) + L" " + std::to_wstring(frame));
    return GotoFrame(frame);
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::TGotoLabel(BSTR target, BSTR label) {
  return guardedCall("player TGotoLabel", HRESULT{E_FAIL}, [&]() -> HRESULT {
    transcript::write(L"tgotolabel " + transcript::quote(fromBstr(target)) + L" " + transcript::quote(fromBstr(label)));
    return S_OK;
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::TCurrentFrame(BSTR, long* frame) { return CurrentFrame(frame); }
HRESULT STDMETHODCALLTYPE FlashPlayer::TCurrentLabel(BSTR, BSTR* label) { return toBstr(L"", label); }
HRESULT STDMETHODCALLTYPE FlashPlayer::TPlay(BSTR) { return Play(); }
HRESULT STDMETHODCALLTYPE FlashPlayer::TStopPlay(BSTR) { return Stop(); }
HRESULT STDMETHODCALLTYPE FlashPlayer::SetVariable(BSTR name, BSTR value) {
  return guardedCall("player SetVariable", HRESULT{E_FAIL}, [&]() -> HRESULT {
    std::wstring n = fromBstr(name), v = fromBstr(value);
    transcript::write(L"setvariable " + transcript::quote(n) + L" " + transcript::quote(v));
    // The movie's code sees it first (a setter may run), then the script's watch.
    setMovieVariable(n, v);
    if (auto runner = script_) runner->variableSet(n, v);
    return S_OK;
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::GetVariable(BSTR name, BSTR* value) {
  return guardedCall("player GetVariable", HRESULT{E_FAIL}, [&]() -> HRESULT {
    if (!value) return E_POINTER;
    *value = nullptr;
    std::wstring n = fromBstr(name);
    std::optional<std::wstring> v = movieVariable(n);
    transcript::write(L"getvariable " + transcript::quote(n) + L" " + (v ? transcript::quote(*v) : L"undefined"));
    if (!v) return E_FAIL;  // no such variable
    return toBstr(*v, value);
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::TSetProperty(BSTR target, int property, BSTR value) {
  return guardedCall("player TSetProperty", HRESULT{E_FAIL}, [&]() -> HRESULT {
    targetProperties_[{fromBstr(target), property}] = fromBstr(value);
    return S_OK;
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::TGetProperty(BSTR target, int property, BSTR* value) {
  return guardedCall("player TGetProperty", HRESULT{E_FAIL}, [&]() -> HRESULT {
    auto it = targetProperties_.find({fromBstr(target), property});
    return toBstr(it == targetProperties_.end() ? std::wstring() : it->second, value);
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::TCallFrame(BSTR target, int frame) {
  return guardedCall("player TCallFrame", HRESULT{E_FAIL}, [&]() -> HRESULT {
    transcript::write(L"tcallframe " + transcript::quote(fromBstr(target)) + L" " + std::to_wstring(frame));
    return S_OK;
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::TCallLabel(BSTR target, BSTR label) {
  return guardedCall("player TCallLabel", HRESULT{E_FAIL}, [&]() -> HRESULT {
    transcript::write(L"tcalllabel " + transcript::quote(fromBstr(target)) + L" " + transcript::quote(fromBstr(label)));
    return S_OK;
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::TSetPropertyNum(BSTR target, int property, double value) {
  return guardedCall("player TSetPropertyNum", HRESULT{E_FAIL}, [&]() -> HRESULT {
    wchar_t text[64];
    swprintf(text, 64, L"%.15g", value);
    targetProperties_[{fromBstr(target), property}] = text;
    return S_OK;
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::TGetPropertyNum(BSTR target, int property, double* value) {
  return guardedCall("player TGetPropertyNum", HRESULT{E_FAIL}, [&]() -> HRESULT {
    if (!value) return E_POINTER;
    auto it = targetProperties_.find({fromBstr(target), property});
    *value = it == targetProperties_.end() ? 0.0 : wcstod(it->second.c_str(), nullptr);
    return S_OK;
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::TGetPropertyAsNumber(BSTR target, int property, double* value) {
  return TGetPropertyNum(target, property, value);
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_SWRemote(BSTR* remote) { return toBstr(swRemote_, remote); }
HRESULT STDMETHODCALLTYPE FlashPlayer::put_SWRemote(BSTR remote) {
  return keepText(swRemote_, remote);
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_FlashVars(BSTR* vars) { return toBstr(flashVars_, vars); }
HRESULT STDMETHODCALLTYPE FlashPlayer::put_FlashVars(BSTR vars) {
  return keepText(flashVars_, vars);
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_AllowScriptAccess(BSTR* access) { return toBstr(allowScriptAccess_, access); }
HRESULT STDMETHODCALLTYPE FlashPlayer::put_AllowScriptAccess(BSTR access) {
  return keepText(allowScriptAccess_, access);
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_MovieData(BSTR* data) { return toBstr(movieData_, data); }
HRESULT STDMETHODCALLTYPE FlashPlayer::put_MovieData(BSTR data) {
  return guardedCall("player put_MovieData", HRESULT{E_FAIL}, [&]() -> HRESULT {
    movieData_ = fromBstr(data);
    return S_OK;
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_InlineData(IUnknown** data) {
  if (!data) return E_POINTER;
  *data = inlineData_.Get();
  if (*data) (*data)->AddRef();
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::put_InlineData(IUnknown* data) {
  inlineData_ = data;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_SeamlessTabbing(VARIANT_BOOL* seamless) { return putBool(seamless, seamlessTabbing_); }
HRESULT STDMETHODCALLTYPE FlashPlayer::put_SeamlessTabbing(VARIANT_BOOL seamless) {
  seamlessTabbing_ = seamless != VARIANT_FALSE;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::EnforceLocalSecurity() {
  localSecurity_ = true;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_Profile(VARIANT_BOOL* profile) { return putBool(profile, profile_); }
HRESULT STDMETHODCALLTYPE FlashPlayer::put_Profile(VARIANT_BOOL profile) {
  profile_ = profile != VARIANT_FALSE;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_ProfileAddress(BSTR* address) { return toBstr(profileAddress_, address); }
HRESULT STDMETHODCALLTYPE FlashPlayer::put_ProfileAddress(BSTR address) {
  return keepText(profileAddress_, address);
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_ProfilePort(long* port) { return putValue(port, profilePort_); }
HRESULT STDMETHODCALLTYPE FlashPlayer::put_ProfilePort(long port) {
  profilePort_ = port;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::CallFunction(BSTR request, BSTR* response) {
  return guardedCall("player CallFunction", HRESULT{E_FAIL}, [&]() -> HRESULT {
    if (!response) return E_POINTER;
    *response = nullptr;
    std::wstring text = fromBstr(request);
    std::optional<external::Invoke> invoke;
    if (external::wellFormed(text)) invoke = external::parseInvoke(text);
    if (!invoke) {
      // The parser refuses what is not well-formed or names no function: nothing is called.
      transcript::write(L"bad-xml " + transcript::quote(text));
      return E_FAIL;
    }
    if (auto actionScript = actionScript_; actionScript && hasExternalInterface() && actionScript->hasCallback(invoke->name)) {
      std::wstring answer = actionScript->callCallback(invoke->name, invoke->args);
      transcript::write(L"callfunction " + transcript::quote(text) + L" -> " + transcript::quote(answer));
      return toBstr(answer, response);
    }
    auto it = hasExternalInterface() ? callbacks_.find(invoke->name) : callbacks_.end();
    if (it == callbacks_.end()) {
      transcript::write(L"callfunction " + transcript::quote(text) + L" -> refused");
      return E_FAIL;
    }
    std::optional<std::wstring> given = it->second;
    // The script's `on` block for the name runs with the invoke's arguments; its `return` answers.
    if (auto runner = script_) {
      std::optional<std::wstring> returned;
      if (runner->callbackInvoked(invoke->name, invoke->args, &returned) && returned) given = returned;
    }
    std::wstring answer = given ? external::stringValue(*given) : L"<undefined/>";
    transcript::write(L"callfunction " + transcript::quote(text) + L" -> " + transcript::quote(answer));
    return toBstr(answer, response);
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::SetReturnValue(BSTR value) {
  return guardedCall("player SetReturnValue", HRESULT{E_FAIL}, [&]() -> HRESULT {
    // Only the answer to the FlashCall under way is kept; a stray value would answer the next call.
    if (!inFlashCall_) return E_FAIL;
    returnValue_ = fromBstr(value);
    return S_OK;
  });
}
HRESULT STDMETHODCALLTYPE FlashPlayer::DisableLocalSecurity() {
  localSecurity_ = false;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_AllowNetworking(BSTR* networking) { return toBstr(allowNetworking_, networking); }
HRESULT STDMETHODCALLTYPE FlashPlayer::put_AllowNetworking(BSTR networking) {
  return keepText(allowNetworking_, networking);
}
HRESULT STDMETHODCALLTYPE FlashPlayer::get_AllowFullScreen(BSTR* fullScreen) { return toBstr(allowFullScreen_, fullScreen); }
HRESULT STDMETHODCALLTYPE FlashPlayer::put_AllowFullScreen(BSTR fullScreen) {
  return keepText(allowFullScreen_, fullScreen);
}
