// The ActionScript side of a movie without the ActionScript 3 flag: one AVM1 machine per player
// (kept when the movie itself loads another into _level0, so _global survives), the timeline of
// the movie in _level0, and the host that turns trace, getURL and ExternalInterface into the
// player's transcript, loads and events.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ButtonActionRunner.h"
#include "ClipInput.h"
#include "PointerTracker.h"
#include "ClipStage.h"
#include "Machine.h"
#include "MovieSoundBridge.h"
#include "SwfMovie.h"
#include "TimelineRunner.h"

class FlashPlayer;
namespace display {
class EditTextObject;
}

class ActionScriptMovie final : public avm1::Host, public display::ButtonActionRunner {
 public:
  ActionScriptMovie(FlashPlayer& player, int version);

  // Makes `movie` the one in _level0: a fresh clip with `_url`, `$version` and the given
  // variables (FlashVars), the movie's script limit, its code on a new timeline.
  // With the movie's display list, its clips are bound to the machine and one frame loop
  // drives both (the list has shown its first frame already).
  void play(const movie::SwfMovie& movie, const std::wstring& url,
            const std::map<std::wstring, std::wstring>& variables,
            std::shared_ptr<display::MoviePlayer> display = nullptr);
  // One tick of the frame timer: the next frame's code, onEnterFrame, the intervals due; with a
  // display list, its clips advance first.
  void enterFrame();
  // The movies loaded into levels above 0, over the root's picture.
  void renderLevels(render::Renderer& renderer, const swf::Matrix& view) {
    if (stage_) stage_->loads().renderLevels(renderer, view);
  }
  // Whether enterFrame advances the display list itself.
  bool drivesDisplay() const { return stage_ != nullptr; }
  // Whether frames need ticking: some code ran or waits to run.
  bool needsFrames() const { return hasCode_; }
  // Sound objects play through `bridge`; a voice one started ended.
  void setSoundBridge(avm1::SoundBridge* bridge) { machine_.setSoundBridge(bridge); }
  void soundCompleted(uint32_t voice);
  // Sound.loadSound files that arrived: onID3 and onLoad run.
  void deliverSoundLoads(clips::MovieSoundBridge& bridge) { bridge.deliverLoads(machine_); }

  // The container's view: variables by AVM1 path, and the addCallback functions.
  std::optional<std::wstring> getVariable(const std::wstring& path);
  void setVariable(const std::wstring& path, const std::wstring& value);
  bool hasCallback(const std::wstring& name);
  // Calls the function and answers with its value as ExternalInterface XML.
  std::wstring callCallback(const std::wstring& name, const std::vector<std::wstring>& args);

  // avm1::Host
  void trace(const std::string& line) override;
  void getUrl(const std::string& url, const std::string& target) override;
  avm1::Value externalCall(const std::string& name, const avm1::Args& args) override;

  // The stage's mouse and key messages for the clips (`stage`: the pointer in twips of the
  // stage), and whether a clip acting as a button wants the hand.
  void clipInput(UINT message, WPARAM wParam, std::optional<render::Point> stage);
  bool clipHandCursor();
  // A pointer's button event runs the button's script handler (onPress, onRelease, ...).
  void buttonEvent(const display::ButtonEvent& event);
  // Key, Mouse, Stage and Selection of the movie's clips; none without a display list.
  clips::InputObjects* input() { return stage_ ? &stage_->input() : nullptr; }

  // A click or Tab moved the keyboard focus (null: to nothing): scripts hear of it as of
  // Selection.setFocus. The user changed a field's text: its onChanged listeners hear.
  void focusFromUser(display::DisplayObject* object);
  void fieldTyped(display::EditTextObject& field);

  // display::ButtonActionRunner: on _level0 until buttons' parents are clips of their own.
  void runButtonAction(const display::PendingButtonAction& action) override;

 private:
  std::wstring valueXml(const avm1::Value& value);

  FlashPlayer& player_;
  avm1::Machine machine_;
  std::shared_ptr<avm1::TimelineRunner> timeline_;
  std::shared_ptr<clips::ClipStage> stage_;
  std::unique_ptr<clips::ClipInput> input_;
  bool stageStarted_ = false;  // the first tick runs the frame the list already shows
  bool hasCode_ = false;
  int codeVersion_;  // the SWF version of the movie in _level0
};

// `_url` of a movie loaded by path, as the player gives it: "file:///C|/dir/movie.swf" with
// blanks and other unsafe characters escaped; URLs stay as they are.
std::wstring scriptUrlOf(const std::wstring& url);

// The local path a "file:" URL names when it names one on a drive ("file:///C|/a/b.swf",
// "file://\\C|\\a\\b.swf", "file:///C:/a%20b.swf"); none otherwise.
std::optional<std::wstring> localPathOfFileUrl(const std::wstring& url);
