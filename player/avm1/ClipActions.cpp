// The actions that drive clips: timeline moves, SetTarget and the sprite actions. They act on
// the activation's target clip through the machine's display bridge.
#include "Activation.h"

namespace avm1 {

namespace {
uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
}  // namespace

void Activation::nextFrame(const Action&) {
  if (DisplayBridge* d = m_.display(); d && timeline_) d->timeline(m_, timeline_, DisplayBridge::Timeline::NextFrame);
}
void Activation::prevFrame(const Action&) {
  if (DisplayBridge* d = m_.display(); d && timeline_) d->timeline(m_, timeline_, DisplayBridge::Timeline::PrevFrame);
}
void Activation::play(const Action&) {
  if (DisplayBridge* d = m_.display(); d && timeline_) d->timeline(m_, timeline_, DisplayBridge::Timeline::Play);
}
void Activation::stop(const Action&) {
  if (DisplayBridge* d = m_.display(); d && timeline_) d->timeline(m_, timeline_, DisplayBridge::Timeline::Stop);
}

// GotoFrame names a 0-based frame and stops there.
void Activation::gotoFrame(const Action& a) {
  if (a.length < 2) return;
  if (DisplayBridge* d = m_.display(); d && timeline_) d->gotoFrame(m_, timeline_, Value(u16(a.data) + 1), false);
}
void Activation::gotoLabel(const Action& a) {
  size_t at = 0;
  std::string label = readString(a, &at);
  if (DisplayBridge* d = m_.display(); d && timeline_) d->gotoFrame(m_, timeline_, Value(label), false);
}

// GotoFrame2: a frame number or a "path:frame" from the stack, played or not, plus the scene
// bias when the flag says so.
void Activation::gotoFrame2(const Action& a) {
  Value frame = pop();
  if (a.length < 1) return;
  bool play = a.data[0] & 1;
  int bias = (a.data[0] & 2) && a.length >= 3 ? u16(a.data + 1) : 0;
  DisplayBridge* d = m_.display();
  if (!d || !timeline_) return;
  d->gotoFrame(m_, timeline_, frame, play, bias);
}

// The target's scope replaces the timeline's in the chain; the scopes above it (with blocks)
// stay.
void Activation::retarget(const ObjectRef& clip) {
  timeline_ = clip;
  std::vector<ScopeRef> above;
  Scope* s = scope_.get();
  for (; s && !s->target; s = s->parent.get()) {
    if (s->local && !s->object) s->object = std::make_shared<Object>();  // copies share it
    above.push_back(std::make_shared<Scope>(*s));
  }
  if (!s) return;
  ScopeRef rebuilt = std::make_shared<Scope>(Scope{clip, s->parent, true});
  for (auto it = above.rbegin(); it != above.rend(); ++it) {
    (*it)->parent = rebuilt;
    rebuilt = *it;
  }
  scope_ = rebuilt;
}

// SetTarget: "" goes back to the code's own timeline; a path not found leaves no target, so
// the actions after it act on nothing.
void Activation::setTarget(const Action& a) {
  size_t at = 0;
  std::string path = readString(a, &at);
  if (path.empty()) return retarget(originalTimeline_);
  ObjectRef clip = originalTimeline_ ? targetOf(originalTimeline_, path, true, true) : nullptr;
  if (clip && clip->isClip()) retarget(clip);
  else timeline_ = nullptr;
}
void Activation::setTarget2(const Action&) {
  Value target = pop();
  if (target.isObject() && target.object()->isClip()) return retarget(target.object());
  std::string path = m_.toString(target);
  if (path.empty()) return retarget(originalTimeline_);
  ObjectRef clip = originalTimeline_ ? targetOf(originalTimeline_, path, true, true) : nullptr;
  if (clip && clip->isClip()) retarget(clip);
  else timeline_ = nullptr;
}

void Activation::removeSprite(const Action&) {
  Value target = pop();
  if (DisplayBridge* d = m_.display())
    if (ObjectRef clip = clipAt(target)) d->removeSprite(m_, clip);
}

// WaitForFrame skips its next actions while the frame is not loaded; every frame is here.
void Activation::waitForFrame(const Action& a) {
  if (a.length < 3) return;
  DisplayBridge* d = m_.display();
  int frame = u16(a.data) + 1;
  if (!d || !timeline_ || d->framesLoaded(timeline_) >= frame) return;
  for (int skip = a.data[2]; skip > 0 && pc_ < code_->bytes.size(); --skip) {
    uint8_t op = code_->bytes[pc_];
    pc_ += op >= 0x80 && pc_ + 3 <= code_->bytes.size() ? 3 + u16(&code_->bytes[pc_ + 1]) : 1;
  }
}
void Activation::waitForFrame2(const Action& a) {
  Value frame = pop();
  if (a.length < 1) return;
  DisplayBridge* d = m_.display();
  if (!d || !timeline_) return;
  double wanted = m_.toNumber(frame);
  if (d->framesLoaded(timeline_) >= wanted) return;
  for (int skip = a.data[0]; skip > 0 && pc_ < code_->bytes.size(); --skip) {
    uint8_t op = code_->bytes[pc_];
    pc_ += op >= 0x80 && pc_ + 3 <= code_->bytes.size() ? 3 + u16(&code_->bytes[pc_ + 1]) : 1;
  }
}

}  // namespace avm1
