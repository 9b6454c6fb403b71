// Key, Mouse, Stage and Selection: plain objects made broadcasters, their methods reading
// the state the player reports.
#include "InputObjects.h"

#include <cctype>

#include "ClipStage.h"
#include "EditTextObject.h"
#include "ScriptClasses.h"
#include "globals/Globals.h"

namespace clips {

namespace {

using avm1::Args;
using avm1::Machine;
using avm1::Value;

struct KeyConstant {
  const char* name;
  int code;
};
const KeyConstant kKeys[] = {
    {"ALT", 18}, {"BACKSPACE", 8}, {"CAPSLOCK", 20}, {"CONTROL", 17}, {"DELETEKEY", 46},
    {"DOWN", 40}, {"END", 35}, {"ENTER", 13}, {"ESCAPE", 27}, {"HOME", 36}, {"INSERT", 45},
    {"LEFT", 37}, {"PGDN", 34}, {"PGUP", 33}, {"RIGHT", 39}, {"SHIFT", 16}, {"SPACE", 32},
    {"TAB", 9}, {"UP", 38},
};
constexpr int kCapsLock = 20, kNumLock = 144, kScrollLock = 145;
constexpr unsigned kBuiltIn = avm1::kDontEnum | avm1::kDontDelete | avm1::kReadOnly;

// The control's ScaleMode numbers and AlignMode bits by the names scripts use.
const char* const kScaleModes[] = {"showAll", "noBorder", "exactFit", "noScale"};
const std::pair<int, char> kAlignBits[] = {{1, 'L'}, {4, 'T'}, {2, 'R'}, {8, 'B'}};

// "showAll", "noBorder", "exactFit" or "noScale", any case; anything else is showAll.
std::string scaleModeOf(std::string text) {
  for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
  if (text == "noborder") return "noBorder";
  if (text == "exactfit") return "exactFit";
  if (text == "noscale") return "noScale";
  return "showAll";
}
// The letters L, T, R, B in that order, whatever order and case they were given in.
std::string alignOf(const std::string& text) {
  bool l = false, t = false, r = false, b = false;
  for (char c : text) {
    switch (std::toupper(static_cast<unsigned char>(c))) {
      case 'L': l = true; break;
      case 'T': t = true; break;
      case 'R': r = true; break;
      case 'B': b = true; break;
      default: break;
    }
  }
  return std::string(l ? "L" : "") + (t ? "T" : "") + (r ? "R" : "") + (b ? "B" : "");
}

// Buttons and text fields (selectable or not) take the focus; a clip when focusEnabled says so or it handles the
// pointer as a button does.
bool focusable(Machine& m, ClipObject& object) {
  display::DisplayObject* d = object.display();
  if (d->kind() == display::ObjectKind::Button || d->kind() == display::ObjectKind::EditText) return true;
  avm1::ObjectRef self = object.shared_from_this();
  if (m.toBoolean(self->get(m, "focusEnabled"))) return true;
  for (const char* handler : {"onRelease", "onPress", "onRollOut", "onRollOver", "onReleaseOutside", "onDragOut", "onDragOver"})
    if (self->get(m, handler).isObject()) return true;
  return false;
}

}  // namespace

InputObjects::InputObjects(ClipStage& stage) : stage_(stage) { install(); }

void InputObjects::broadcast(const avm1::ObjectRef& on, const char* event, const Args& args) {
  Machine& m = stage_.machine();
  Args all{Value(event)};
  all.insert(all.end(), args.begin(), args.end());
  m.runScript([&] { m.callMethod(Value(on), "broadcastMessage", all); });
}

void InputObjects::keyDown(int code, int ascii) {
  held_.insert(code);
  lastCode_ = code;
  lastAscii_ = ascii;
  if (code == kCapsLock) capsLock_ = !capsLock_;
  if (code == kNumLock) numLock_ = !numLock_;
  if (code == kScrollLock) scrollLock_ = !scrollLock_;
  broadcast(key_, "onKeyDown");
}

void InputObjects::keyUp(int code, int ascii) {
  held_.erase(code);
  lastCode_ = code;
  lastAscii_ = ascii;
  broadcast(key_, "onKeyUp");
}

void InputObjects::mouseDown() {
  focusActive_ = false;
  broadcast(mouse_, "onMouseDown");
}
void InputObjects::mouseUp() {
  if (stage_.machine().rules().version() < 9) focusActive_ = false;
  broadcast(mouse_, "onMouseUp");
}
void InputObjects::mouseMove() {
  if (stage_.machine().rules().version() < 9) focusActive_ = false;
  broadcast(mouse_, "onMouseMove");
}
void InputObjects::mouseWheel(int delta) { broadcast(mouse_, "onMouseWheel", {Value(delta)}); }

void InputObjects::resized(int width, int height) { relayout(scaleMode_, align_, width, height); }

std::pair<double, double> InputObjects::stageSize() const {
  if (scaleMode_ == "noScale" && width_ > 0 && height_ > 0) return {double(width_), double(height_)};
  return {double(stage_.player().stageWidth()), double(stage_.player().stageHeight())};
}

void InputObjects::relayout(const std::string& scaleMode, const std::string& align, int width, int height) {
  const std::pair<double, double> before = stageSize();
  scaleMode_ = scaleMode, align_ = align, width_ = width, height_ = height;
  if (scaleMode_ == "noScale" && stageSize() != before) broadcast(stageObject_, "onResize");
}

void InputObjects::setLayout(int scaleModeIndex, int alignBits) {
  std::string align;
  for (const auto& [bit, letter] : kAlignBits)
    if (alignBits & bit) align += letter;
  relayout(kScaleModes[scaleModeIndex >= 0 && scaleModeIndex < 4 ? scaleModeIndex : 0], alignOf(align), width_,
           height_);
}

int InputObjects::scaleModeIndex() const {
  for (int i = 0; i < 4; ++i)
    if (scaleMode_ == kScaleModes[i]) return i;
  return 0;
}

int InputObjects::alignBits() const {
  int bits = 0;
  for (const auto& [bit, letter] : kAlignBits)
    if (align_.find(letter) != std::string::npos) bits |= bit;
  return bits;
}

void InputObjects::setFocus(const avm1::ObjectRef& focus) {
  focusActive_ = focus != nullptr;
  if (focus == focus_) return;
  Machine& m = stage_.machine();
  avm1::ObjectRef old = focus_;
  focus_ = focus;
  selected_ = false;
  if (auto* field = old ? fieldOf(Value(old)) : nullptr) field->setFocused(false);
  if (auto* field = focus ? fieldOf(Value(focus)) : nullptr) field->setFocused(true);
  if (focusMoved) {
    ClipObject* object = focus ? asClip(Value(focus)) : nullptr;
    focusMoved(object ? object->display() : nullptr);
  }
  Value oldValue = old ? Value(old) : Value::null(), newValue = focus ? Value(focus) : Value::null();
  m.runScript([&] {
    if (old) m.callMethod(Value(old), "onKillFocus", {newValue});
    if (focus) m.callMethod(Value(focus), "onSetFocus", {oldValue});
  });
  broadcast(selection_, "onSetFocus", {oldValue, newValue});
}

void InputObjects::install() {
  Machine& m = stage_.machine();
  Value broadcaster = m.global()->get(m, "AsBroadcaster");
  auto make = [&](const char* name) {
    avm1::ObjectRef o = m.newObject();
    if (broadcaster.isObject()) m.callMethod(broadcaster, "initialize", {Value(o)});
    m.global()->define(m, name, Value(o), avm1::kDontEnum);
    return o;
  };
  auto method = [&](const avm1::ObjectRef& on, const char* name, avm1::NativeFunction f) {
    on->define(m, name, Value(m.newFunction(whileStageLives(stage_, std::move(f)))), kBuiltIn);
  };

  key_ = make("Key");
  for (const KeyConstant& k : kKeys) key_->define(m, k.name, Value(k.code), kBuiltIn);
  method(key_, "isDown", [this](Machine& mm, const Value&, const Args& args) {
    return Value(isDown(avm1::toInt32(mm.toNumber(avm1::arg(args, 0)))));
  });
  method(key_, "isToggled", [this](Machine& mm, const Value&, const Args& args) {
    int code = avm1::toInt32(mm.toNumber(avm1::arg(args, 0)));
    return Value(code == kCapsLock ? capsLock_ : code == kNumLock ? numLock_ : code == kScrollLock && scrollLock_);
  });
  method(key_, "getCode", [this](Machine&, const Value&, const Args&) { return Value(lastCode_); });
  method(key_, "getAscii", [this](Machine&, const Value&, const Args&) { return Value(lastAscii_); });

  // hide and show give 1 when the pointer was hidden before, else 0.
  mouse_ = make("Mouse");
  method(mouse_, "hide", [this](Machine&, const Value&, const Args&) {
    bool was = mouseHidden_;
    mouseHidden_ = true;
    return Value(was ? 1 : 0);
  });
  method(mouse_, "show", [this](Machine&, const Value&, const Args&) {
    bool was = mouseHidden_;
    mouseHidden_ = false;
    return Value(was ? 1 : 0);
  });

  stageObject_ = make("Stage");
  auto property = [&](const char* name, avm1::NativeFunction get, avm1::NativeFunction set) {
    stageObject_->addProperty(m, name, m.newFunction(whileStageLives(stage_, std::move(get))),
                              set ? m.newFunction(whileStageLives(stage_, std::move(set))) : nullptr);
    if (avm1::Property* p = stageObject_->findOwn(m, name)) p->flags |= avm1::kDontEnum | avm1::kDontDelete;
  };
  property("scaleMode", [this](Machine&, const Value&, const Args&) { return Value(scaleMode_); },
           [this](Machine& mm, const Value&, const Args& args) {
             relayout(scaleModeOf(mm.toString(avm1::arg(args, 0))), align_, width_, height_);
             if (layoutChanged) layoutChanged();
             return Value();
           });
  property("align", [this](Machine&, const Value&, const Args&) { return Value(align_); },
           [this](Machine& mm, const Value&, const Args& args) {
             relayout(scaleMode_, alignOf(mm.toString(avm1::arg(args, 0))), width_, height_);
             if (layoutChanged) layoutChanged();
             return Value();
           });
  // The movie's size, or under noScale the area shown.
  property("width", [this](Machine&, const Value&, const Args&) { return Value(stageSize().first); }, nullptr);
  property("height", [this](Machine&, const Value&, const Args&) { return Value(stageSize().second); }, nullptr);
  property("showMenu", [this](Machine&, const Value&, const Args&) { return Value(showMenu_); },
           [this](Machine& mm, const Value&, const Args& args) {
             showMenu_ = mm.toBoolean(avm1::arg(args, 0));
             return Value();
           });
  property("displayState", [](Machine&, const Value&, const Args&) { return Value("normal"); },
           [](Machine&, const Value&, const Args&) { return Value(); });

  selection_ = make("Selection");
  method(selection_, "getFocus", [this](Machine& mm, const Value&, const Args&) {
    return focus_ ? Value(mm.toString(Value(focus_))) : Value::null();
  });
  // A text field, button or clip by object or path; null or undefined takes the focus away.
  method(selection_, "setFocus", [this](Machine& mm, const Value&, const Args& args) {
    if (args.empty()) return Value(false);
    if (args[0].isNullish()) {
      setFocus(nullptr);
      return Value(true);
    }
    Value target = args[0];
    if (!target.isObject()) target = mm.getVariable(mm.toString(target));
    ClipObject* object = asClip(target);
    if (!object || !object->display() || !focusable(mm, *object)) return Value(false);
    setFocus(object->shared_from_this());
    // A field focused by script has its whole text selected, also when it had the focus.
    if (display::EditTextObject* field = fieldOf(target)) {
      field->state().setSelection(0, field->state().text().size());
      selected_ = true;
    }
    return Value(true);
  });
  auto index = [this](size_t (*which)(const text::EditTextState&)) {
    return [this, which](Machine&, const Value&, const Args&) {
      display::EditTextObject* field = focus_ && selected_ ? fieldOf(Value(focus_)) : nullptr;
      return field ? Value(double(which(field->state()))) : Value(-1);
    };
  };
  method(selection_, "getBeginIndex", index([](const text::EditTextState& s) { return s.selectionBegin(); }));
  method(selection_, "getEndIndex", index([](const text::EditTextState& s) { return s.selectionEnd(); }));
  method(selection_, "getCaretIndex", index([](const text::EditTextState& s) { return s.caret(); }));
  method(selection_, "setSelection", [this](Machine& mm, const Value&, const Args& args) {
    display::EditTextObject* field = focus_ ? fieldOf(Value(focus_)) : nullptr;
    if (args.empty() || !field) return Value();
    double begin = std::max(0, avm1::toInt32(mm.toNumber(args[0])));
    double end = args.size() > 1 ? std::max(0, avm1::toInt32(mm.toNumber(args[1]))) : 2147483647.0;
    field->state().setSelection(size_t(begin), size_t(end));
    selected_ = true;
    return Value();
  });
}

}  // namespace clips
