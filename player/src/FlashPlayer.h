// The player object: IShockwaveFlash with its properties, the event connection point, OLE
// embedding (windowed or windowless), drawing, movie loading and the movie script's effects.
#pragma once

#include <ocidl.h>
#include <ole2.h>
#include <windows.h>
#include <mmsystem.h>
#include <wrl/client.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ConnectionPoint.h"
#include "ShockwaveFlash.h"
#include "MovieView.h"
#include "ScriptSounds.h"
#include "SoundOutput.h"
#include "Stage.h"
#include "SwfMovie.h"

class ActionScriptMovie;
class ScriptRunner;
class MovieDownload;

class FlashPlayer final : public IShockwaveFlash,
                          public IConnectionPointContainer,
                          public IOleObject,
                          public IOleInPlaceObjectWindowless,
                          public IOleInPlaceActiveObject,
                          public IViewObjectEx,
                          public IObjectWithSite {
 public:
  FlashPlayer();

  // Window procedure of the player's window class; the instance sits in GWLP_USERDATA.
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static bool registerWindowClass();
  static void unregisterWindowClass();

  // --- used by the movie script -------------------------------------------------------------
  // An ExternalInterface call: FlashCall with the invoke XML; the value the container gave
  // through SetReturnValue, none when it gave none.
  std::optional<std::wstring> externalCall(const std::wstring& name, const std::vector<std::wstring>& args);
  // The same with value elements as arguments; the answer as the container gave it (XML), an
  // answer that is not well-formed as <undefined/>.
  std::optional<std::wstring> externalCallXml(const std::wstring& name, const std::vector<std::wstring>& values);
  // loadMovie/loadMovieNum of the movie's code: a URL relative to the movie, into a level; a
  // load into _level0 keeps the movie's ActionScript machine and so its _global.
  void loadFromMovie(int level, const std::wstring& url);
  // A movie the movie loads into a clip or a level: `done` gets its bytes (none when it could
  // not be fetched) from the message loop, after this call.
  void startClipLoad(const std::string& url, std::function<void(std::optional<std::vector<uint8_t>>)> done);
  // Registers an ExternalInterface callback; `keepAnswer` leaves a registered one's answer as is.
  // ExternalInterface exists from SWF 8 on; a player without a movie keeps its callbacks.
  bool hasExternalInterface() const { return !movie_ || movie_->version >= kFirstExternalInterfaceVersion; }
  static constexpr int kFirstExternalInterfaceVersion = 8;
  void addCallback(const std::wstring& name, std::optional<std::wstring> answer, bool keepAnswer = false);
  void fsCommand(const std::wstring& command, const std::wstring& args);
  void drawShape(const Stage::Shape& shape);
  void setMovieVariable(const std::wstring& name, const std::wstring& value);
  std::optional<std::wstring> movieVariable(const std::wstring& name) const;
  void loadResource(const std::wstring& url);
  void playTone(int milliseconds, int frequency);
  // The window a person would act on: the top-level window holding the player.
  HWND topLevelWindow() const;
  // The window that receives the player's own input (its window, or the container's window).
  HWND inputWindow() const;
  // Where the player's own (0, 0) lies in inputWindow()'s client area.
  POINT playerOrigin() const;
  // Resumes the script after `milliseconds`.
  void scheduleScript(UINT milliseconds);
  void cancelScriptTimer();
  // The player's hidden window for its timers and private messages (made on first use).
  HWND messageWindow() { return ensureMessageWindow() ? messageWindow_ : nullptr; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

  // IShockwaveFlash
  HRESULT STDMETHODCALLTYPE get_ReadyState(long* state) override;
  HRESULT STDMETHODCALLTYPE get_TotalFrames(long* frames) override;
  HRESULT STDMETHODCALLTYPE get_Playing(VARIANT_BOOL* playing) override;
  HRESULT STDMETHODCALLTYPE put_Playing(VARIANT_BOOL playing) override;
  HRESULT STDMETHODCALLTYPE get_Quality(int* quality) override;
  HRESULT STDMETHODCALLTYPE put_Quality(int quality) override;
  HRESULT STDMETHODCALLTYPE get_ScaleMode(int* mode) override;
  HRESULT STDMETHODCALLTYPE put_ScaleMode(int mode) override;
  HRESULT STDMETHODCALLTYPE get_AlignMode(int* mode) override;
  HRESULT STDMETHODCALLTYPE put_AlignMode(int mode) override;
  HRESULT STDMETHODCALLTYPE get_BackgroundColor(long* color) override;
  HRESULT STDMETHODCALLTYPE put_BackgroundColor(long color) override;
  HRESULT STDMETHODCALLTYPE get_Loop(VARIANT_BOOL* loop) override;
  HRESULT STDMETHODCALLTYPE put_Loop(VARIANT_BOOL loop) override;
  HRESULT STDMETHODCALLTYPE get_Movie(BSTR* movie) override;
  HRESULT STDMETHODCALLTYPE put_Movie(BSTR movie) override;
  HRESULT STDMETHODCALLTYPE get_FrameNum(long* frame) override;
  HRESULT STDMETHODCALLTYPE put_FrameNum(long frame) override;
  HRESULT STDMETHODCALLTYPE SetZoomRect(long left, long top, long right, long bottom) override;
  HRESULT STDMETHODCALLTYPE Zoom(int factor) override;
  HRESULT STDMETHODCALLTYPE Pan(long x, long y, int mode) override;
  HRESULT STDMETHODCALLTYPE Play() override;
  HRESULT STDMETHODCALLTYPE Stop() override;
  HRESULT STDMETHODCALLTYPE Back() override;
  HRESULT STDMETHODCALLTYPE Forward() override;
  HRESULT STDMETHODCALLTYPE Rewind() override;
  HRESULT STDMETHODCALLTYPE StopPlay() override;
  HRESULT STDMETHODCALLTYPE GotoFrame(long frame) override;
  HRESULT STDMETHODCALLTYPE CurrentFrame(long* frame) override;
  HRESULT STDMETHODCALLTYPE IsPlaying(VARIANT_BOOL* playing) override;
  HRESULT STDMETHODCALLTYPE PercentLoaded(long* percent) override;
  HRESULT STDMETHODCALLTYPE FrameLoaded(long frame, VARIANT_BOOL* loaded) override;
  HRESULT STDMETHODCALLTYPE FlashVersion(long* version) override;
  HRESULT STDMETHODCALLTYPE get_WMode(BSTR* mode) override;
  HRESULT STDMETHODCALLTYPE put_WMode(BSTR mode) override;
  HRESULT STDMETHODCALLTYPE get_SAlign(BSTR* align) override;
  HRESULT STDMETHODCALLTYPE put_SAlign(BSTR align) override;
  HRESULT STDMETHODCALLTYPE get_Menu(VARIANT_BOOL* menu) override;
  HRESULT STDMETHODCALLTYPE put_Menu(VARIANT_BOOL menu) override;
  HRESULT STDMETHODCALLTYPE get_Base(BSTR* base) override;
  HRESULT STDMETHODCALLTYPE put_Base(BSTR base) override;
  HRESULT STDMETHODCALLTYPE get_Scale(BSTR* scale) override;
  HRESULT STDMETHODCALLTYPE put_Scale(BSTR scale) override;
  HRESULT STDMETHODCALLTYPE get_DeviceFont(VARIANT_BOOL* deviceFont) override;
  HRESULT STDMETHODCALLTYPE put_DeviceFont(VARIANT_BOOL deviceFont) override;
  HRESULT STDMETHODCALLTYPE get_EmbedMovie(VARIANT_BOOL* embed) override;
  HRESULT STDMETHODCALLTYPE put_EmbedMovie(VARIANT_BOOL embed) override;
  HRESULT STDMETHODCALLTYPE get_BGColor(BSTR* color) override;
  HRESULT STDMETHODCALLTYPE put_BGColor(BSTR color) override;
  HRESULT STDMETHODCALLTYPE get_Quality2(BSTR* quality) override;
  HRESULT STDMETHODCALLTYPE put_Quality2(BSTR quality) override;
  HRESULT STDMETHODCALLTYPE LoadMovie(int layer, BSTR url) override;
  HRESULT STDMETHODCALLTYPE TGotoFrame(BSTR target, long frame) override;
  HRESULT STDMETHODCALLTYPE TGotoLabel(BSTR target, BSTR label) override;
  HRESULT STDMETHODCALLTYPE TCurrentFrame(BSTR target, long* frame) override;
  HRESULT STDMETHODCALLTYPE TCurrentLabel(BSTR target, BSTR* label) override;
  HRESULT STDMETHODCALLTYPE TPlay(BSTR target) override;
  HRESULT STDMETHODCALLTYPE TStopPlay(BSTR target) override;
  HRESULT STDMETHODCALLTYPE SetVariable(BSTR name, BSTR value) override;
  HRESULT STDMETHODCALLTYPE GetVariable(BSTR name, BSTR* value) override;
  HRESULT STDMETHODCALLTYPE TSetProperty(BSTR target, int property, BSTR value) override;
  HRESULT STDMETHODCALLTYPE TGetProperty(BSTR target, int property, BSTR* value) override;
  HRESULT STDMETHODCALLTYPE TCallFrame(BSTR target, int frame) override;
  HRESULT STDMETHODCALLTYPE TCallLabel(BSTR target, BSTR label) override;
  HRESULT STDMETHODCALLTYPE TSetPropertyNum(BSTR target, int property, double value) override;
  HRESULT STDMETHODCALLTYPE TGetPropertyNum(BSTR target, int property, double* value) override;
  HRESULT STDMETHODCALLTYPE TGetPropertyAsNumber(BSTR target, int property, double* value) override;
  HRESULT STDMETHODCALLTYPE get_SWRemote(BSTR* remote) override;
  HRESULT STDMETHODCALLTYPE put_SWRemote(BSTR remote) override;
  HRESULT STDMETHODCALLTYPE get_FlashVars(BSTR* vars) override;
  HRESULT STDMETHODCALLTYPE put_FlashVars(BSTR vars) override;
  HRESULT STDMETHODCALLTYPE get_AllowScriptAccess(BSTR* access) override;
  HRESULT STDMETHODCALLTYPE put_AllowScriptAccess(BSTR access) override;
  HRESULT STDMETHODCALLTYPE get_MovieData(BSTR* data) override;
  HRESULT STDMETHODCALLTYPE put_MovieData(BSTR data) override;
  HRESULT STDMETHODCALLTYPE get_InlineData(IUnknown** data) override;
  HRESULT STDMETHODCALLTYPE put_InlineData(IUnknown* data) override;
  HRESULT STDMETHODCALLTYPE get_SeamlessTabbing(VARIANT_BOOL* seamless) override;
  HRESULT STDMETHODCALLTYPE put_SeamlessTabbing(VARIANT_BOOL seamless) override;
  HRESULT STDMETHODCALLTYPE EnforceLocalSecurity() override;
  HRESULT STDMETHODCALLTYPE get_Profile(VARIANT_BOOL* profile) override;
  HRESULT STDMETHODCALLTYPE put_Profile(VARIANT_BOOL profile) override;
  HRESULT STDMETHODCALLTYPE get_ProfileAddress(BSTR* address) override;
  HRESULT STDMETHODCALLTYPE put_ProfileAddress(BSTR address) override;
  HRESULT STDMETHODCALLTYPE get_ProfilePort(long* port) override;
  HRESULT STDMETHODCALLTYPE put_ProfilePort(long port) override;
  HRESULT STDMETHODCALLTYPE CallFunction(BSTR request, BSTR* response) override;
  HRESULT STDMETHODCALLTYPE SetReturnValue(BSTR value) override;
  HRESULT STDMETHODCALLTYPE DisableLocalSecurity() override;
  HRESULT STDMETHODCALLTYPE get_AllowNetworking(BSTR* networking) override;
  HRESULT STDMETHODCALLTYPE put_AllowNetworking(BSTR networking) override;
  HRESULT STDMETHODCALLTYPE get_AllowFullScreen(BSTR* fullScreen) override;
  HRESULT STDMETHODCALLTYPE put_AllowFullScreen(BSTR fullScreen) override;

  // IConnectionPointContainer
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

  // IOleObject
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR app, LPCOLESTR object) override;
  HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD which, IMoniker* moniker) override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD reserved, IDataObject** data) override;
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                                   LPCRECT position) override;
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
  HRESULT STDMETHODCALLTYPE Update() override;
  HRESULT STDMETHODCALLTYPE IsUpToDate() override;
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override;
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* type) override;
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advise) override;
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* palette) override;

  // IOleWindow (shared by the in-place object and the active object)
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;
  // IOleInPlaceObject / IOleInPlaceObjectWindowless
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE UIDeactivate() override;
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;
  HRESULT STDMETHODCALLTYPE OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget** target) override;
  // IOleInPlaceActiveObject
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG msg) override;
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frame) override;
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;

  // IViewObject / IViewObject2 / IViewObjectEx
  HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetDc,
                                 HDC drawDc, LPCRECTL bounds, LPCRECTL windowBounds,
                                 BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR), ULONG_PTR contArg) override;
  HRESULT STDMETHODCALLTYPE GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                                        HDC targetDc, LOGPALETTE** colors) override;
  HRESULT STDMETHODCALLTYPE Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) override;
  HRESULT STDMETHODCALLTYPE Unfreeze(DWORD freeze) override;
  HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;
  HRESULT STDMETHODCALLTYPE GetRect(DWORD aspect, LPRECTL rect) override;
  HRESULT STDMETHODCALLTYPE GetViewStatus(DWORD* status) override;
  HRESULT STDMETHODCALLTYPE QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT location, LONG closeHint,
                                          DWORD* result) override;
  HRESULT STDMETHODCALLTYPE QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT location, LONG closeHint,
                                         DWORD* result) override;
  HRESULT STDMETHODCALLTYPE GetNaturalExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, HDC targetDc,
                                             DVEXTENTINFO* info, LPSIZEL size) override;

  // IObjectWithSite
  HRESULT STDMETHODCALLTYPE SetSite(IUnknown* site) override;
  HRESULT STDMETHODCALLTYPE GetSite(REFIID riid, void** site) override;

 private:
  ~FlashPlayer();

  // One movie being loaded or played in a layer (layer 0 is the main movie).
  struct Load {
    int layer = 0;
    std::wstring url;
    Microsoft::WRL::ComPtr<MovieDownload> download;
    bool fromMovie = false;
    int sound = 0;  // a Sound.loadSound file for this sound id
    std::function<void(std::optional<std::vector<uint8_t>>)> clipLoaded = nullptr;  // or a movie for a clip or level
  };

  // Windows: the message window lives with the object (timers, completions); the stage
  // window exists while the player is in-place active windowed.
  bool ensureMessageWindow();
  LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT stageInput(UINT message, WPARAM wParam, LPARAM lParam, bool* handled);
  // The movie's buttons (FlashPlayerInput.cpp): the pointer at `point` of the stage area, keys.
  void movieInput(UINT message, WPARAM wParam, POINT point);
  void fieldInput(UINT message, WPARAM wParam);
  // The hand over an active button; false leaves the cursor to the stage.
  bool setMovieCursor();
  void paintStage(HWND window, HDC target);
  void showContextMenu(POINT client);

  // Loading.
  std::wstring resolveUrl(const std::wstring& url, bool resource) const;
  // The load's id; 0 when it could not start.
  WPARAM startLoad(int layer, const std::wstring& url, bool fromMovie = false);
  void startSoundLoad(int sound, const std::string& url);
  void finishLoad(WPARAM id);
  void movieReady(const Load& load, const std::vector<uint8_t>& bytes);
  void startActionScript(bool keepMachine, const std::map<std::wstring, std::wstring>& flashVars);
  void setReadyState(long state);
  // Puts the FlashVars among the movie variables; returns them.
  std::map<std::wstring, std::wstring> applyFlashVars();

  // Embedding.
  HRESULT activateInPlace(IOleClientSite* site, HWND parent, LPCRECT position);
  HRESULT activateUi();
  void invalidateStage();
  StageLayout layout() const;
  // Drawing (FlashPlayerDrawing.cpp): the movie's picture, then the script's shapes over it.
  MovieLook movieLook() const;
  void drawStage(HDC dc, const RECT& bounds, StageLayout layout);
  bool stageHit(const RECT& bounds, POINT point);
  // The area the stage shows in, in the coordinates its invalidations take; empty when hidden.
  RECT stageArea() const;
  // Renders the new frame and asks for a repaint of only what changed.
  void refreshMovie();
  // The movie's Stage object and the control share the scale mode and alignment: the
  // control's are the script's to start with, and a script's choice becomes the control's.
  void bindStageLayout();
  void bindFocus();
  void fire(DISPID id, std::vector<VARIANT>& args);
  void advanceFrame();
  void toneDone(HWAVEOUT out);
  // The frame tick with sound: frames run in step with a stream sound, and the output is fed.
  void advanceWithSound();
  void pumpSound();
  void waveDone(HWAVEOUT out, WAVEHDR* header);
  // The sounds' transcript lines, and onSoundComplete for the Sound objects' voices that ended.
  void soundNews();
  void updatePlayTimer();

  std::atomic<ULONG> refs_{1};
  EventConnectionPoint events_;

  // Properties.
  long readyState_ = 4;
  int quality_ = 1;
  int scaleMode_ = 0;
  int alignMode_ = 0;
  long backgroundColor_ = -1;
  bool loop_ = true;
  bool playing_ = false;
  std::wstring movieUrl_;
  std::wstring wmode_ = L"Window";
  bool menu_ = true;
  bool contextMenuOpen_ = false;  // showContextMenu is in its modal loop
  std::wstring base_;
  bool deviceFont_ = false;
  bool embedMovie_ = false;
  std::wstring swRemote_;
  std::wstring flashVars_;
  std::wstring allowScriptAccess_ = L"sameDomain";
  std::wstring movieData_;
  Microsoft::WRL::ComPtr<IUnknown> inlineData_;
  bool seamlessTabbing_ = true;
  bool localSecurity_ = true;
  bool profile_ = false;
  std::wstring profileAddress_;
  long profilePort_ = 0;
  std::wstring allowNetworking_ = L"all";
  std::wstring allowFullScreen_ = L"false";
  RECT zoomRect_{};
  int zoom_ = 0;
  POINT pan_{};
  std::map<std::pair<std::wstring, int>, std::wstring> targetProperties_;

  // Movie state.
  std::optional<movie::SwfMovie> movie_;
  std::wstring movieName_;
  std::wstring movieFullUrl_;
  long frame_ = 0;
  long percentLoaded_ = 0;
  Stage stage_;
  sound::Mixer mixer_;  // before the view, whose movies play into it
  SoundOutput soundOutput_{mixer_};
  MovieView movieView_;
  ScriptSounds scriptSounds_{movieView_, mixer_};
  std::map<std::wstring, std::wstring> variables_;
  std::map<std::wstring, std::optional<std::wstring>> callbacks_;
  std::optional<std::wstring> returnValue_;
  bool inFlashCall_ = false;
  std::shared_ptr<ScriptRunner> script_;
  // AVM1 of a movie without the ActionScript 3 flag; none for ActionScript 3 movies.
  std::shared_ptr<ActionScriptMovie> actionScript_;
  std::map<WPARAM, Load> loads_;
  WPARAM nextLoadId_ = 1;
  WPARAM mainLoadId_ = 0;

  // Tones playing through waveOut, until the device reports them done.
  struct Tone {
    WAVEHDR header{};
    std::vector<int16_t> samples;
  };
  std::map<HWAVEOUT, std::unique_ptr<Tone>> tones_;

  // Embedding state.
  Microsoft::WRL::ComPtr<IOleClientSite> clientSite_;
  Microsoft::WRL::ComPtr<IOleInPlaceSite> inPlaceSite_;
  Microsoft::WRL::ComPtr<IOleInPlaceSiteWindowless> windowlessSite_;
  Microsoft::WRL::ComPtr<IOleInPlaceFrame> frame_ui_;
  Microsoft::WRL::ComPtr<IOleInPlaceUIWindow> document_;
  Microsoft::WRL::ComPtr<IOleAdviseHolder> oleAdvise_;
  Microsoft::WRL::ComPtr<IAdviseSink> viewSink_;
  DWORD viewAspects_ = 0;
  DWORD viewFlags_ = 0;
  Microsoft::WRL::ComPtr<IUnknown> objectSite_;
  bool inPlaceActive_ = false;
  bool uiActive_ = false;
  bool windowless_ = false;
  bool captured_ = false;
  HWND parentWindow_ = nullptr;
  HWND stageWindow_ = nullptr;
  HWND messageWindow_ = nullptr;
  RECT position_{};
  bool trackingLeave_ = false;  // the stage window asked for WM_MOUSELEAVE
  SIZEL extent_{14552, 10583};  // 550 x 400 pixels at 96 dpi
  bool closed_ = false;
};
