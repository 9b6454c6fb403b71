// String: the constructor, fromCharCode and the methods on the wrapped primitive. Indexes count
// UTF-16 units, as in the player; the text itself is kept as UTF-8.
#include "Globals.h"

#include <algorithm>
#include <cmath>

namespace avm1 {

namespace {
std::u16string wide(const std::string& s) { return toUtf16(s); }
std::string narrow(const std::u16string& s) { return fromUtf16(s); }

std::u16string text(Machine& m, const Value& self) { return wide(m.toString(self)); }

int32_t intArg(Machine& m, const Args& args, size_t i) { return toInt32(m.toNumber(arg(args, i))); }

// An index clamped to [0, size]; the wrapping kind counts a negative one from the end.
size_t clampIndex(int32_t i, size_t size) { return i < 0 ? 0 : std::min(static_cast<size_t>(i), size); }
size_t wrappingIndex(int32_t i, size_t size) {
  if (i >= 0) return std::min(static_cast<size_t>(i), size);
  size_t back = static_cast<size_t>(-static_cast<int64_t>(i));
  return back >= size ? 0 : size - back;
}

// Case mapping for ASCII and Latin-1 letters.
char16_t upper(char16_t c) {
  if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return static_cast<char16_t>(c - 32);
  return c == 0xFF ? char16_t(0x178) : c;
}
char16_t lower(char16_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<char16_t>(c + 32);
  return c == 0x178 ? char16_t(0xFF) : c;
}

Value make(const std::u16string& s) { return Value(narrow(s)); }

// The text a method works on, as Machine::toString gives it but shared, not copied. ASCII text
// (the common case) is indexed by its bytes; other text through its UTF-16 form.
class Units {
 public:
  Units(Machine& m, const Value& v) {
    if (v.isString()) text_ = v.text();
    else if (v.isObject() && v.object()->className == "String" && v.object()->primitive.isString())
      text_ = v.object()->primitive.text();
    else text_ = std::make_shared<const Text>(m.toString(v));
    ascii_ = text_->ascii();
    if (!ascii_) wide_ = toUtf16(text_->utf8);
  }
  bool ascii() const { return ascii_; }
  size_t size() const { return ascii_ ? text_->utf8.size() : wide_.size(); }
  char16_t at(size_t i) const { return ascii_ ? static_cast<char16_t>(text_->utf8[i]) : wide_[i]; }
  Value slice(size_t from, size_t to) const {
    if (from == 0 && to == size()) return Value(text_);
    return ascii_ ? Value(text_->utf8.substr(from, to - from)) : make(wide_.substr(from, to - from));
  }
  std::u16string wide() const { return ascii_ ? toUtf16(text_->utf8) : wide_; }
  const std::string& bytes() const { return text_->utf8; }

