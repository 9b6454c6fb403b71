// The frame loop of a movie with ActionScript: clips advance, then the queued actions and
// events run, then the intervals.
#include "ClipStage.h"

#include <cmath>

#include "Collector.h"
#include "PlaceRecords.h"
#include "SpriteObject.h"

namespace clips {

namespace ev = swf::clip_event;

ClipStage::ClipStage(display::MoviePlayer& player, avm1::Machine& machine) : player_(player), machine_(machine) {
  installClipProperties(*this, &getters_, &setters_);
  installMovieClipMethods(*this);
  root_ = scriptObjectOf(*this, player_.root());
  root_->clipPath = "_level0";
  root_->define(machine_, "_parent", avm1::Value(), avm1::kDontEnum);  // a level has none
  machine_.setLevel(0, root_);
  machine_.setDisplay(this);
  player_.context().setScriptHooks(this);
}

ClipStage::ClipStage(std::shared_ptr<display::MoviePlayer> player, avm1::Machine& machine)
    : ClipStage(*player, machine) {
  kept_ = std::move(player);
}

ClipStage::~ClipStage() {
  player_.context().setScriptHooks(nullptr);
  if (machine_.display() == this) machine_.setDisplay(nullptr);
  if (auto* clip = dynamic_cast<ClipObject*>(root_.get())) clip->detach();
  player_.root().scriptLink.reset();
}

double ClipStage::frameMilliseconds() const {
  double rate = player_.frameRate();
  return 1000.0 / (rate > 0 ? rate : 12);
}

void ClipStage::tick() {
  player_.advance();
  runQueue();
  runTimers();
}

void ClipStage::catchUp() {
  struct Walk {
    ClipStage& stage;
    void clip(display::SpriteObject& sprite) {
      if (sprite.parent()) stage.instancePlaced(sprite);
      stage.frameStarting(sprite);
      uint16_t frame = sprite.currentFrame();
      if (frame >= 1 && frame <= sprite.timeline().frames.size())
        for (const swf::FrameTag& tag : sprite.timeline().frames[frame - 1].tags) {
          if (auto* a = std::get_if<swf::DoAction>(&tag)) stage.frameActions(sprite, a->actions);
          else if (auto* i = std::get_if<swf::DoInitAction>(&tag)) stage.initActions(sprite, i->spriteId, i->actions);
        }
      for (const auto& [depth, child] : sprite.children().children())
        if (child->kind() == display::ObjectKind::Sprite) clip(static_cast<display::SpriteObject&>(*child));
    }
  } walk{*this};
  walk.clip(player_.root());
}

void ClipStage::runTimers() {
  nowMs_ += frameMilliseconds();
  machine_.runDueIntervals(nowMs_);
  if (avm1::Collector::due()) avm1::Collector::collect();  // between frames no script holds anything
}

std::shared_ptr<const avm1::Code> ClipStage::codeOf(const std::vector<uint8_t>& bytes) {
  std::shared_ptr<const avm1::Code>& code = code_[&bytes];
  if (!code) code = std::make_shared<avm1::Code>(avm1::Code{bytes, machine_.rules().version()});
  return code;
}

void ClipStage::queue(Queued item, bool first) {
  (first ? initial_ : normal_).push_back(std::move(item));
}

// Work for a clip that left the list is dropped, except its unload handlers.
void ClipStage::runQueue() {
  for (;;) {
    std::deque<Queued>& from = !initial_.empty() ? initial_ : normal_;
    if (from.empty()) return;
    Queued item = std::move(from.front());
    from.pop_front();
    if (!item.unload && !item.clip->display()) continue;
    avm1::ObjectRef clip = item.clip->shared_from_this();
    if (item.code) {
      machine_.runActions(item.code, clip);
      continue;
    }
    machine_.runScript([&] {
      avm1::Value handler = clip->get(machine_, item.method);
      if (handler.isObject()) machine_.call(handler, avm1::Value(clip), {});
    });
  }
}

void ClipStage::queueEvent(ClipObject& clip, uint32_t eventFlag, const char* method) {
  display::DisplayObject* d = clip.display();
  auto self = std::static_pointer_cast<ClipObject>(clip.shared_from_this());
  bool unload = eventFlag == ev::kUnload;
  bool first = eventFlag == ev::kInitialize || eventFlag == ev::kConstruct;
  if (d && machine_.rules().version() >= 5)
    for (const swf::ClipAction& action : d->clipActions())
      if (action.events & eventFlag) queue(Queued{self, codeOf(action.actions), {}, unload}, first);
  if (method) queue(Queued{self, nullptr, method, unload}, first);
}

void ClipStage::frameStarting(display::SpriteObject& clip) {
  auto* object = dynamic_cast<ClipObject*>(scriptObjectOf(*this, clip).get());
  if (!object) return;
  if (!clip.loadEventSent) {
    clip.loadEventSent = true;
    queueEvent(*object, ev::kLoad, clip.parent() ? "onLoad" : nullptr);
  } else {
    queueEvent(*object, ev::kEnterFrame, "onEnterFrame");
  }
}

void ClipStage::frameActions(display::SpriteObject& clip, const std::vector<uint8_t>& actions) {
  auto object = std::dynamic_pointer_cast<ClipObject>(scriptObjectOf(*this, clip));
  if (object && !actions.empty()) queue(Queued{object, codeOf(actions), {}, false});
}

// Init actions run once per symbol, at once, on the timeline that holds them.
void ClipStage::initActions(display::SpriteObject& clip, swf::CharacterId spriteId, const std::vector<uint8_t>& actions) {
  if (!initDone_.insert(spriteId).second) return;
  avm1::ObjectRef object = scriptObjectOf(*this, clip);
  if (object) machine_.runActions(codeOf(actions), object);
}

// A clip whose symbol has a registered class takes the class's prototype and runs its
// constructor before its other events; its Initialize clip actions come first of all.
void ClipStage::instancePlaced(display::DisplayObject& object) {
  auto clip = std::dynamic_pointer_cast<ClipObject>(scriptObjectOf(*this, object));
  if (!clip) return;
  queueEvent(*clip, ev::kInitialize, nullptr);
  for (const swf::ExportedAsset& e : player_.movie().exports) {
    if (e.id != object.characterId()) continue;
    auto it = registered_.find(machine_.rules().nameKey(e.name));
    if (it == registered_.end() || !it->second.isObject()) continue;
    avm1::Value proto = it->second.object()->get(machine_, "prototype");
    if (proto.isObject()) clip->setProto(machine_, proto.object());
    avm1::Value ctor = it->second;
    machine_.runScript([&] { machine_.callConstructor(ctor, clip, {}, 1); });
    break;
  }
  queueEvent(*clip, ev::kConstruct, nullptr);
}

void ClipStage::instanceRemoving(display::DisplayObject& object) {
  if (!object.scriptLink) return;
  auto* clip = dynamic_cast<ClipObject*>(object.scriptLink.get());
  if (clip) queueEvent(*clip, ev::kUnload, "onUnload");
}

swf::CharacterId ClipStage::exported(const std::string& name) const {
  for (const swf::ExportedAsset& e : player_.movie().exports)
    if (e.name == name) return e.id;
  return 0;
}

void ClipStage::timeline(avm1::Machine&, const avm1::ObjectRef& clip, Timeline action) {
  ClipObject* object = asClip(avm1::Value(clip));
  display::SpriteObject* sprite = object ? object->sprite() : nullptr;
  if (!sprite) return;
  switch (action) {
    case Timeline::Play: sprite->play(); break;
    case Timeline::Stop: sprite->stop(); break;
    case Timeline::NextFrame: sprite->nextFrame(); break;
    case Timeline::PrevFrame: sprite->prevFrame(); break;
  }
}

bool ClipStage::gotoFrame(avm1::Machine& m, const avm1::ObjectRef& clip, const avm1::Value& frame, bool play) {
  ClipObject* object = asClip(avm1::Value(clip));
  display::SpriteObject* sprite = object ? object->sprite() : nullptr;
  if (!sprite) return false;
  if (frame.isString()) {
    double n = avm1::stringToNumber(frame.string());
    if (std::isnan(n)) return sprite->gotoLabel(frame.string(), !play);
    if (n < 1) n = 1;
    sprite->gotoFrame(static_cast<uint16_t>(std::min(n, 65535.0)), !play);
    return true;
  }
  double n = m.toNumber(frame);
  if (std::isnan(n)) return false;
  n = std::floor(n);
  if (n < 1) n = 1;
  sprite->gotoFrame(static_cast<uint16_t>(std::min(n, 65535.0)), !play);
  return true;
}

void ClipStage::cloneSprite(avm1::Machine& m, const avm1::ObjectRef& clip, const std::string& name, int32_t depth) {
  m.callMethod(avm1::Value(clip), "duplicateMovieClip", {avm1::Value(name), avm1::Value(depth - 16384)});
}

void ClipStage::removeSprite(avm1::Machine& m, const avm1::ObjectRef& clip) {
  m.callMethod(avm1::Value(clip), "removeMovieClip", {});
}

int ClipStage::framesLoaded(const avm1::ObjectRef& clip) {
  ClipObject* object = asClip(avm1::Value(clip));
  display::SpriteObject* sprite = object ? object->sprite() : nullptr;
  return sprite ? sprite->totalFrames() : 0;
}

}  // namespace clips
