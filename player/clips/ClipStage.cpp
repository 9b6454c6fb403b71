// The frame loop of a movie with ActionScript: clips advance, then the queued actions and
// events run, then the intervals.
#include "ClipStage.h"

#include "BoundFields.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cmath>
#include <optional>

#include "Collector.h"
#include "PlaceRecords.h"
#include "ScriptClasses.h"
#include "SpriteObject.h"

namespace clips {

namespace ev = swf::clip_event;

ClipStage::ClipStage(display::MoviePlayer& player, avm1::Machine& machine)
    : player_(player), machine_(machine), boundFields_(std::make_unique<BoundFields>()) {
  installClipProperties(*this, &getters_, &setters_);
  installMovieClipMethods(*this);
  installDrawingMethods(*this);
  installInteractionMethods(*this);
  installScriptClasses(*this);
  input_ = std::make_unique<InputObjects>(*this);
  loads_ = std::make_unique<MovieLoads>(*this);
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
  *link_ = nullptr;
  player_.context().setScriptHooks(nullptr);
  if (machine_.display() == this) machine_.setDisplay(nullptr);
  if (auto* clip = dynamic_cast<ClipObject*>(root_.get())) clip->detach();
  player_.root().scriptLink.reset();
}

avm1::NativeFunction whileStageLives(const ClipStage& stage, avm1::NativeFunction f) {
  return [link = stage.link(), f = std::move(f)](avm1::Machine& m, const avm1::Value& self, const avm1::Args& args) {
    return *link ? f(m, self, args) : avm1::Value();
  };
}

double ClipStage::frameMilliseconds() const {
  double rate = player_.frameRate();
  return 1000.0 / (rate > 0 ? rate : 12);
}

void ClipStage::tick() {
  loads_->deliver();
  loads_->runFrames();  // loaded movies' clips are newer than the root's
  player_.advance();
  loads_->queueInits();
  boundFields_->update(player_.root(), machine_);  // fields just placed bind before scripts read them
  runQueue();
  runTimers();
  boundFields_->update(player_.root(), machine_);
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
  return codeOf(bytes, machine_.rules().version());
}

std::shared_ptr<const avm1::Code> ClipStage::codeOf(const std::vector<uint8_t>& bytes, int version) {
  std::shared_ptr<const avm1::Code>& code = code_[&bytes];
  if (!code) code = std::make_shared<avm1::Code>(avm1::Code{bytes, version});
  return code;
}

void ClipStage::queueTask(const avm1::ObjectRef& clip, std::function<void()> task) {
  auto object = std::dynamic_pointer_cast<ClipObject>(clip);
  if (object) queue(Queued{object, nullptr, {}, false, std::move(task)});
}

void ClipStage::queue(Queued item, Priority priority) {
  queues_[static_cast<int>(priority)].push_back(std::move(item));
}

// Work for a clip that left the list is dropped, except its unload handlers.
void ClipStage::runQueue() {
  for (;;) {
    std::deque<Queued>* found = nullptr;
    for (std::deque<Queued>& q : queues_)
      if (!q.empty()) {
        found = &q;
        break;
      }
    if (!found) return;
    std::deque<Queued>& from = *found;
    Queued item = std::move(from.front());
    from.pop_front();
    if (!item.unload && !item.clip->display()) continue;
    avm1::ObjectRef clip = item.clip->shared_from_this();
    if (item.task) {
      item.task();
      continue;
    }
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
  Priority priority = eventFlag == ev::kInitialize  ? Priority::Initialize
                      : eventFlag == ev::kConstruct ? Priority::Construct
                                                    : Priority::Normal;
  if (d && machine_.rules().version() >= 5)
    for (const swf::ClipAction& action : d->clipActions())
      if (action.events & eventFlag) queue(Queued{self, codeOf(action.actions), {}, unload, {}}, priority);
  if (method) queue(Queued{self, nullptr, method, unload, {}}, priority);
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
  if (object && !actions.empty())
    queue(Queued{object, codeOf(actions, clip.context().library().movie().version), {}, false, {}});
}

// Init actions run once per symbol, at once, on the timeline that holds them.
void ClipStage::initActions(display::SpriteObject& clip, swf::CharacterId spriteId, const std::vector<uint8_t>& actions) {
  if (!initDone_.insert({&clip.context(), spriteId}).second) return;
  avm1::ObjectRef object = scriptObjectOf(*this, clip);
  if (object) machine_.runActions(codeOf(actions, clip.context().library().movie().version), object);
}

// A clip whose symbol has a registered class takes the class's prototype and runs its
// constructor before its other events; its Initialize clip actions come first of all.
void ClipStage::instancePlaced(display::DisplayObject& object) {
  if (object.name().empty() && classNameOf(object.kind()))
    object.setName("instance" + std::to_string(++instanceCounter_));
  auto clip = std::dynamic_pointer_cast<ClipObject>(scriptObjectOf(*this, object));
  if (!clip) return;
  queueEvent(*clip, ev::kInitialize, nullptr);
  const swf::MovieData& movie = object.kind() == display::ObjectKind::Sprite
                                    ? static_cast<display::SpriteObject&>(object).context().library().movie()
                                    : player_.movie();
  for (const swf::ExportedAsset& e : movie.exports) {
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

// A clip's children unload before it does.
void ClipStage::instanceRemoving(display::DisplayObject& object) {
  if (object.kind() == display::ObjectKind::Sprite)
    for (const auto& [depth, child] : static_cast<display::SpriteObject&>(object).children().children())
      instanceRemoving(*child);
  if (!object.scriptLink) return;
  auto* clip = dynamic_cast<ClipObject*>(object.scriptLink.get());
  if (clip) queueEvent(*clip, ev::kUnload, "onUnload");
}

swf::CharacterId ClipStage::exported(const display::SpriteObject& clip, const std::string& name) {
  for (const swf::ExportedAsset& e : clip.context().library().movie().exports)
    if (e.name == name) return e.id;
  return 0;
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

namespace {
// A frame number as the player takes it: wrapped to 32 bits, then to the 16 bits of a frame.
int32_t wrappedFrame(double n) {
  if (!std::isfinite(n)) return 0;
  double m = std::fmod(std::trunc(n), 4294967296.0);
  if (m < 0) m += 4294967296.0;
  return static_cast<int32_t>(static_cast<uint32_t>(m));
}
// A target path from `start`: "/" begins at the root, ".." is the parent, and "/", "." and
// ":" separate names.
ClipObject* followPath(avm1::Machine& m, const avm1::ObjectRef& start, std::string path) {
  avm1::ObjectRef at = start;
  if (!path.empty() && path[0] == '/') {
    at = m.root();
    path.erase(0, 1);
  }
  size_t at_ = 0;
  while (at && at_ < path.size()) {
    std::string part;
    if (path.compare(at_, 2, "..") == 0) {
      part = "_parent";
      at_ += 2;
    } else {
      size_t end = std::min(path.find_first_of("/.:", at_), path.size());
      part = path.substr(at_, end - at_);
      at_ = end;
    }
    if (at_ < path.size()) ++at_;  // the separator
    if (part.empty()) continue;
    avm1::Value next = at->get(m, part);
    at = next.isObject() ? next.object() : nullptr;
  }
  return at ? asClip(avm1::Value(at)) : nullptr;
}
}  // namespace

// An integral number is a frame; anything else is text: "path:frame" may name another clip,
// and the frame part is a number or a label. Frames below 1 do nothing.
bool ClipStage::gotoFrame(avm1::Machine& m, const avm1::ObjectRef& clip, const avm1::Value& frame, bool play,
                          int sceneBias) {
  ClipObject* object = asClip(avm1::Value(clip));
  display::SpriteObject* sprite = object ? object->sprite() : nullptr;
  if (!sprite) return false;
  int32_t number = 0;
  if (frame.isNumber() && std::trunc(frame.number()) == frame.number()) {
    number = wrappedFrame(frame.number());
  } else {
    std::string text = m.toString(frame);
    size_t split = text.find_last_of(":.");
    if (split != std::string::npos) {
      ClipObject* other = followPath(m, clip, text.substr(0, split));
      if (!other || !other->sprite()) return false;
      sprite = other->sprite();
      text = text.substr(split + 1);
    }
    double n = avm1::stringToNumber(text);
    if (!std::isnan(n)) {
      number = wrappedFrame(n);
    } else {
      std::optional<uint16_t> labelled = sprite->context().library().labels(sprite->timeline()).frameOf(text);
      if (!labelled) return false;
      number = *labelled;
    }
  }
  // The player counts from 0 here: the bias wraps, and only the step back up saturates.
  uint32_t zeroBased = static_cast<uint32_t>(number) - 1u + static_cast<uint32_t>(sceneBias);
  int32_t wrapped = static_cast<int32_t>(zeroBased);
  if (wrapped != INT32_MAX) ++wrapped;
  if (wrapped <= 0) return false;
  sprite->gotoFrame(static_cast<uint16_t>(wrapped), !play);
  return true;
}

void ClipStage::cloneSprite(avm1::Machine& m, const avm1::ObjectRef& clip, const std::string& name, int32_t depth) {
  m.callMethod(avm1::Value(clip), "duplicateMovieClip", {avm1::Value(name), avm1::Value(depth - 16384)});
}

void ClipStage::removeSprite(avm1::Machine& m, const avm1::ObjectRef& clip) {
  m.callMethod(avm1::Value(clip), "removeMovieClip", {});
}

bool ClipStage::removed(const avm1::ObjectRef& clip) {
  ClipObject* object = asClip(avm1::Value(clip));
  return object && !object->display();
}

namespace {
// "_levelN" (any case) as N; -1 for anything else.
int levelNumber(const std::string& target) {
  if (target.size() <= 6 || target.size() > 12) return -1;
  for (size_t i = 0; i < 6; ++i)
    if (std::tolower(static_cast<unsigned char>(target[i])) != "_level"[i]) return -1;
  if (target.find_first_not_of("0123456789", 6) != std::string::npos) return -1;
  return std::atoi(target.c_str() + 6);
}
}  // namespace

// A level by name, or a clip by path from the clip the action runs on (a target that names
// no clip loads nothing); other targets are pages for the host.
bool ClipStage::loadMovie(avm1::Machine& m, const avm1::ObjectRef& base, const std::string& url,
                          const std::string& target, bool targetIsClip) {
  if (int level = levelNumber(target); level >= 0) {
    if (url.empty()) loads_->unloadLevel(level);
    else loads_->loadIntoLevel(url, level);
    return true;
  }
  if (!targetIsClip) return false;
  ClipObject* clip = target.empty() ? asClip(avm1::Value(base)) : followPath(m, base ? base : root_, target);
  if (!clip) {
    avm1::Value named = m.getVariable(target);  // "_root.a", "_level0.a"
    clip = asClip(named);
  }
  if (!clip || !clip->sprite()) return true;
  if (url.empty()) loads_->unloadClip(clip->shared_from_this());
  else loads_->loadIntoClip(url, clip->shared_from_this());
  return true;
}

int ClipStage::framesLoaded(const avm1::ObjectRef& clip) {
  ClipObject* object = asClip(avm1::Value(clip));
  display::SpriteObject* sprite = object ? object->sprite() : nullptr;
  return sprite ? sprite->totalFrames() : 0;
}

}  // namespace clips