 private:
  TextRef text_;
  bool ascii_;
  std::u16string wide_;
};

// Where `pattern` first occurs in `s` from `from` on, in units.
size_t findUnits(const Units& s, const Units& pattern, size_t from) {
  if (s.ascii() && pattern.ascii()) return s.bytes().find(pattern.bytes(), from);
  return s.wide().find(pattern.wide(), from);
}
}  // namespace

void installStringClass(Machine& m) {
  auto proto = m.newObject();
  ObjectRef ctor = defineClass(m, "String", [](Machine& mm, const Value& self, const Args& args) {
    Value s = args.empty() ? Value(std::string()) : args[0].isString() ? args[0] : Value(mm.toString(args[0]));
    if (mm.isConstructing(self)) {
      self.object()->className = "String";
      self.object()->primitive = s;
      // `length` lives on the object itself, not on its prototype.
      self.object()->define(mm, "length", Value(static_cast<double>(s.textLength())), kDontEnum | kDontDelete);
      return self;
    }
    return s;
  }, proto);
  defineMethod(m, ctor, "fromCharCode", [](Machine& mm, const Value&, const Args& args) {
    std::u16string out;
    for (const Value& v : args) {
      char16_t c = static_cast<char16_t>(static_cast<uint32_t>(toInt32(mm.toNumber(v))) & 0xFFFF);
      if (!c) break;  // a zero ends the text
      out += c;
    }
    return make(out);
  });
  auto toString = [](Machine&, const Value& self, const Args&) {
    if (self.isObject() && self.object()->className == "String") return self.object()->primitive;
    return Value();
  };
  defineMethod(m, proto, "toString", toString);
  defineMethod(m, proto, "valueOf", toString);
  defineMethod(m, proto, "charAt", [](Machine& mm, const Value& self, const Args& args) {
    Units s(mm, self);
    int32_t i = intArg(mm, args, 0);
    return i >= 0 && static_cast<size_t>(i) < s.size() ? s.slice(static_cast<size_t>(i), static_cast<size_t>(i) + 1) : Value("");
  });
  defineMethod(m, proto, "charCodeAt", [](Machine& mm, const Value& self, const Args& args) {
    Units s(mm, self);
    int32_t i = intArg(mm, args, 0);
    if (i >= 0 && static_cast<size_t>(i) < s.size()) return Value(static_cast<double>(s.at(static_cast<size_t>(i))));
    return Value(i >= 0 && mm.rules().version() == 5 ? 0.0 : NAN);
  });
  defineMethod(m, proto, "indexOf", [](Machine& mm, const Value& self, const Args& args) {
    Units s(mm, self);
    if (args.empty()) return Value();
    Units pattern(mm, args[0]);
    size_t from = arg(args, 1).isUndefined() ? 0 : static_cast<size_t>(std::max(intArg(mm, args, 1), 0));
    if (from > s.size()) return Value(-1);
    size_t at = findUnits(s, pattern, from);
    return Value(at == std::u16string::npos ? -1.0 : static_cast<double>(at));
  });
  defineMethod(m, proto, "lastIndexOf", [](Machine& mm, const Value& self, const Args& args) {
    std::u16string s = text(mm, self);
    if (args.empty()) return Value();
    std::u16string pattern = wide(mm.toString(args[0]));
    size_t end = s.size();
    if (!arg(args, 1).isUndefined()) {
      int32_t i = intArg(mm, args, 1);
      if (i < 0) return Value(-1);
      end = std::min(static_cast<size_t>(i) + pattern.size(), s.size());
    }
    size_t at = s.substr(0, end).rfind(pattern);
    return Value(at == std::u16string::npos ? -1.0 : static_cast<double>(at));
  });
  defineMethod(m, proto, "substring", [](Machine& mm, const Value& self, const Args& args) {
    if (args.empty()) return Value();
    Units s(mm, self);
    size_t a = clampIndex(intArg(mm, args, 0), s.size());
    size_t b = arg(args, 1).isUndefined() ? s.size() : clampIndex(intArg(mm, args, 1), s.size());
    if (b < a) std::swap(a, b);
    return s.slice(a, b);
  });
  defineMethod(m, proto, "substr", [](Machine& mm, const Value& self, const Args& args) {
    if (args.empty()) return Value();
    Units s(mm, self);
    size_t a = wrappingIndex(intArg(mm, args, 0), s.size());
    int32_t count = arg(args, 1).isUndefined() ? static_cast<int32_t>(s.size()) : intArg(mm, args, 1);
    size_t b = wrappingIndex(static_cast<int32_t>(static_cast<int64_t>(a) + count), s.size());
    return a < b ? s.slice(a, b) : Value("");
  });
  defineMethod(m, proto, "slice", [](Machine& mm, const Value& self, const Args& args) {
    if (args.empty()) return Value();
    Units s(mm, self);
    size_t a = wrappingIndex(intArg(mm, args, 0), s.size());
    size_t b = arg(args, 1).isUndefined() ? s.size() : wrappingIndex(intArg(mm, args, 1), s.size());
    return a < b ? s.slice(a, b) : Value("");
  });
  // split: in SWF 5 the separator defaults to "," and "" acts as no separator.
  defineMethod(m, proto, "split", [](Machine& mm, const Value& self, const Args& args) {
    Units whole(mm, self);
    size_t limit = arg(args, 1).isUndefined() ? SIZE_MAX : static_cast<size_t>(std::max(intArg(mm, args, 1), 0));
    bool swf5 = mm.rules().version() == 5;
    bool hasSeparator = !arg(args, 0).isUndefined() || swf5;
    Units separator(mm, arg(args, 0).isUndefined() ? Value(",") : args[0]);
    if (swf5 && separator.size() == 0) hasSeparator = false;
    Args parts;
    if (!hasSeparator) {
      parts.push_back(whole.slice(0, whole.size()));
    } else if (separator.size() == 0) {
      for (size_t i = 0; i < whole.size() && parts.size() < limit; ++i) parts.push_back(whole.slice(i, i + 1));
    } else {
      for (size_t at = 0; parts.size() < limit;) {
        size_t next = findUnits(whole, separator, at);
        parts.push_back(whole.slice(std::min(at, whole.size()), next == std::string::npos ? whole.size() : next));
        if (next == std::string::npos) break;
        at = next + separator.size();
      }
    }
    return Value(mm.newArray(parts));
  });
  defineMethod(m, proto, "toUpperCase", [](Machine& mm, const Value& self, const Args&) {
    std::u16string s = text(mm, self);
    for (char16_t& c : s) c = upper(c);
    return make(s);
  });
  defineMethod(m, proto, "toLowerCase", [](Machine& mm, const Value& self, const Args&) {
    std::u16string s = text(mm, self);
    for (char16_t& c : s) c = lower(c);
    return make(s);
  });
  defineMethod(m, proto, "concat", [](Machine& mm, const Value& self, const Args& args) {
    std::string s = mm.toString(self);
    for (const Value& v : args) s += mm.toString(v);
    return Value(s);
  });
  for (const char* name : {"charAt", "charCodeAt", "indexOf", "lastIndexOf", "substring", "substr", "slice", "split",
                           "toUpperCase", "toLowerCase", "concat"})
    if (Property* p = proto->findOwnAnyVersion(m, name); p && p->value.isObject())
      static_cast<FunctionObject*>(p->value.object().get())->acceptsPrimitiveSelf = true;
}

}  // namespace avm1
