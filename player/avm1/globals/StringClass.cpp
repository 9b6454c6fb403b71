// String: the constructor, fromCharCode and the methods on the wrapped primitive. Indexes are
// bytes of the UTF-8 text, which matches the player for the ASCII that movies exchange here.
#include "Globals.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace avm1 {

namespace {
std::string text(Machine& m, const Value& self) {
  if (self.isObject() && self.object()->className == "String") return m.toString(self.object()->primitive);
  return m.toString(self);
}
size_t index(Machine& m, const Value& v, size_t size, size_t fallback) {
  if (v.isUndefined()) return fallback;
  double n = m.toNumber(v);
  if (std::isnan(n) || n < 0) return 0;
  return static_cast<size_t>(std::min(n, static_cast<double>(size)));
}
}  // namespace

void installStringClass(Machine& m) {
  auto proto = m.newObject();
  ObjectRef ctor = defineClass(m, "String", [](Machine& mm, const Value& self, const Args& args) {
    Value s(args.empty() ? std::string() : mm.toString(args[0]));
    if (mm.isConstructing(self)) {
      self.object()->className = "String";
      self.object()->primitive = s;
      return self;
    }
    return s;
  }, proto);
  defineMethod(m, ctor, "fromCharCode", [](Machine& mm, const Value&, const Args& args) {
    std::string out;
    for (const Value& v : args) {
      uint32_t c = static_cast<uint32_t>(toInt32(mm.toNumber(v))) & 0xFFFF;
      if (c < 0x80) out += static_cast<char>(c);
      else if (c < 0x800) out += static_cast<char>(0xC0 | (c >> 6)), out += static_cast<char>(0x80 | (c & 63));
      else out += static_cast<char>(0xE0 | (c >> 12)), out += static_cast<char>(0x80 | ((c >> 6) & 63)),
           out += static_cast<char>(0x80 | (c & 63));
    }
    return Value(out);
  });
  auto toString = [](Machine& mm, const Value& self, const Args&) { return Value(text(mm, self)); };
  defineMethod(m, proto, "toString", toString);
  defineMethod(m, proto, "valueOf", toString);
  proto->addProperty(m, "length", m.newFunction([](Machine& mm, const Value& self, const Args&) {
    return Value(static_cast<double>(text(mm, self).size()));
  }), nullptr);
  proto->findOwn(m, "length")->flags = kDontEnum;
  defineMethod(m, proto, "charAt", [](Machine& mm, const Value& self, const Args& args) {
    std::string s = text(mm, self);
    double i = mm.toNumber(arg(args, 0));
    return Value(i >= 0 && i < static_cast<double>(s.size()) ? s.substr(static_cast<size_t>(i), 1) : "");
  });
  defineMethod(m, proto, "charCodeAt", [](Machine& mm, const Value& self, const Args& args) {
    std::string s = text(mm, self);
    double i = mm.toNumber(arg(args, 0));
    if (!(i >= 0 && i < static_cast<double>(s.size()))) return Value(NAN);
    return Value(static_cast<double>(static_cast<unsigned char>(s[static_cast<size_t>(i)])));
  });
  defineMethod(m, proto, "indexOf", [](Machine& mm, const Value& self, const Args& args) {
    std::string s = text(mm, self);
    size_t at = s.find(mm.toString(arg(args, 0)), index(mm, arg(args, 1), s.size(), 0));
    return Value(at == std::string::npos ? -1.0 : static_cast<double>(at));
  });
  defineMethod(m, proto, "lastIndexOf", [](Machine& mm, const Value& self, const Args& args) {
    std::string s = text(mm, self);
    size_t at = s.rfind(mm.toString(arg(args, 0)), index(mm, arg(args, 1), s.size(), s.size()));
    return Value(at == std::string::npos ? -1.0 : static_cast<double>(at));
  });
  defineMethod(m, proto, "substring", [](Machine& mm, const Value& self, const Args& args) {
    std::string s = text(mm, self);
    size_t a = index(mm, arg(args, 0), s.size(), 0), b = index(mm, arg(args, 1), s.size(), s.size());
    if (a > b) std::swap(a, b);
    return Value(s.substr(a, b - a));
  });
  defineMethod(m, proto, "substr", [](Machine& mm, const Value& self, const Args& args) {
    std::string s = text(mm, self);
    double from = mm.toNumber(arg(args, 0));
    if (std::isnan(from)) from = 0;
    if (from < 0) from = std::max(0.0, from + static_cast<double>(s.size()));
    size_t a = static_cast<size_t>(std::min(from, static_cast<double>(s.size())));
    size_t n = index(mm, arg(args, 1), s.size(), s.size());
    return Value(s.substr(a, n));
  });
  defineMethod(m, proto, "slice", [](Machine& mm, const Value& self, const Args& args) {
    std::string s = text(mm, self);
    auto at = [&](const Value& v, double fallback) {
      double n = v.isUndefined() ? fallback : mm.toNumber(v);
      if (std::isnan(n)) n = 0;
      if (n < 0) n = std::max(0.0, n + static_cast<double>(s.size()));
      return static_cast<size_t>(std::min(n, static_cast<double>(s.size())));
    };
    size_t a = at(arg(args, 0), 0), b = at(arg(args, 1), static_cast<double>(s.size()));
    return Value(a < b ? s.substr(a, b - a) : std::string());
  });
  defineMethod(m, proto, "split", [](Machine& mm, const Value& self, const Args& args) {
    std::string s = text(mm, self);
    Args parts;
    if (arg(args, 0).isUndefined()) {
      parts.push_back(Value(s));
    } else {
      std::string sep = mm.toString(args[0]);
      if (sep.empty()) {
        for (char c : s) parts.push_back(Value(std::string(1, c)));
      } else {
        for (size_t at = 0;;) {
          size_t next = s.find(sep, at);
          parts.push_back(Value(s.substr(at, next == std::string::npos ? std::string::npos : next - at)));
          if (next == std::string::npos) break;
          at = next + sep.size();
        }
      }
    }
    return Value(mm.newArray(parts));
  });
  defineMethod(m, proto, "toUpperCase", [](Machine& mm, const Value& self, const Args&) {
    std::string s = text(mm, self);
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return Value(s);
  });
  defineMethod(m, proto, "toLowerCase", [](Machine& mm, const Value& self, const Args&) {
    std::string s = text(mm, self);
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return Value(s);
  });
  defineMethod(m, proto, "concat", [](Machine& mm, const Value& self, const Args& args) {
    std::string s = text(mm, self);
    for (const Value& v : args) s += mm.toString(v);
    return Value(s);
  });
}

}  // namespace avm1
