// The global functions: conversions, escape and unescape, setInterval and clearInterval.
#include "Globals.h"

#include <cmath>
#include <cctype>
#include <cstdlib>
#include <string>

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
    std::string s = mm.toString(arg(args, 0));
    const char* begin = s.c_str();
    while (*begin == ' ' || *begin == '\t' || *begin == '\n' || *begin == '\r') ++begin;
    char* end = nullptr;
    double n = std::strtod(begin, &end);
    return Value(end == begin || std::isinf(n) != 0 ? NAN : n);
  });
  defineMethod(m, g, "parseInt", [](Machine& mm, const Value&, const Args& args) {
    std::string s = mm.toString(arg(args, 0));
    int radix = args.size() > 1 ? toInt32(mm.toNumber(args[1])) : 0;
    size_t i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    bool negative = i < s.size() && s[i] == '-';
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    if ((radix == 0 || radix == 16) && s.compare(i, 2, "0x") == 0) i += 2, radix = 16;
    if (radix == 0) radix = 10;
    if (radix < 2 || radix > 36) return Value(NAN);
    double n = 0;
    size_t start = i;
    for (; i < s.size(); ++i) {
      int d = std::isdigit(static_cast<unsigned char>(s[i])) ? s[i] - '0'
              : std::isalpha(static_cast<unsigned char>(s[i])) ? std::tolower(s[i]) - 'a' + 10 : 99;
      if (d >= radix) break;
      n = n * radix + d;
    }
    return Value(i == start ? NAN : (negative ? -n : n));
  });
  // escape: every byte but letters and digits as %XX (UTF-8 bytes from SWF 6 on, as kept here).
  defineMethod(m, g, "escape", [](Machine& mm, const Value&, const Args& args) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : mm.toString(arg(args, 0))) {
      if (std::isalnum(c)) {
        out += static_cast<char>(c);
      } else {
        out += '%';
        out += kHex[c >> 4];
        out += kHex[c & 15];
      }
    }
    return Value(out);
  });
  // unescape: %XX back to its byte; anything else, a lone "%" too, stays as it is.
  defineMethod(m, g, "unescape", [](Machine& mm, const Value&, const Args& args) {
    std::string s = mm.toString(arg(args, 0)), out;
    for (size_t i = 0; i < s.size(); ++i) {
      if (s[i] == '%' && i + 2 < s.size() && std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
          std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
        out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
        i += 2;
      } else {
        out += s[i];
      }
    }
    return Value(out);
  });
  // setInterval(function, ms, args...) or setInterval(object, "method", ms, args...).
  defineMethod(m, g, "setInterval", [](Machine& mm, const Value&, const Args& args) {
    Value first = arg(args, 0);
    if (first.isObject() && first.object()->isFunction())
      return Value(mm.addInterval(first, Value(), "", Args(args.begin() + std::min<size_t>(2, args.size()), args.end()),
                                  mm.toNumber(arg(args, 1))));
    if (first.isObject() && args.size() >= 3)
      return Value(mm.addInterval(Value(), first, mm.toString(args[1]), Args(args.begin() + 3, args.end()),
                                  mm.toNumber(args[2])));
    return Value();
  });
  defineMethod(m, g, "clearInterval", [](Machine& mm, const Value&, const Args& args) {
    mm.clearInterval(toInt32(mm.toNumber(arg(args, 0))));
    return Value();
  });
}

}  // namespace avm1
