// The global functions: conversions, setInterval and clearInterval.
#include "Globals.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace avm1 {

void installGlobalFunctions(Machine& m) {
  ObjectRef g = m.global();
  g->define(m, "NaN", Value(NAN), kDontEnum | kDontDelete | kReadOnly);
  g->define(m, "Infinity", Value(INFINITY), kDontEnum | kDontDelete | kReadOnly);
  defineMethod(m, g, "isNaN", [](Machine& mm, const Value&, const Args& args) {
    return Value(std::isnan(mm.toNumber(arg(args, 0))));
  });
  defineMethod(m, g, "isFinite", [](Machine& mm, const Value&, const Args& args) {
    return Value(std::isfinite(mm.toNumber(arg(args, 0))));
  });
  defineMethod(m, g, "parseFloat", [](Machine& mm, const Value&, const Args& args) {
    if (args.empty()) return Value();  // not NaN, as in the player
    return Value(readNumberPrefix(mm.toString(args[0])));
  });
  defineMethod(m, g, "parseInt", [](Machine& mm, const Value&, const Args& args) {
    if (args.empty()) return Value();
    int radix = 0;
    if (args.size() > 1) {
      radix = toInt32(mm.toNumber(args[1]));
      if (radix < 2 || radix > 36) return Value(NAN);
    }
    std::string s = mm.toString(args[0]);
    size_t i = 0;
    bool signedText = !s.empty() && (s[0] == '+' || s[0] == '-'), ignoreSign = false;
    size_t off = signedText ? 1 : 0;
    bool zero = s.size() > off && s[off] == '0';
    // The player's prefixes: "0x" only before any sign or space, and stripped whatever the
    // radix; a signed "0x" is no number unless "0x" are digits of the radix; a bare leading
    // 0 with only octal digits after it is octal.
    if (zero && s.size() > off + 1 && (s[off + 1] == 'x' || s[off + 1] == 'X')) {
      if (signedText) {
        if (radix <= 33) return Value(NAN);
        ignoreSign = true;
      } else {
        if (!radix) radix = 16;
        i = 2;
      }
    } else if (zero && !radix && s.find_first_not_of("01234567", 1) == std::string::npos) {
      radix = 8;
    }
    if (!radix) radix = 10;
    while (i < s.size() && std::strchr("\t\n\r ", s[i]) && s[i]) ++i;
    double sign = 1;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
      if (s[i] == '-' && !ignoreSign) sign = -1;
      ++i;
    }
    double n = 0;
    size_t start = i;
    for (; i < s.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(s[i]);
      int d = std::isdigit(c) ? c - '0' : std::isalpha(c) ? std::tolower(c) - 'a' + 10 : 99;
      if (d >= radix) break;
      n = n * radix + d;
    }
    return Value(i == start ? NAN : std::copysign(n, sign));
  });
  // setInterval(function, ms, args...) or setInterval(object, "method", ms, args...); setTimeout
  // takes the same and runs once. Without a period nothing is set.
  for (bool once : {false, true}) {
    defineMethod(m, g, once ? "setTimeout" : "setInterval", [once](Machine& mm, const Value&, const Args& args) {
      Value first = arg(args, 0);
      if (first.isObject() && first.object()->isFunction()) {
        if (arg(args, 1).isUndefined()) return Value();
        return Value(mm.addInterval(first, Value(), "", Args(args.begin() + 2, args.end()),
                                    mm.toNumber(args[1]), once));
      }
      if (first.isObject() && !arg(args, 2).isUndefined())
        return Value(mm.addInterval(Value(), first, mm.toString(args[1]), Args(args.begin() + 3, args.end()),
                                    mm.toNumber(args[2]), once));
      return Value();
    });
  }
  for (const char* name : {"clearInterval", "clearTimeout"})
    defineMethod(m, g, name, [](Machine& mm, const Value&, const Args& args) {
      mm.clearInterval(toInt32(mm.toNumber(arg(args, 0))));
      return Value();
    });
  // escape writes every byte of the UTF-8 text but letters and digits as %XX; unescape reads
  // %XX and "+" back, dropping a broken escape.
  defineMethod(m, g, "escape", [](Machine& mm, const Value&, const Args& args) {
    if (args.empty()) return Value();
    std::string out;
    for (unsigned char c : mm.toString(args[0])) {
      if (std::isalnum(c)) out += static_cast<char>(c);
      else out += '%', out += "0123456789ABCDEF"[c >> 4], out += "0123456789ABCDEF"[c & 15];
    }
    return Value(out);
  });
  defineMethod(m, g, "unescape", [](Machine& mm, const Value&, const Args& args) {
    if (args.empty()) return Value();
    std::string in = mm.toString(args[0]), out, digits;
    int pending = 0;  // hex digits still wanted after a '%'
    for (char c : in) {
      if (c == '%') { pending = 2; digits.clear(); continue; }
      if (pending) {
        if (std::isxdigit(static_cast<unsigned char>(c))) {
          digits += c;
          if (--pending == 0) out += static_cast<char>(std::stoi(digits, nullptr, 16));
        } else {
          pending = 0;  // the escape and this character are dropped
        }
        continue;
      }
      out += c == '+' ? ' ' : c;
    }
    return Value(out);
  });
}

}  // namespace avm1
