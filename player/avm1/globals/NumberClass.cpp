// Number: the constructor, its constants, and toString with a radix.
#include "Globals.h"

#include <cfloat>
#include <cmath>

namespace avm1 {

namespace {
double primitive(Machine& m, const Value& self) {
  if (self.isObject() && self.object()->className == "Number") return self.object()->primitive.number();
  return m.toNumber(self);
}
}  // namespace

void installNumberClass(Machine& m) {
  auto proto = m.newObject();
  ObjectRef ctor = defineClass(m, "Number", [](Machine& mm, const Value& self, const Args& args) {
    Value n(args.empty() ? 0.0 : mm.toNumber(args[0]));
    if (mm.isConstructing(self)) {
      self.object()->className = "Number";
      self.object()->primitive = n;
      return self;
    }
    return n;
  }, proto);
  ctor->define(m, "MAX_VALUE", Value(DBL_MAX), kDontEnum | kDontDelete | kReadOnly);
  ctor->define(m, "MIN_VALUE", Value(4.9406564584124654e-324), kDontEnum | kDontDelete | kReadOnly);
  ctor->define(m, "NaN", Value(NAN), kDontEnum | kDontDelete | kReadOnly);
  ctor->define(m, "POSITIVE_INFINITY", Value(INFINITY), kDontEnum | kDontDelete | kReadOnly);
  ctor->define(m, "NEGATIVE_INFINITY", Value(-INFINITY), kDontEnum | kDontDelete | kReadOnly);
  defineMethod(m, proto, "valueOf", [](Machine& mm, const Value& self, const Args&) {
    return Value(primitive(mm, self));
  });
  defineMethod(m, proto, "toString", [](Machine& mm, const Value& self, const Args& args) {
    double n = primitive(mm, self);
    int radix = args.empty() || args[0].isUndefined() ? 10 : toInt32(mm.toNumber(args[0]));
    if (radix < 2 || radix > 36 || radix == 10 || !std::isfinite(n)) return Value(numberToString(n));
    // Other radixes print the 32-bit integer, as the player does.
    int32_t i = toInt32(n);
    bool negative = i < 0;
    uint64_t u = negative ? static_cast<uint64_t>(-static_cast<int64_t>(i)) : static_cast<uint64_t>(i);
    std::string digits;
    do {
      digits.insert(digits.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[u % static_cast<unsigned>(radix)]);
      u /= static_cast<unsigned>(radix);
    } while (u);
    return Value((negative ? "-" : "") + digits);
  });
}

}  // namespace avm1
