// The global functions: conversions, setInterval and clearInterval.
#include "Globals.h"

#include <cmath>
#include <cstdlib>

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
