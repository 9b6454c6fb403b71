// TextField: the properties of a text field as getter and setter pairs on TextField.prototype,
// its methods (formats, replacing text, removing it), and MovieClip.createTextField.
#include <cmath>

#include "ClipStage.h"
#include "EditTextObject.h"
#include "InputObjects.h"
#include "ScriptClasses.h"
#include "SpriteObject.h"
#include "globals/Globals.h"

namespace clips {

namespace {

using avm1::Args;
using avm1::Machine;
using avm1::Value;
using text::EditTextState;

constexpr int32_t kDepthBias = 16384;  // scripts' depth 0 is the timeline's 16384

std::string utf8(const std::u16string& s) { return text::toUtf8(s); }
std::u16string utf16(Machine& m, const Value& v) { return text::fromUtf8(m.toString(v)); }
double rgbOf(const swf::Rgba& c) { return double((uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b); }
swf::Rgba colorOf(Machine& m, const Value& v) {
  const uint32_t c = uint32_t(avm1::toInt32(m.toNumber(v)));
  return swf::Rgba{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 255};
}

using Get = Value (*)(Machine&, display::EditTextObject&);
using Set = void (*)(Machine&, display::EditTextObject&, const Value&);

EditTextState& st(display::EditTextObject& f) { return f.state(); }

// A scroll change tells the field's onScroller and its listeners.
void scrolled(Machine& m, display::EditTextObject& f, int before) {
  if (st(f).scroll() == before || !f.scriptLink) return;
  auto* object = dynamic_cast<avm1::Object*>(f.scriptLink.get());
  if (!object) return;
  Value self(object->shared_from_this());
  m.callMethod(self, "broadcastMessage", {Value("onScroller"), self});
}

void setAllColors(display::EditTextObject& f, const swf::Rgba& color) {
  EditTextState& s = st(f);
  s.formatRange(0, s.text().size(), [&](text::TextFormat& t) { t.color = color; });
  text::TextFormat d = s.defaultFormat();
  d.color = color;
  s.setDefaultFormat(d);
}

struct Row {
  const char* name;
  Get get;
  Set set;  // none: read-only
};

// In the player's order: scripts enumerate them last made first.
const Row kRows[] = {
    {"gridFitType", [](Machine&, display::EditTextObject& f) { return Value(st(f).look.gridFitType); },
     [](Machine& m, display::EditTextObject& f, const Value& v) {
       std::string t = m.toString(v);
       if (t == "none" || t == "pixel" || t == "subpixel") st(f).look.gridFitType = t;
     }},
    {"antiAliasType", [](Machine&, display::EditTextObject& f) { return Value(st(f).look.antiAliasType); },
     [](Machine& m, display::EditTextObject& f, const Value& v) {
       std::string t = m.toString(v);
       if (t == "normal" || t == "advanced") st(f).look.antiAliasType = t;
     }},
    {"thickness", [](Machine&, display::EditTextObject& f) { return Value(st(f).look.thickness); },
     [](Machine& m, display::EditTextObject& f, const Value& v) { st(f).look.thickness = std::clamp(m.toNumber(v), -200.0, 200.0); }},
    {"sharpness", [](Machine&, display::EditTextObject& f) { return Value(st(f).look.sharpness); },
     [](Machine& m, display::EditTextObject& f, const Value& v) { st(f).look.sharpness = std::clamp(m.toNumber(v), -400.0, 400.0); }},
    {"filters", [](Machine& m, display::EditTextObject&) { return Value(m.newArray()); },
     [](Machine&, display::EditTextObject&, const Value&) {}},
    {"scroll", [](Machine&, display::EditTextObject& f) { return Value(st(f).scroll()); },
     [](Machine& m, display::EditTextObject& f, const Value& v) {
       double n = m.toNumber(v);
       if (std::isnan(n)) return;
       int before = st(f).scroll();
       st(f).setScroll(int(std::clamp(n, 1.0, 1e9)));
       scrolled(m, f, before);
     }},
    {"maxscroll", [](Machine&, display::EditTextObject& f) { return Value(st(f).maxScroll()); }, nullptr},
    {"borderColor", [](Machine&, display::EditTextObject& f) { return Value(rgbOf(st(f).look.borderColor)); },
     [](Machine& m, display::EditTextObject& f, const Value& v) { st(f).look.borderColor = colorOf(m, v); }},
    {"backgroundColor", [](Machine&, display::EditTextObject& f) { return Value(rgbOf(st(f).look.backgroundColor)); },
     [](Machine& m, display::EditTextObject& f, const Value& v) { st(f).look.backgroundColor = colorOf(m, v); }},
    {"textColor", [](Machine&, display::EditTextObject& f) { return Value(rgbOf(st(f).defaultFormat().color)); },
     [](Machine& m, display::EditTextObject& f, const Value& v) { setAllColors(f, colorOf(m, v)); }},
    {"tabIndex", [](Machine&, display::EditTextObject& f) { return st(f).look.tabIndex ? Value(*st(f).look.tabIndex) : Value(); },
     [](Machine& m, display::EditTextObject& f, const Value& v) {
       if (v.isNullish()) st(f).look.tabIndex.reset();
       else st(f).look.tabIndex = double(avm1::toInt32(m.toNumber(v)));
     }},
    // true is "left", false "none"; other text than the four modes is "none".
    {"autoSize", [](Machine&, display::EditTextObject& f) { return Value(st(f).look.autoSize); },
     [](Machine& m, display::EditTextObject& f, const Value& v) {
       std::string mode;
       if (v.kind() == Value::Kind::Boolean) {
         mode = m.toBoolean(v) ? "left" : "none";
       } else {
         mode = m.toString(v);
         for (char& c : mode) c = char(std::tolower(static_cast<unsigned char>(c)));
         if (mode != "left" && mode != "center" && mode != "right") mode = "none";
       }
       st(f).look.autoSize = mode;
       st(f).scriptRecord().autoSize = mode != "none";
     }},
    {"text", [](Machine&, display::EditTextObject& f) { return Value(utf8(st(f).text())); },
     [](Machine& m, display::EditTextObject& f, const Value& v) { st(f).setText(utf16(m, v)); }},
    // "input" or "dynamic" in any case; anything else leaves it.
    {"type", [](Machine&, display::EditTextObject& f) { return Value(st(f).editable() ? "input" : "dynamic"); },
     [](Machine& m, display::EditTextObject& f, const Value& v) {
       std::string t = m.toString(v);
       for (char& c : t) c = char(std::tolower(static_cast<unsigned char>(c)));
       if (t == "input" || t == "dynamic") st(f).scriptRecord().readOnly = t == "dynamic";
     }},
    {"htmlText",
     [](Machine&, display::EditTextObject& f) { return Value(utf8(st(f).html() ? st(f).htmlText() : st(f).text())); },
     [](Machine& m, display::EditTextObject& f, const Value& v) {
       if (st(f).html()) st(f).setHtmlText(utf16(m, v));
       else st(f).setText(utf16(m, v));
     }},
    {"variable",
     [](Machine&, display::EditTextObject& f) {
       return st(f).variableName().empty() ? Value::null() : Value(st(f).variableName());
     },
     [](Machine& m, display::EditTextObject& f, const Value& v) {
       st(f).scriptRecord().variableName = v.isNullish() ? std::string() : m.toString(v);
     }},
    {"hscroll", [](Machine&, display::EditTextObject&) { return Value(0); },
     [](Machine&, display::EditTextObject&, const Value&) {}},
    {"maxhscroll", [](Machine&, display::EditTextObject&) { return Value(0); }, nullptr},
    {"maxChars",
     [](Machine&, display::EditTextObject& f) {
       const auto& max = st(f).record().maxLength;
       return max && *max ? Value(double(*max)) : Value::null();
     },
     [](Machine& m, display::EditTextObject& f, const Value& v) {
       int32_t n = avm1::toInt32(m.toNumber(v));
       if (n <= 0) st(f).scriptRecord().maxLength.reset();
       else st(f).scriptRecord().maxLength = uint16_t(std::min(n, 65535));
     }},
    {"embedFonts", [](Machine&, display::EditTextObject& f) { return Value(st(f).record().useOutlines); },
     [](Machine& m, display::EditTextObject& f, const Value& v) { st(f).scriptRecord().useOutlines = m.toBoolean(v); }},
    {"html", [](Machine&, display::EditTextObject& f) { return Value(st(f).html()); },
     [](Machine& m, display::EditTextObject& f, const Value& v) { st(f).scriptRecord().html = m.toBoolean(v); }},
    {"border", [](Machine&, display::EditTextObject& f) { return Value(st(f).look.border); },
     [](Machine& m, display::EditTextObject& f, const Value& v) { st(f).look.border = m.toBoolean(v); }},
    {"background", [](Machine&, display::EditTextObject& f) { return Value(st(f).look.background); },
     [](Machine& m, display::EditTextObject& f, const Value& v) { st(f).look.background = m.toBoolean(v); }},
    {"wordWrap", [](Machine&, display::EditTextObject& f) { return Value(st(f).record().wordWrap); },
     [](Machine& m, display::EditTextObject& f, const Value& v) { st(f).scriptRecord().wordWrap = m.toBoolean(v); }},
    {"password", [](Machine&, display::EditTextObject& f) { return Value(st(f).password()); },
     [](Machine& m, display::EditTextObject& f, const Value& v) { st(f).scriptRecord().password = m.toBoolean(v); }},
    {"multiline", [](Machine&, display::EditTextObject& f) { return Value(st(f).multiline()); },
     [](Machine& m, display::EditTextObject& f, const Value& v) { st(f).scriptRecord().multiline = m.toBoolean(v); }},
    {"selectable", [](Machine&, display::EditTextObject& f) { return Value(st(f).selectable()); },
     [](Machine& m, display::EditTextObject& f, const Value& v) { st(f).scriptRecord().noSelect = !m.toBoolean(v); }},
    {"length", [](Machine&, display::EditTextObject& f) { return Value(double(st(f).text().size())); }, nullptr},
    {"bottomScroll", [](Machine&, display::EditTextObject& f) { return Value(st(f).bottomScroll()); }, nullptr},
    {"textWidth", [](Machine&, display::EditTextObject& f) { return Value(std::round(st(f).layout().textWidth / 20)); }, nullptr},
    {"textHeight", [](Machine&, display::EditTextObject& f) { return Value(std::round(st(f).layout().textHeight / 20)); }, nullptr},

    {"restrict",
     [](Machine&, display::EditTextObject& f) { return st(f).look.restrict ? Value(*st(f).look.restrict) : Value::null(); },
     [](Machine& m, display::EditTextObject& f, const Value& v) {
       if (v.isNullish()) st(f).look.restrict.reset();
       else st(f).look.restrict = m.toString(v);
     }},
    {"condenseWhite", [](Machine&, display::EditTextObject& f) { return Value(st(f).look.condenseWhite); },
     [](Machine& m, display::EditTextObject& f, const Value& v) { st(f).look.condenseWhite = m.toBoolean(v); }},
    {"mouseWheelEnabled", [](Machine&, display::EditTextObject& f) { return Value(st(f).look.mouseWheelEnabled); },
     [](Machine& m, display::EditTextObject& f, const Value& v) { st(f).look.mouseWheelEnabled = m.toBoolean(v); }},
    {"styleSheet", [](Machine&, display::EditTextObject&) { return Value(); },
     [](Machine&, display::EditTextObject&, const Value&) {}},
};

display::EditTextObject* field(const Value& self) { return fieldOf(self); }

// (format), (index, format) or (begin, end, format): the range a format call covers.
bool rangeOf(Machine& m, EditTextState& s, const Args& args, size_t formatAt, size_t* begin, size_t* end) {
  const size_t size = s.text().size();
  if (args.size() < formatAt) return false;
  if (formatAt == 0) {
    *begin = 0;
    *end = size;
  } else {
    *begin = size_t(std::max<int64_t>(0, uint32_t(avm1::toInt32(m.toNumber(args[0])))));
    *end = formatAt >= 2 ? size_t(uint32_t(avm1::toInt32(m.toNumber(args[1])))) : *begin + 1;
  }
  *end = std::min(*end, size);
  return true;
}

Value getTextFormat(Machine& m, const Value& self, const Args& args) {
  display::EditTextObject* f = field(self);
  if (!f) return Value();
  EditTextState& s = st(*f);
  size_t begin, end;
  rangeOf(m, s, args, std::min<size_t>(args.size(), 2), &begin, &end);
  if (begin >= end) {  // an empty range has no format
    FormatFields none;
    none.display = "block";
    return Value(newTextFormat(m, none));
  }
  FormatFields common = fieldsOf(s.styledText().formatAt(begin));
  for (const text::FormatRun& run : s.styledText().runs)
    if (run.start > begin && run.start < end) common = commonFields(common, fieldsOf(run.format));
  return Value(newTextFormat(m, common));
}

Value setTextFormat(Machine& m, const Value& self, const Args& args) {
  display::EditTextObject* f = field(self);
  if (!f || args.empty()) return Value();
  const size_t formatAt = std::min<size_t>(args.size() - 1, 2);
  FormatFields* fields = formatFieldsOf(args[formatAt]);
  size_t begin, end;
  if (!fields || !rangeOf(m, st(*f), args, formatAt, &begin, &end)) return Value();
  const FormatFields copy = *fields;
  st(*f).formatRange(begin, end, [&](text::TextFormat& t) { applyFields(copy, &t); });
  return Value();
}

}  // namespace

display::EditTextObject* fieldOf(const Value& v) {
  ClipObject* object = asClip(v);
  display::DisplayObject* d = object ? object->display() : nullptr;
  return d && d->kind() == display::ObjectKind::EditText ? static_cast<display::EditTextObject*>(d) : nullptr;
}

void initializeField(Machine& m, const avm1::ObjectRef& field) {
  field->define(m, "_listeners", Value(m.newArray({Value(field)})), avm1::kDontEnum);
}

void fieldChanged(ClipStage& stage, display::EditTextObject& field) {
  avm1::ObjectRef object = scriptObjectOf(stage, field);
  if (!object) return;
  Machine& m = stage.machine();
  m.runScript([&] { m.callMethod(Value(object), "broadcastMessage", {Value("onChanged"), Value(object)}); });
}

void installTextFieldClass(ClipStage& stage) {
  Machine& m = stage.machine();
  avm1::ObjectRef proto = m.newObject();
  avm1::ObjectRef ctor = avm1::defineClass(m, "TextField", [](Machine&, const Value&, const Args&) { return Value(); }, proto);
  // Text fields broadcast onChanged and onScroller: the methods are shared, each field keeps
  // its own listeners (itself first, see initializeField).
  Value broadcaster = m.global()->get(m, "AsBroadcaster");
  if (broadcaster.isObject()) m.callMethod(broadcaster, "initialize", {Value(proto)});
  proto->remove(m, "_listeners");
  for (const char* name : {"addListener", "removeListener", "broadcastMessage"})
    if (avm1::Property* p = proto->findOwn(m, name)) p->flags |= avm1::kDontEnum;

  for (const Row& r : kRows) {
    Get get = r.get;
    Set set = r.set;
    avm1::ObjectRef getter = m.newFunction([get](Machine& mm, const Value& self, const Args&) {
      display::EditTextObject* f = field(self);
      return f ? get(mm, *f) : Value();
    });
    avm1::ObjectRef setter = set ? m.newFunction([set](Machine& mm, const Value& self, const Args& args) {
      if (display::EditTextObject* f = field(self)) set(mm, *f, avm1::arg(args, 0));
      return Value();
    }) : nullptr;
    proto->addProperty(m, r.name, getter, setter);
  }

  avm1::defineMethod(m, proto, "getTextFormat", getTextFormat);
  avm1::defineMethod(m, proto, "setTextFormat", setTextFormat);
  avm1::defineMethod(m, proto, "getNewTextFormat", [](Machine& mm, const Value& self, const Args&) {
    display::EditTextObject* f = field(self);
    return f ? Value(newTextFormat(mm, fieldsOf(st(*f).defaultFormat()))) : Value();
  });
  avm1::defineMethod(m, proto, "setNewTextFormat", [](Machine&, const Value& self, const Args& args) {
    display::EditTextObject* f = field(self);
    FormatFields* fields = formatFieldsOf(avm1::arg(args, 0));
    if (!f || !fields) return Value();
    text::TextFormat d = st(*f).defaultFormat();
    applyFields(*fields, &d);
    st(*f).setDefaultFormat(d);
    return Value();
  });
  // The selection while the field has the focus, else the start of the text.
  ClipStage* at = &stage;
  avm1::defineMethod(m, proto, "replaceSel", whileStageLives(stage, [at](Machine& mm, const Value& self, const Args& args) {
    display::EditTextObject* f = field(self);
    if (!f || args.empty()) return Value();
    EditTextState& s = st(*f);
    const bool focused = at->input().hasSelection() && at->input().focus() == (self.isObject() ? self.object() : nullptr);
    s.replaceRange(focused ? s.selectionBegin() : 0, focused ? s.selectionEnd() : 0, utf16(mm, args[0]));
    return Value();
  }));
  avm1::defineMethod(m, proto, "replaceText", [](Machine& mm, const Value& self, const Args& args) {
    display::EditTextObject* f = field(self);
    if (!f || args.size() < 3) return Value();
    const double begin = mm.toNumber(args[0]), end = mm.toNumber(args[1]);
    if (!(begin >= 0) || !(end >= begin)) return Value();
    st(*f).replaceRange(size_t(begin), size_t(std::min(end, 4e9)), utf16(mm, args[2]));
    return Value();
  });
  // Only fields at script depths can go.
  avm1::defineMethod(m, proto, "removeTextField", [](Machine&, const Value& self, const Args&) {
    display::EditTextObject* f = field(self);
    if (f && f->parent() && f->depth() >= kDepthBias) f->parent()->removeAt(f->depth());
    return Value();
  });
  avm1::defineMethod(m, proto, "getDepth", [](Machine&, const Value& self, const Args&) {
    display::EditTextObject* f = field(self);
    return f ? Value(f->depth() - kDepthBias) : Value();
  });
  (void)ctor;

  // createTextField(name, depth, x, y, width, height): a dynamic field, plain, in the
  // default format; SWF 8 and later give it back.
  avm1::ObjectRef clipProto = m.prototypeOf("MovieClip");
  if (!clipProto) return;
  avm1::defineMethod(m, clipProto, "createTextField", whileStageLives(stage, [at](Machine& mm, const Value& self, const Args& args) {
    ClipObject* clip = asClip(self);
    display::SpriteObject* sprite = clip ? clip->sprite() : nullptr;
    if (!sprite || args.size() < 6) return Value();
    double numbers[5];
    for (size_t i = 0; i < 5; ++i) numbers[i] = avm1::toInt32(mm.toNumber(args[i + 1]));  // whole pixels
    text::EditTextRecord record;
    record.bounds = swf::Rect{0, int32_t(std::round(std::fabs(numbers[3]) * 20)), 0,
                              int32_t(std::round(std::fabs(numbers[4]) * 20))};
    record.readOnly = true;
    record.height = 240;
    display::CharacterLibrary& library = at->player().library();
    auto object = std::make_shared<display::EditTextObject>(library.keepEditText(std::move(record)), library);
    swf::Matrix matrix;
    matrix.tx = std::round(numbers[1] * 20);
    matrix.ty = std::round(numbers[2] * 20);
    object->setMatrix(matrix);
    const int32_t depth = int32_t(std::clamp(numbers[0], -16384.0, 2130690045.0)) + kDepthBias;
    display::DisplayObject* placed = sprite->attach(object, depth, mm.toString(args[0]));
    if (!placed || mm.rules().version() < 8) return Value();
    avm1::ObjectRef made = scriptObjectOf(*at, *placed);
    return made ? Value(made) : Value();
  }));
}

}  // namespace clips
