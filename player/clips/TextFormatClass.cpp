// TextFormat: a set of optional character and paragraph values, read and written through
// getter and setter pairs on its prototype; what a field's setTextFormat takes and
// getTextFormat gives.
#include <cmath>

#include "ClipObject.h"
#include "ScriptClasses.h"
#include "globals/Globals.h"

namespace clips {

namespace {

using avm1::Args;
using avm1::Machine;
using avm1::Value;

// The values live in an object kept as the TextFormat's primitive, out of scripts' reach.
class FormatHolder final : public avm1::Object {
 public:
  FormatFields fields;
};

Value text(const std::optional<std::string>& s) { return s ? Value(*s) : Value::null(); }
Value number(const std::optional<double>& n) { return n ? Value(*n) : Value::null(); }
Value flag(const std::optional<bool>& b) { return b ? Value(*b) : Value::null(); }

// Half to even, as a 32-bit integer: what does not fit (NaN too) is the lowest integer.
double roundToEven(double n) {
  n = std::nearbyint(n);
  return std::isnan(n) || n < -2147483648.0 || n > 2147483647.0 ? -2147483648.0 : n;
}
// Sizes and margins: whole numbers before SWF 8, rounded half to even from it.
std::optional<double> measure(Machine& m, const Value& v, bool nonNegative) {
  if (v.isNullish()) return std::nullopt;
  if (m.rules().version() < 8) {
    double n = double(avm1::toInt32(m.toNumber(v)));
    return nonNegative ? std::max(n, 0.0) : n;
  }
  double n = m.toNumber(v);
  if (nonNegative) n = std::isnan(n) ? 0 : std::max(n, 0.0);  // before rounding: NaN is 0
  return roundToEven(n);
}

using Get = Value (*)(Machine&, const FormatFields&);
using Set = void (*)(Machine&, FormatFields&, const Value&);

struct Row {
  const char* name;
  Get get;
  Set set;
};

const Row kRows[] = {
    {"font", [](Machine&, const FormatFields& f) { return text(f.font); },
     [](Machine& m, FormatFields& f, const Value& v) {
       if (v.isNullish()) f.font.reset();
       else f.font = m.toString(v).substr(0, 64);
     }},
    {"size", [](Machine&, const FormatFields& f) { return number(f.size); },
     [](Machine& m, FormatFields& f, const Value& v) { f.size = measure(m, v, false); }},
    {"color", [](Machine&, const FormatFields& f) { return number(f.color); },
     [](Machine& m, FormatFields& f, const Value& v) {
       if (v.isNullish()) f.color.reset();
       else f.color = double(uint32_t(avm1::toInt32(m.toNumber(v))));
     }},
    {"url", [](Machine&, const FormatFields& f) { return text(f.url); },
     [](Machine& m, FormatFields& f, const Value& v) { f.url = v.isNullish() ? std::nullopt : std::optional(m.toString(v)); }},
    {"target", [](Machine&, const FormatFields& f) { return text(f.target); },
     [](Machine& m, FormatFields& f, const Value& v) { f.target = v.isNullish() ? std::nullopt : std::optional(m.toString(v)); }},
    {"bold", [](Machine&, const FormatFields& f) { return flag(f.bold); },
     [](Machine& m, FormatFields& f, const Value& v) { f.bold = v.isNullish() ? std::nullopt : std::optional(m.toBoolean(v)); }},
    {"italic", [](Machine&, const FormatFields& f) { return flag(f.italic); },
     [](Machine& m, FormatFields& f, const Value& v) { f.italic = v.isNullish() ? std::nullopt : std::optional(m.toBoolean(v)); }},
    {"underline", [](Machine&, const FormatFields& f) { return flag(f.underline); },
     [](Machine& m, FormatFields& f, const Value& v) { f.underline = v.isNullish() ? std::nullopt : std::optional(m.toBoolean(v)); }},
    // Unknown alignments leave it as it was.
    {"align", [](Machine&, const FormatFields& f) { return text(f.align); },
     [](Machine& m, FormatFields& f, const Value& v) {
       if (v.isNullish()) return;
       std::string a = m.toString(v);
       for (char& c : a) c = char(std::tolower(static_cast<unsigned char>(c)));
       if (a == "left" || a == "center" || a == "right" || a == "justify") f.align = a;
     }},
    {"leftMargin", [](Machine&, const FormatFields& f) { return number(f.leftMargin); },
     [](Machine& m, FormatFields& f, const Value& v) { f.leftMargin = measure(m, v, true); }},
    {"rightMargin", [](Machine&, const FormatFields& f) { return number(f.rightMargin); },
     [](Machine& m, FormatFields& f, const Value& v) { f.rightMargin = measure(m, v, true); }},
    {"indent", [](Machine&, const FormatFields& f) { return number(f.indent); },
     [](Machine& m, FormatFields& f, const Value& v) { f.indent = measure(m, v, m.rules().version() < 8); }},
    {"leading", [](Machine&, const FormatFields& f) { return number(f.leading); },
     [](Machine& m, FormatFields& f, const Value& v) { f.leading = measure(m, v, m.rules().version() < 8); }},
    {"blockIndent", [](Machine&, const FormatFields& f) { return number(f.blockIndent); },
     [](Machine& m, FormatFields& f, const Value& v) { f.blockIndent = measure(m, v, m.rules().version() < 8); }},
    {"tabStops",
     [](Machine& m, const FormatFields& f) {
       if (!f.tabStops) return Value::null();
       Args items;
       for (double t : *f.tabStops) items.push_back(Value(t));
       return Value(m.newArray(items));
     },
     [](Machine& m, FormatFields& f, const Value& v) {
       if (!v.isObject()) {
         f.tabStops.reset();
         return;
       }
       std::vector<double> stops;
       double length = m.toNumber(v.object()->get(m, "length"));
       for (int i = 0; i < length && i < 65536; ++i) {
         double t = m.toNumber(v.object()->get(m, std::to_string(i)));
         stops.push_back(roundToEven(t));
       }
       f.tabStops = std::move(stops);
     }},
    {"bullet", [](Machine&, const FormatFields& f) { return flag(f.bullet); },
     [](Machine& m, FormatFields& f, const Value& v) { f.bullet = v.isNullish() ? std::nullopt : std::optional(m.toBoolean(v)); }},
    {"display", [](Machine&, const FormatFields& f) { return text(f.display); },
     [](Machine& m, FormatFields& f, const Value& v) {
       std::string d = v.isNullish() ? "block" : m.toString(v);
       f.display = d == "inline" || d == "none" ? d : "block";
     }},
    {"kerning", [](Machine&, const FormatFields& f) { return flag(f.kerning); },
     [](Machine& m, FormatFields& f, const Value& v) { f.kerning = v.isNullish() ? std::nullopt : std::optional(m.toBoolean(v)); }},
    {"letterSpacing", [](Machine&, const FormatFields& f) { return number(f.letterSpacing); },
     [](Machine& m, FormatFields& f, const Value& v) {
       f.letterSpacing = v.isNullish() ? std::nullopt : std::optional(m.toNumber(v));
     }},
};

const Row* row(const char* name) {
  for (const Row& r : kRows)
    if (std::string(r.name) == name) return &r;
  return nullptr;
}

double pixels(double twips) { return twips / 20; }

}  // namespace

FormatFields* formatFieldsOf(const Value& v) {
  if (!v.isObject() || !v.object()->primitive.isObject()) return nullptr;
  auto* holder = dynamic_cast<FormatHolder*>(v.object()->primitive.object().get());
  return holder ? &holder->fields : nullptr;
}

avm1::ObjectRef newTextFormat(Machine& m, const FormatFields& fields) {
  avm1::ObjectRef format = m.newObject();
  if (avm1::ObjectRef proto = m.prototypeOf("TextFormat")) format->setProto(m, proto);
  auto holder = std::make_shared<FormatHolder>();
  holder->fields = fields;
  format->primitive = Value(avm1::ObjectRef(holder));
  return format;
}

FormatFields fieldsOf(const text::TextFormat& t) {
  static const char* const kAligns[] = {"left", "right", "center", "justify"};
  FormatFields f;
  f.font = t.font;
  f.size = pixels(t.size);
  f.color = double((uint32_t(t.color.r) << 16) | (uint32_t(t.color.g) << 8) | t.color.b);
  f.bold = t.bold;
  f.italic = t.italic;
  f.underline = t.underline;
  f.url = t.url;
  f.target = t.target;
  f.align = kAligns[static_cast<int>(t.align) & 3];
  f.leftMargin = pixels(t.leftMargin);
  f.rightMargin = pixels(t.rightMargin);
  f.indent = pixels(t.indent);
  f.leading = pixels(t.leading);
  f.blockIndent = pixels(t.blockIndent);
  f.bullet = t.bullet;
  f.tabStops = std::vector<double>{};
  f.display = "block";
  f.kerning = false;
  f.letterSpacing = 0;
  return f;
}

void applyFields(const FormatFields& f, text::TextFormat* t) {
  if (f.font) t->font = *f.font;
  if (f.size) t->size = *f.size * 20;
  if (f.color) {
    const uint32_t c = uint32_t(*f.color);
    t->color = swf::Rgba{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 255};
  }
  if (f.bold) t->bold = *f.bold;
  if (f.italic) t->italic = *f.italic;
  if (f.underline) t->underline = *f.underline;
  if (f.url) t->url = *f.url;
  if (f.target) t->target = *f.target;
  if (f.align)
    t->align = *f.align == "right"    ? text::Align::Right
               : *f.align == "center" ? text::Align::Center
               : *f.align == "justify" ? text::Align::Justify
                                       : text::Align::Left;
  if (f.leftMargin) t->leftMargin = *f.leftMargin * 20;
  if (f.rightMargin) t->rightMargin = *f.rightMargin * 20;
  if (f.indent) t->indent = *f.indent * 20;
  if (f.leading) t->leading = *f.leading * 20;
  if (f.blockIndent) t->blockIndent = *f.blockIndent * 20;
  if (f.bullet) t->bullet = *f.bullet;
}

FormatFields commonFields(const FormatFields& a, const FormatFields& b) {
  FormatFields c;
  auto keep = [](auto& out, const auto& x, const auto& y) {
    if (x && y && *x == *y) out = x;
  };
  keep(c.font, a.font, b.font);
  keep(c.url, a.url, b.url);
  keep(c.target, a.target, b.target);
  keep(c.align, a.align, b.align);
  keep(c.display, a.display, b.display);
  keep(c.size, a.size, b.size);
  keep(c.color, a.color, b.color);
  keep(c.leftMargin, a.leftMargin, b.leftMargin);
  keep(c.rightMargin, a.rightMargin, b.rightMargin);
  keep(c.indent, a.indent, b.indent);
  keep(c.leading, a.leading, b.leading);
  keep(c.blockIndent, a.blockIndent, b.blockIndent);
  keep(c.letterSpacing, a.letterSpacing, b.letterSpacing);
  keep(c.bold, a.bold, b.bold);
  keep(c.italic, a.italic, b.italic);
  keep(c.underline, a.underline, b.underline);
  keep(c.bullet, a.bullet, b.bullet);
  keep(c.kerning, a.kerning, b.kerning);
  keep(c.tabStops, a.tabStops, b.tabStops);
  return c;
}

// new TextFormat(font, size, color, bold, italic, underline, url, target, align, leftMargin,
// rightMargin, indent, leading): every value unset unless given, but display is "block".
void installTextFormatClass(Machine& m) {
  avm1::ObjectRef proto = m.newObject();
  avm1::defineClass(m, "TextFormat", [](Machine& mm, const Value& self, const Args& args) {
    if (!self.isObject()) return Value();
    FormatFields f;
    auto wholeOrNone = [&](size_t i) -> std::optional<double> {
      Value v = avm1::arg(args, i);
      if (v.isNullish()) return std::nullopt;
      return double(avm1::toInt32(mm.toNumber(v)));
    };
    static const char* const kSetters[] = {"font", nullptr, "color", "bold", "italic", "underline", "url", "target", "align"};
    for (size_t i = 0; i < std::size(kSetters); ++i)
      if (kSetters[i]) row(kSetters[i])->set(mm, f, avm1::arg(args, i));
    f.size = wholeOrNone(1);
    f.leftMargin = wholeOrNone(9);
    f.rightMargin = wholeOrNone(10);
    f.indent = wholeOrNone(11);
    f.leading = wholeOrNone(12);
    f.display = "block";
    auto holder = std::make_shared<FormatHolder>();
    holder->fields = std::move(f);
    self.object()->primitive = Value(avm1::ObjectRef(holder));
    return Value();
  }, proto);
  for (const Row& r : kRows) {
    Get get = r.get;
    Set set = r.set;
    proto->addProperty(m, r.name, m.newFunction([get](Machine& mm, const Value& self, const Args&) {
      FormatFields* f = formatFieldsOf(self);
      return f ? get(mm, *f) : Value();
    }), m.newFunction([set](Machine& mm, const Value& self, const Args& args) {
      if (FormatFields* f = formatFieldsOf(self)) set(mm, *f, avm1::arg(args, 0));
      return Value();
    }));
  }
}

}  // namespace clips
