// Math: the constants and the one- and two-argument functions.
#include "Globals.h"

#include <cmath>
#include <numbers>
#include <random>

namespace avm1 {

void installMathClass(Machine& m) {
  ObjectRef math = m.newObject();
  m.global()->define(m, "Math", Value(math), kDontEnum);
  struct Constant { const char* name; double value; };
  using namespace std::numbers;
  for (const Constant& c : {Constant{"PI", pi}, {"E", e}, {"LN2", ln2}, {"LN10", ln10},
                            {"LOG2E", log2e}, {"LOG10E", log10e}, {"SQRT2", sqrt2},
                            {"SQRT1_2", 1 / sqrt2}})
    math->define(m, c.name, Value(c.value), kDontEnum | kDontDelete | kReadOnly);
  struct Unary { const char* name; double (*f)(double); };
  for (const Unary& u : {Unary{"abs", std::fabs}, {"acos", std::acos}, {"asin", std::asin},
                         {"atan", std::atan}, {"ceil", std::ceil}, {"cos", std::cos},
                         {"exp", std::exp}, {"floor", std::floor}, {"log", std::log},
                         {"sin", std::sin}, {"sqrt", std::sqrt}, {"tan", std::tan}}) {
    double (*f)(double) = u.f;
    defineMethod(m, math, u.name, [f](Machine& mm, const Value&, const Args& args) {
      return Value(args.empty() ? NAN : f(mm.toNumber(args[0])));
    });
  }
  defineMethod(m, math, "round", [](Machine& mm, const Value&, const Args& args) {
    return Value(std::floor(mm.toNumber(arg(args, 0)) + 0.5));
  });
  defineMethod(m, math, "atan2", [](Machine& mm, const Value&, const Args& args) {
    return Value(std::atan2(mm.toNumber(arg(args, 0)), mm.toNumber(arg(args, 1))));
  });
  defineMethod(m, math, "pow", [](Machine& mm, const Value&, const Args& args) {
    return Value(std::pow(mm.toNumber(arg(args, 0)), mm.toNumber(arg(args, 1))));
  });
  defineMethod(m, math, "min", [](Machine& mm, const Value&, const Args& args) {
    double r = INFINITY;
    for (const Value& v : args) { double n = mm.toNumber(v); if (std::isnan(n)) return Value(NAN); r = std::min(r, n); }
    return Value(r);
  });
  defineMethod(m, math, "max", [](Machine& mm, const Value&, const Args& args) {
    double r = -INFINITY;
    for (const Value& v : args) { double n = mm.toNumber(v); if (std::isnan(n)) return Value(NAN); r = std::max(r, n); }
    return Value(r);
  });
  defineMethod(m, math, "random", [](Machine&, const Value&, const Args&) {
    static std::mt19937_64 engine{std::random_device{}()};
    return Value(std::uniform_real_distribution<double>(0.0, 1.0)(engine));
  });
}

}  // namespace avm1
